#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kanat {

struct BatchOptions {
    std::string mmPerPixel = "0.010526316"; // one source pixel, as text in the chosen separator
    char decimal = '.';
    std::optional<std::string> image;
    std::optional<std::string> record;
    std::string landmarks;
    bool help = false;
};

// Reads the command line; throws std::invalid_argument with a Turkish message when it is wrong.
BatchOptions parseBatchOptions(const std::vector<std::string>& arguments);

// The millimetres per pixel as the window would hold it: general format, locale separator.
std::string mmPerPixelText(double mmPerPixel, char decimal);

extern const char* const batchHelp;

} // namespace kanat
