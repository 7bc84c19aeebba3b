#include "measure/arithmetic_error.h"
#include "measure/geometry.h"
#include "measure/landmark_colours.h"
#include "measure/length_pair.h"
#include "measure/wing_indices.h"

#include <gtest/gtest.h>

#include <map>

namespace kanat {
namespace {

struct Point {
    std::string x;
    std::string y;
};

WorkingFields withPoints(std::initializer_list<Point> points) {
    WorkingFields fields;
    int n = 1;
    for (const Point& p : points) {
        fields[pointX(n)] = p.x;
        fields[pointY(n)] = p.y;
        ++n;
    }
    return fields;
}

TEST(VertexAngle, MeasuresTheAngleAtTheMiddlePointInItsOwnDegrees) {
    struct Case {
        Point p1, p2, p3;
        char decimal;
        const char *txt1, *txt2, *txt3, *cs, *oran;
    };
    const Case cases[] = {
        {{"0", "30"}, {"0", "0"}, {"40", "0"}, '.', "30     ", "50     ", "40     ", "90.046", "0.75"},
        {{"0", "30"}, {"0", "0"}, {"40", "0"}, ',', "30     ", "50     ", "40     ", "90,046", "0,75"},
        {{"10", "0"}, {"0", "0"}, {"10", "10"}, '.', "10     ", "10     ", "14.1421", "45.023", "0.707"},
        {{"20", "0"}, {"0", "0"}, {"-10", "17.3205"}, '.', "20     ", "34.6410", "19.9999", "120.061", "1"},
        // The cut side c = 123.405 moves the right angle to 90.041.
        {{"123,5", "0"}, {"0", "0"}, {"0", "10"}, '.', "123    ", "123.405", "10     ", "90.041", "12.3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cs));
        WorkingFields fields = withPoints({c.p1, c.p2, c.p3});
        VertexAngle(fields, c.decimal);
        EXPECT_EQ(fields[Field::Txt1], c.txt1);
        EXPECT_EQ(fields[Field::Txt2], c.txt2);
        EXPECT_EQ(fields[Field::Txt3], c.txt3);
        EXPECT_EQ(fields[Field::cs], c.cs);
        EXPECT_EQ(fields[Field::oran], c.oran);
    }
}

TEST(VertexAngle, StopsAtTheFailingStepKeepingWhatItWroteBefore) {
    struct Case {
        Point p1, p2, p3;
        const char *txt1, *txt2, *txt3;
    };
    const Case cases[] = {
        {{"0", "0"}, {"10", "0"}, {"20", "0"}, "10     ", "20     ", "10     "}, // k = −1
        {{"5", "5"}, {"5", "5"}, {"9", "8"}, "0      ", "5      ", "5      "},   // a = 0
        {{"1", "1"}, {"9", "8"}, {"9", "8"}, "10.6301", "10.6301", "0      "},   // b = 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.txt1) + "|" + c.txt2);
        WorkingFields fields = withPoints({c.p1, c.p2, c.p3});
        fields[Field::cs] = "before";
        fields[Field::oran] = "before";
        EXPECT_THROW(VertexAngle(fields, '.'), ArithmeticError);
        EXPECT_EQ(fields[Field::Txt1], c.txt1);
        EXPECT_EQ(fields[Field::Txt2], c.txt2);
        EXPECT_EQ(fields[Field::Txt3], c.txt3);
        EXPECT_EQ(fields[Field::cs], "before");
        EXPECT_EQ(fields[Field::oran], "before");
    }
}

TEST(VertexAngle, ANearlyStraightAngleCompletesFromItsCutSides) {
    // The cut sides leave k a hair inside ±1: no clamp, no collinearity test.
    const std::pair<Point, const char*> cases[] = {{{"1", "4"}, "179.937"}, {{"1", "18"}, "180.091"}};
    for (const auto& [middle, cs] : cases) {
        const double x = std::stod(middle.x) * 3;
        const double y = std::stod(middle.y) * 3;
        WorkingFields fields = withPoints({{"0", "0"}, middle, {std::to_string(x), std::to_string(y)}});
        VertexAngle(fields, '.');
        EXPECT_EQ(fields[Field::cs], cs);
    }
}

TEST(DistanceRatio, DividesTheCutDistances) {
    struct Case {
        Point p1, p2, p3, p4;
        const char* oran;
    };
    const Case cases[] = {
        {{"0", "0"}, {"3", "4"}, {"0", "0"}, {"0", "10"}, "0.5"},
        {{"0", "0"}, {"1000", "1000"}, {"0", "0"}, {"1", "0"}, "1414.21"},
        {{"7", "7"}, {"7", "7"}, {"0", "0"}, {"1", "0"}, "0"},
        {{"6", "8"}, {"0", "0"}, {"2", "1"}, {"2", "6"}, "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oran);
        WorkingFields fields = withPoints({c.p1, c.p2, c.p3, c.p4});
        DistanceRatio(fields, '.');
        EXPECT_EQ(fields[Field::oran], c.oran);
    }
}

TEST(DistanceRatio, ASecondDistanceOfZeroChangesNothing) {
    WorkingFields fields = withPoints({{"0", "0"}, {"3", "4"}, {"2", "2"}, {"2", "2"}});
    fields[Field::oran] = "before";
    EXPECT_THROW(DistanceRatio(fields, '.'), ArithmeticError);
    EXPECT_EQ(fields[Field::oran], "before");
}

TEST(ArcFunctions, FailAtPlusOrMinusOneAndBeyond) {
    EXPECT_NEAR(ArcCos(0.0), 1.5707963267948966, 1e-15);
    EXPECT_NEAR(ArcSin(0.5), 0.5235987755982989, 1e-15);
    for (double x : {1.0, -1.0, 1.0000001, -1.5}) {
        SCOPED_TRACE(x);
        EXPECT_THROW(ArcCos(x), ArithmeticError);
        EXPECT_THROW(ArcSin(x), ArithmeticError);
    }
}

LandmarkSheet sheetWith(const std::map<int, Point>& landmarks) {
    LandmarkSheet sheet;
    for (const auto& [n, p] : landmarks) {
        sheet.x(n) = p.x;
        sheet.y(n) = p.y;
    }
    return sheet;
}

TEST(DiscoidalShift, GivesTheDeviationFromARightAngleWithItsDoubleResidues) {
    struct Case {
        Point landmark11;
        char decimal;
        const char* cs;
    };
    const Case cases[] = {
        {{"60", "100"}, '.', "-5.70999999999999"},
        {{"40", "100"}, '.', "5.70999999999999"},
        {{"150", "100"}, '.', "-45"},
        {{"60", "0"}, '.', "0"},
        {{"60", "100"}, ',', "-5,70999999999999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cs);
        const LandmarkSheet sheet =
            sheetWith({{1, {"0", "0"}}, {4, {"100", "0"}}, {2, {"50", "0"}}, {11, c.landmark11}});
        WorkingFields fields;
        DiscoidalShift(sheet, fields, c.decimal);
        EXPECT_EQ(fields[Field::cs], c.cs);
    }
}

TEST(DiscoidalShift, AVerticalOrPerpendicularLineFailsWithoutWritingCs) {
    const std::map<int, Point> vertical{{1, {"0", "0"}}, {4, {"100", "0"}}, {2, {"50", "0"}}, {11, {"50", "100"}}};
    const std::map<int, Point> perpendicular{{1, {"0", "0"}}, {4, {"10", "10"}}, {2, {"0", "0"}}, {11, {"10", "-10"}}};
    for (const auto& landmarks : {vertical, perpendicular}) {
        WorkingFields fields;
        fields[Field::cs] = "before";
        EXPECT_THROW(DiscoidalShift(sheetWith(landmarks), fields, '.'), ArithmeticError);
        EXPECT_EQ(fields[Field::cs], "before");
    }
}

TEST(DiscoidalShift, HoldsTheYOfLandmark11InSinglePrecision) {
    // As a double, 38.3347 gives an angle of 46.01499…; as a single it gives 46.01500…, which
    // rounds to 46.02.
    const LandmarkSheet sheet =
        sheetWith({{1, {"0", "0"}}, {4, {"100", "0"}}, {2, {"0", "0"}}, {11, {"37", "38.3347"}}});
    WorkingFields fields;
    DiscoidalShift(sheet, fields, '.');
    EXPECT_EQ(fields[Field::cs], "-43.98");
}

TEST(LengthPair, ScalesTheCutDistancesByTheMillimetresPerPixel) {
    struct Case {
        Point p1, p2;
        const char* mmPerPixel;
        char decimal;
        const char* length;
    };
    const Case cases[] = {
        {{"0", "0"}, {"30", "40"}, "0.021052632", '.', "1.053"},
        {{"0", "0"}, {"30", "40"}, "0.010526316", '.', "0.526"},
        {{"0", "0"}, {"30", "40"}, "0.005263158", '.', "0.263"},
        {{"0", "0"}, {"18", "10"}, "0.021052632", '.', "0.433"},
        {{"0", "0"}, {"54", "30"}, "0.021052632", '.', "1.3"},
        {{"5", "5"}, {"5", "5"}, "0.021052632", '.', "0"},
        {{"0", "0"}, {"100", "0"}, "0,021052632", ',', "2,105"},
        {{"0", "0"}, {"100", "0"}, "0.005263158", '.', "0.526"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        WorkingFields fields = withPoints({c.p1, c.p2, c.p2, c.p1});
        LengthPair(fields, c.mmPerPixel, c.decimal);
        EXPECT_EQ(fields[Field::oran], c.length);
        EXPECT_EQ(fields[Field::cs], c.length);
    }
}

TEST(LengthPair, AnUnreadableScaleStopsBeforeEitherLength) {
    WorkingFields fields = withPoints({{"0", "0"}, {"3", "4"}, {"0", "0"}, {"3", "4"}});
    fields[Field::oran] = "before";
    fields[Field::cs] = "before";
    EXPECT_THROW(LengthPair(fields, "0.021052632", ','), ArithmeticError);
    EXPECT_EQ(fields[Field::oran], "before");
    EXPECT_EQ(fields[Field::cs], "before");
}

// A picture whose pixels are given by the test, at column/row positions used as they stand.
class TablePicture final : public PixelSource {
public:
    std::map<std::pair<int, int>, std::int32_t> pixels;
    std::int32_t fallback = -1;
    double rowOf(double y) const override { return y; }
    std::int32_t colourAt(double column, double row) const override {
        const auto found = pixels.find({pixelIndex(column), pixelIndex(row)});
        return found == pixels.end() ? fallback : found->second;
    }
};

TEST(LandmarkColours, AveragesThreePackedReadingsAsPlainIntegers) {
    struct Case {
        std::int32_t r1, r2, r3;
        const char* colour;
    };
    const Case cases[] = {
        {8421504, 8421504, 8421504, "8421504"}, {0, 0, 1, "0"}, {0, 1, 1, "1"}, {-1, -1, -1, "-1"},
        {-1, -1, 16777215, "5592404"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colour);
        // Landmark 4 at (10, 20) is sampled at (15, 20), (16, 20) and (17, 20).
        LandmarkSheet sheet = sheetWith({{4, {"10", "20"}}});
        TablePicture picture;
        picture.pixels = {{{15, 20}, c.r1}, {{16, 20}, c.r2}, {{17, 20}, c.r3}};
        WorkingFields fields;
        const auto colours = LandmarkColours(sheet, fields, picture, '.');
        EXPECT_EQ(colours[3], c.colour);
    }
}

TEST(LandmarkColours, SamplesAlongEachLandmarksDirection) {
    // Landmark 1 goes up-left from (50, 50), landmark 2 down by 3 to 5, landmark 18 up.
    LandmarkSheet sheet = sheetWith({{1, {"50", "50"}}, {2, {"50", "50"}}, {18, {"50", "50"}}});
    TablePicture picture;
    picture.pixels = {{{45, 45}, 30}, {{44, 44}, 30},       {{43, 43}, 30},       {{50, 53}, 60},      {{50, 54}, 60},
                      {{50, 55}, 60}, {{50, 45}, 16777215}, {{50, 44}, 16777215}, {{50, 43}, 16777215}};
    WorkingFields fields;
    const auto colours = LandmarkColours(sheet, fields, picture, '.');
    EXPECT_EQ(colours[0], "30");
    EXPECT_EQ(colours[1], "60");
    EXPECT_EQ(colours[17], "16777215");
    EXPECT_EQ(fields[Field::renk], "16777215");
}

TEST(LandmarkColours, RoundsHalfPositionsToEvenPixels) {
    // Landmark 2 has dx = 0: x 12.5 is read at column 12, 13.5 at column 14.
    for (const auto& [x, column] : {std::pair{"12.5", 12}, std::pair{"13.5", 14}}) {
        LandmarkSheet sheet = sheetWith({{2, {x, "0"}}});
        TablePicture picture;
        picture.pixels = {{{column, 3}, 9}, {{column, 4}, 9}, {{column, 5}, 9}};
        WorkingFields fields;
        EXPECT_EQ(LandmarkColours(sheet, fields, picture, '.')[1], "9") << x;
    }
}

TEST(LandmarkColours, APositionOutOfRangeEmptiesThatLandmarkAlone) {
    LandmarkSheet sheet = sheetWith({{3, {"1e12", "0"}}, {4, {"0", "0"}}});
    TablePicture picture;
    picture.fallback = 7;
    WorkingFields fields;
    const auto colours = LandmarkColours(sheet, fields, picture, '.');
    EXPECT_EQ(colours[1], "7");
    EXPECT_EQ(colours[2], "");
    EXPECT_EQ(colours[3], "7");
}

} // namespace
} // namespace kanat
