#pragma once

#include <optional>
#include <string>

namespace kanat {

// The file's bytes as they stand; none when it cannot be opened or read.
std::optional<std::string> fileBytes(const std::string& path);

// A landmark file's whole content, without the byte-order mark some editors start UTF-8 with.
// Throws InputError when it cannot be read.
std::string readWholeFile(const std::string& path);

} // namespace kanat
