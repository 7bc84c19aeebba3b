#include "measure/catalogue.h"

namespace kanat {
namespace {

std::string angleLabel(int a, int b, int c) {
    return "Açı(" + std::to_string(a) + "-" + std::to_string(b) + "-" + std::to_string(c) + ")";
}

std::string ratioLabel(int a, int b, int c, int d) {
    return "Oran(" + std::to_string(a) + "-" + std::to_string(b) + "/" + std::to_string(c) + "-" + std::to_string(d) +
           ")";
}

std::string lengthLabel(int a, int b) { return "Uzunluk(mm)(" + std::to_string(a) + "-" + std::to_string(b) + ")"; }

constexpr std::array<std::array<int, 3>, 19> angles{{
    {1, 2, 5},   {2, 5, 6},    {5, 2, 3},    {5, 6, 7},    {6, 7, 3},    {7, 3, 4},   {3, 4, 9},
    {4, 9, 8},   {7, 8, 9},    {4, 9, 10},   {5, 6, 11},   {6, 11, 12},  {9, 10, 14}, {14, 15, 10},
    {8, 13, 14}, {11, 12, 13}, {12, 17, 18}, {16, 17, 12}, {13, 14, 18},
}};

// Arm ratios of the angles, adjacent segments, shared-landmark pairs, then disjoint pairs;
// five of them occur twice on purpose, each with its own line and slot.
constexpr std::array<std::array<int, 4>, 53> ratios{{
    {1, 2, 2, 5},     {2, 5, 5, 6},     {5, 2, 2, 3},     {6, 7, 7, 3},     {7, 3, 3, 4},     {3, 4, 4, 9},
    {4, 9, 9, 8},     {7, 8, 8, 9},     {4, 9, 9, 10},    {5, 6, 6, 11},    {6, 11, 11, 12},  {9, 10, 10, 14},
    {14, 15, 15, 10}, {8, 13, 13, 14},  {11, 12, 12, 13}, {12, 17, 17, 18}, {16, 17, 17, 12}, {1, 2, 2, 3},
    {2, 3, 3, 4},     {5, 6, 6, 7},     {6, 7, 7, 8},     {7, 8, 8, 9},     {8, 9, 9, 10},    {11, 12, 12, 13},
    {12, 13, 13, 14}, {13, 14, 14, 15}, {16, 17, 17, 18}, {1, 2, 2, 5},     {2, 3, 3, 7},     {3, 4, 4, 9},
    {5, 6, 6, 11},    {8, 13, 13, 12},  {13, 15, 15, 18}, {11, 12, 12, 17}, {2, 3, 5, 6},     {2, 5, 3, 7},
    {2, 5, 6, 7},     {3, 4, 7, 8},     {3, 4, 8, 9},     {3, 7, 4, 9},     {6, 7, 11, 12},   {6, 7, 12, 13},
    {6, 11, 8, 13},   {6, 11, 12, 13},  {7, 8, 11, 12},   {8, 9, 10, 14},   {8, 9, 13, 14},   {9, 10, 13, 14},
    {8, 13, 10, 14},  {12, 13, 14, 18}, {12, 13, 17, 18}, {13, 14, 17, 18}, {12, 17, 14, 18},
}};

// Calls 2 and 8 measure the same two segments.
constexpr std::array<std::array<int, 4>, 12> lengthPairs{{
    {4, 17, 5, 15},
    {1, 2, 2, 3},
    {3, 4, 4, 9},
    {2, 5, 3, 7},
    {5, 6, 6, 7},
    {7, 8, 8, 9},
    {9, 10, 10, 14},
    {1, 2, 2, 3},
    {14, 15, 14, 18},
    {6, 11, 11, 12},
    {12, 13, 12, 17},
    {16, 17, 17, 18},
}};

std::vector<CatalogueStep> buildCatalogue() {
    std::vector<CatalogueStep> steps;
    for (const auto& [a, b, c] : angles) steps.push_back({StepKind::Angle, {a, b, c, 0}, {angleLabel(a, b, c)}});
    for (const auto& [a, b, c, d] : ratios) steps.push_back({StepKind::Ratio, {a, b, c, d}, {ratioLabel(a, b, c, d)}});
    steps.push_back({StepKind::Ratio, {6, 7, 5, 6}, {"Cubital index"}});
    steps.push_back({StepKind::Ratio, {5, 7, 2, 3}, {"Hantel index"}});
    steps.push_back({StepKind::DiscoidalShift, {0, 0, 0, 0}, {"Discoidal Shift"}});
    for (const auto& [a, b, c, d] : lengthPairs)
        steps.push_back({StepKind::LengthPair, {a, b, c, d}, {lengthLabel(a, b), lengthLabel(c, d)}});
    return steps;
}

std::vector<std::string> collectLabels() {
    std::vector<std::string> labels;
    for (const CatalogueStep& step : measurementCatalogue())
        labels.insert(labels.end(), step.labels.begin(), step.labels.end());
    return labels;
}

} // namespace

const std::vector<CatalogueStep>& measurementCatalogue() {
    static const std::vector<CatalogueStep> catalogue = buildCatalogue();
    return catalogue;
}

std::vector<int> landmarksUsed(const CatalogueStep& step, std::size_t value) {
    if (step.kind == StepKind::DiscoidalShift) return {1, 2, 4, 11};
    if (step.kind == StepKind::LengthPair) return {step.landmarks[2 * value], step.landmarks[2 * value + 1]};
    std::vector<int> used;
    for (const int n : step.landmarks)
        if (n != 0) used.push_back(n);
    return used;
}

const std::vector<std::string>& measurementLabels() {
    static const std::vector<std::string> labels = collectLabels();
    return labels;
}

} // namespace kanat
