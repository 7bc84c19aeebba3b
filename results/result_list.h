#pragma once

#include "measure/calculate.h"

#include <string>
#include <vector>

namespace kanat {

// The lines a calculation appends to the result list: "label;value" for the 99 measurements,
// then each landmark's colour value alone.
std::vector<std::string> resultLines(const CalculationValues& values);

// A press's line: x, ";", y.
std::string coordinateLine(const std::string& x, const std::string& y);

} // namespace kanat
