#pragma once

#include <stdexcept>
#include <string>

namespace kanat {

// Bad input to the batch calculator, told as "FILE:LINE: what is wrong".
class InputError : public std::runtime_error {
public:
    InputError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : "") + ": " + message) {}
};

} // namespace kanat
