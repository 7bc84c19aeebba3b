#include "measure/landmark_colours.h"

#include "measure/arithmetic_error.h"
#include "measure/number_text.h"

#include <cstdint>
#include <limits>

namespace kanat {
namespace {

struct SampleDirection {
    int dx;
    int dy;
    int firstDistance; // distances are this and the next two
};

// Each landmark is sampled along a direction that leads away from its veins.
constexpr std::array<SampleDirection, landmarkCount> sampleDirections{{
    {-1, -1, 5},
    {0, +1, 3},
    {+1, +1, 5},
    {+1, 0, 5},
    {-1, -1, 5},
    {-1, -1, 5},
    {-1, 0, 5},
    {-1, -1, 5},
    {+1, -1, 5},
    {+1, 0, 5},
    {0, -1, 5},
    {+1, 0, 5},
    {-1, -1, 5},
    {-1, -1, 5},
    {-1, 0, 5},
    {-1, 0, 5},
    {-1, 0, 5},
    {0, -1, 5},
}};

std::string colourOfLandmark(const LandmarkSheet& sheet, int n, const PixelSource& picture, char decimal) {
    const SampleDirection& direction = sampleDirections[static_cast<std::size_t>(n - 1)];
    const double x = parseLeadingNumber(sheet.x(n));
    const double row = picture.rowOf(parseLeadingNumber(sheet.y(n)));
    std::int64_t sum = 0;
    for (int k = direction.firstDistance; k < direction.firstDistance + 3; ++k) {
        const double column = checked::add(x, direction.dx * k);
        const double sampleRow = checked::add(row, direction.dy * k);
        pixelIndex(column);
        pixelIndex(sampleRow);
        sum += picture.colourAt(column, sampleRow);
    }
    const double mean = roundHalfEven(static_cast<double>(sum) / 3.0, 0);
    return formatGeneral(mean, decimal);
}

} // namespace

std::int32_t pixelIndex(double position) {
    const double whole = roundHalfEven(position, 0);
    if (!(whole >= std::numeric_limits<std::int32_t>::min() && whole <= std::numeric_limits<std::int32_t>::max()))
        throw ArithmeticError(ArithmeticFault::Overflow);
    return static_cast<std::int32_t>(whole);
}

std::array<std::string, landmarkCount> LandmarkColours(const LandmarkSheet& sheet, WorkingFields& fields,
                                                       const PixelSource& picture, char decimal) {
    std::array<std::string, landmarkCount> colours;
    for (int n = 1; n <= landmarkCount; ++n) {
        fields[Field::renk].clear();
        try {
            fields[Field::renk] = colourOfLandmark(sheet, n, picture, decimal);
        } catch (const ArithmeticError&) {
            // This landmark alone stays without a value.
        }
        colours[static_cast<std::size_t>(n - 1)] = fields[Field::renk];
    }
    return colours;
}

} // namespace kanat
