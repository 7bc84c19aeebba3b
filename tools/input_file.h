#pragma once

#include <string>

namespace kanat {

// A landmark file's whole content, without the byte-order mark some editors start UTF-8 with.
// Throws InputError when it cannot be read.
std::string readWholeFile(const std::string& path);

// The file name without its folder, whichever separator the path uses.
std::string fileNameOf(const std::string& path);

} // namespace kanat
