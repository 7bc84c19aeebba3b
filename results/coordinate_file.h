#pragma once

#include "measure/landmark_sheet.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kanat {

// A file of up to 18 lines "x;y": the two texts taken verbatim, as they would stand in the
// coordinate fields. A blank or missing line leaves that landmark's fields empty.
LandmarkSheet readCoordinateFile(std::string_view content, const std::string& fileName);

// Line `lineNumber` (counted from 1, the landmark it places) of a coordinate file: the texts
// before and after its ';', verbatim; none for a blank line. Throws InputError for a line
// beyond the 18th or one without ';'.
std::optional<std::pair<std::string, std::string>> coordinateLine(std::string_view line, int lineNumber,
                                                                  const std::string& fileName);

// Splits file content into lines, each without its LF or CR LF.
std::vector<std::string_view> splitLines(std::string_view content);

} // namespace kanat
