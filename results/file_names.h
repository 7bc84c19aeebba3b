#pragma once

#include <string>

namespace kanat {

// The file name without its folder, whichever separator the path uses.
std::string fileNameOf(const std::string& path);

// Where a landmark file's IMAGE= points: beside the landmark file, or the full path it gives
// when that exists; empty without IMAGE=.
std::string pictureBeside(const std::string& landmarkPath, const std::string& image);

} // namespace kanat
