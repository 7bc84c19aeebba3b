#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace kanat {

enum class StepKind { Angle, Ratio, DiscoidalShift, LengthPair };

// One measuring step of "Hesapla": which landmarks go to the working points, and the labels of
// the one or two values it reports (a length pair reports two).
struct CatalogueStep {
    StepKind kind;
    std::array<int, 4> landmarks; // points 1 to 4; unused ones are 0
    std::vector<std::string> labels;
};

// The 19 angles, 53 ratios, 3 indices and 12 length pairs, in the order of the result list.
const std::vector<CatalogueStep>& measurementCatalogue();

// The landmarks value `value` of a step (0, or 1 for a length pair's second) depends on: its
// working points (a length pair's first two for its first value, the last two for its second),
// or for the discoidal shift, which reads the landmark fields itself, landmarks 1, 2, 4 and 11.
std::vector<int> landmarksUsed(const CatalogueStep& step, std::size_t value);

// Labels of the 99 measurement values, in slot order.
const std::vector<std::string>& measurementLabels();

inline constexpr std::size_t measurementValueCount = 99;
inline constexpr std::size_t colourValueCount = 18;
inline constexpr std::size_t calculationValueCount = measurementValueCount + colourValueCount;

} // namespace kanat
