#pragma once

#include <stdexcept>
#include <string>

namespace kanat {

// A landmark or collection file that cannot be read or is not what it should be, told as
// "FILE:LINE: what is wrong".
class InputError : public std::runtime_error {
public:
    InputError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : "") + ": " + message) {}
};

} // namespace kanat
