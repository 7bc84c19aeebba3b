#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kanat {

enum class BatchMode {
    Measure,  // the 117 result lines of each specimen
    Complete, // each specimen's unplaced landmarks proposed from a collection, as TPS
    Check,    // the specimens of a collection that are out of line with it
    Auto,     // every landmark of each picture's wing placed from a collection, as TPS
};

// Millimetres per source pixel: what the window writes to 12.tps at its default magnification.
inline constexpr double sourcePixelMm = 0.010526316;

struct BatchOptions {
    BatchMode mode = BatchMode::Measure;
    std::string mmPerPixel = "0.010526316"; // one source pixel, as text in the chosen separator
    char decimal = '.';
    std::optional<std::string> image;
    std::optional<std::string> record;
    std::optional<double> mmPerPixelGiven; // as given on the command line
    // --pixels-per-mm given as the name of one of the user's scale set-ups, to be looked up.
    std::optional<std::string> setupName;
    std::string landmarks;
    std::vector<std::string> pictures; // --auto: as named on the command line
    std::string collection;            // --complete, --auto: the collection file; --check: the file checked
    bool help = false;
};

// Reads the command line; throws std::invalid_argument with a Turkish message when it is wrong.
BatchOptions parseBatchOptions(const std::vector<std::string>& arguments);

// The millimetres per pixel as the window would hold it: general format, locale separator.
std::string mmPerPixelText(double mmPerPixel, char decimal);

// Sets the millimetres per pixel of a set-up of `pixelsPerMm` pixels a millimetre: 1/p to nine
// decimals, as the window writes it (0.010526316 for 95).
void usePixelsPerMm(BatchOptions& options, double pixelsPerMm);

extern const char* const batchHelp;

} // namespace kanat
