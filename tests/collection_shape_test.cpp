#include "collection/procrustes.h"
#include "collection/shape_check.h"
#include "tests/real_wings.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kanat {
namespace {

// An irregular six-landmark shape: no turn or mirror of it matches itself.
const Configuration shape{{0, 0}, {4, 0}, {5, 2}, {2, 5}, {-1, 3}, {1, 1}};

Configuration mapped(const Configuration& points, const Similarity& map) {
    Configuration result;
    for (const ComplexPoint point : points) result.push_back(map(point));
    return result;
}

struct MapCase {
    const char* name;
    Similarity map;
};

const MapCase maps[] = {
    {"moved", {{1, 0}, {100, -40}, false}}, {"turned 30 degrees", {std::polar(1.0, std::numbers::pi / 6), {}, false}},
    {"scaled 2.5", {{2.5, 0}, {}, false}},  {"all three", {std::polar(2.5, -2.0), {-7, 3}, false}},
    {"mirrored", {{1, 0}, {}, true}},       {"mirrored, turned and moved", {std::polar(0.4, 1.0), {12, 8}, true}},
};

TEST(Procrustes, DistanceIgnoresPlaceSizeAndTurnAndMirrorOnlyWhenAllowed) {
    // A distance is the square root of a difference of sums near 1: one unit in the last place of
    // those (which another C library's trigonometry may leave) is 1.5e-8.
    constexpr double nothing = 1e-7;
    for (const MapCase& c : maps) {
        SCOPED_TRACE(c.name);
        const Configuration moved = mapped(shape, c.map);
        EXPECT_NEAR(procrustesDistance(moved, shape, Reflection::Allowed), 0, nothing);
        if (c.map.reflected)
            EXPECT_GT(procrustesDistance(moved, shape, Reflection::Never), 0.3);
        else
            EXPECT_NEAR(procrustesDistance(moved, shape, Reflection::Never), 0, nothing);
    }
}

TEST(Procrustes, FitRecoversTheSimilarityEvenPastALandmarkWeightedOut) {
    for (const MapCase& c : maps) {
        SCOPED_TRACE(c.name);
        Configuration target = mapped(shape, c.map);
        target[3] += ComplexPoint{50, 50}; // a misplaced landmark, left out by its weight
        const SimilarityFit fit = fitSimilarity(shape, target, {1, 1, 1, 0, 1, 1}, Reflection::Allowed);
        EXPECT_EQ(fit.map.reflected, c.map.reflected);
        EXPECT_NEAR(std::abs(fit.map.a - c.map.a), 0, 1e-9);
        EXPECT_NEAR(std::abs(fit.map.b - c.map.b), 0, 1e-9);
        EXPECT_NEAR(fit.residual, 0, 1e-9);
    }
}

TEST(Procrustes, GeneralisedAlignmentOfCopiesIsTheShapeItself) {
    std::vector<Configuration> copies{shape};
    for (const MapCase& c : maps) copies.push_back(mapped(shape, c.map));
    const ProcrustesAlignment alignment = alignGeneralised(copies);
    const Configuration unit = normalised(shape);
    for (std::size_t i = 0; i < unit.size(); ++i) EXPECT_NEAR(std::abs(alignment.mean[i] - unit[i]), 0, 1e-9);
    for (std::size_t i = 0; i < copies.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(alignment.distances[i], 0, 1e-9);
        EXPECT_EQ(alignment.reflected[i], i > 0 && maps[i - 1].map.reflected);
    }
}

TEST(ShapeCheck, FenceIsTheThirdQuartilePlusOneAndAHalfInterquartileRanges) {
    struct Case {
        std::vector<double> distances;
        double fence;
    };
    const Case cases[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8}, 6.25 + 1.5 * 3.5},
        {{8, 1, 7, 2, 6, 3, 5, 4}, 6.25 + 1.5 * 3.5},
        {{0.1, 0.1, 0.1, 0.1}, 0.1},
        {{0.02}, 0.02},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distances.size());
        EXPECT_NEAR(upperFence(c.distances), c.fence, 1e-12);
    }
}

// The ten real wings and one planted fault, checked as `kanat-hesapla --check` checks a file.
TEST(ShapeCheck, NamesAPlantedExchangeOrMisplacedLandmarkOfARealWing) {
    struct Case {
        const char* name;
        std::size_t wing;
        int first, second; // the pair exchanged, or the landmark moved (second 0)
        double angle;      // direction of the 40 pixel move
        ShapeVerdict verdict;
    };
    const Case cases[] = {
        {"7 and 8 exchanged", 2, 7, 8, 0, ShapeVerdict::Exchanged},
        {"12 and 16 exchanged", 5, 12, 16, 0, ShapeVerdict::Exchanged},
        {"1 and 18 exchanged", 9, 1, 18, 0, ShapeVerdict::Exchanged},
        {"11 moved 40 px up and right", 4, 11, 0, 0.9, ShapeVerdict::Misplaced},
        {"3 moved 40 px down", 0, 3, 0, -1.6, ShapeVerdict::Misplaced},
        {"17 moved 40 px left", 7, 17, 0, 3.1, ShapeVerdict::Misplaced},
    };
    const auto wings = test::realWings(test::testData("wings"));
    ASSERT_EQ(wings.size(), 10u);
    std::vector<Configuration> collection;
    for (const auto& wing : wings) {
        collection.emplace_back();
        for (const TpsPoint& point : wing.landmarks) collection.back().push_back({point.x, point.y});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configuration planted = collection[c.wing];
        if (c.second)
            std::swap(planted[c.first - 1], planted[c.second - 1]);
        else
            planted[c.first - 1] += std::polar(40.0, c.angle);
        std::vector<Configuration> shapes = collection;
        shapes.push_back(planted);
        const ShapeModel model = shapeModelOf(shapes);
        const ShapeCheck check = checkShape(planted, model);
        EXPECT_EQ(check.verdict, c.verdict);
        EXPECT_EQ(check.first, c.first);
        EXPECT_EQ(check.second, c.second);
        EXPECT_GT(check.distance, model.fence);
        EXPECT_EQ(checkShape(collection[c.wing], model).verdict, ShapeVerdict::Sound);
    }
}

// 12 pixels off, on a wing of about 900: a fit to the other landmarks spreads that miss over
// them, and the landmark it then blames is often one far from the centre that strays anyway.
TEST(ShapeCheck, NamesAModestlyMovedLandmarkByHowFarThatLandmarkStraysInTheCollection) {
    struct Case {
        const char* name;
        std::size_t wing;
        int landmark;
        int direction; // eighths of a turn
    };
    const Case cases[] = {
        {"1, left", 1, 1, 4}, {"4, left", 3, 4, 4},   {"14, up and left", 6, 14, 3},
        {"8, left", 7, 8, 4}, {"11, left", 8, 11, 4}, {"17, left", 4, 17, 4},
    };
    const auto wings = test::realWings(test::testData("wings"));
    ASSERT_EQ(wings.size(), 10u);
    std::vector<Configuration> all;
    for (const auto& wing : wings) {
        all.emplace_back();
        for (const TpsPoint& point : wing.landmarks) all.back().push_back({point.x, point.y});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Configuration> others = all;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(c.wing));
        Configuration wing = all[c.wing];
        wing[static_cast<std::size_t>(c.landmark - 1)] += std::polar(12.0, c.direction * 3.14159265358979 / 4);
        EXPECT_EQ(leastFitting(wing, shapeModelOf(others)), c.landmark);
    }
}

} // namespace
} // namespace kanat
