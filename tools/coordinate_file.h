#pragma once

#include "measure/landmark_sheet.h"

#include <string>
#include <string_view>
#include <vector>

namespace kanat {

// A file of up to 18 lines "x;y": the two texts taken verbatim, as they would stand in the
// coordinate fields. A blank or missing line leaves that landmark's fields empty.
LandmarkSheet readCoordinateFile(std::string_view content, const std::string& fileName);

// Splits file content into lines, each without its LF or CR LF.
std::vector<std::string_view> splitLines(std::string_view content);

} // namespace kanat
