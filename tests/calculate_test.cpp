#include "measure/calculate.h"
#include "results/measurement_record.h"
#include "results/result_list.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace kanat {
namespace {

LandmarkSheet sheetFromFile(const std::string& path) {
    LandmarkSheet sheet;
    const auto lines = test::readLines(path);
    for (std::size_t i = 0; i < lines.size() && i < 18; ++i) {
        const auto separator = lines[i].find(';');
        sheet.texts[2 * i] = lines[i].substr(0, separator);
        sheet.texts[2 * i + 1] = separator == std::string::npos ? "" : lines[i].substr(separator + 1);
    }
    return sheet;
}

TEST(Calculate, GivesTheGoldenLinesOfIndependentlyComputedWings) {
    struct Case {
        const char* name;
        const char* mmPerPixel;
        char decimal;
    };
    const Case cases[] = {
        {"wing-x05-point", "0.021052632", '.'},
        {"wing-x4-comma", "0,005263158", ','},
        {"degenerate-point", "0.010526316", '.'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string base = test::testData(std::string("golden/") + c.name);
        WorkingFields fields;
        const auto lines =
            resultLines(Calculate(sheetFromFile(base + ".txt"), fields, c.mmPerPixel, c.decimal, NoPicture()));
        const auto expected = test::readLines(base + ".expected");
        ASSERT_EQ(lines.size(), expected.size());
        for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
    }
}

// Eighteen distinct landmarks without three on one line or a vertical line of the shift.
LandmarkSheet wellFormedWing() {
    LandmarkSheet sheet;
    const int xy[18][2] = {{290, 572},  {474, 599},  {558, 599},  {705, 630},  {395, 447},  {559, 437},
                           {618, 482},  {705, 488},  {850, 515},  {1097, 531}, {538, 290},  {891, 295},
                           {1016, 383}, {1301, 413}, {1880, 528}, {870, 191},  {1015, 241}, {1326, 323}};
    for (int n = 1; n <= 18; ++n) {
        sheet.x(n) = std::to_string(xy[n - 1][0]);
        sheet.y(n) = std::to_string(xy[n - 1][1]);
    }
    return sheet;
}

TEST(Calculate, ListsEveryMeasurementInCatalogueOrderAndRepeatsTheDuplicates) {
    WorkingFields fields;
    const auto values = Calculate(wellFormedWing(), fields, "0.021052632", '.', NoPicture());
    const auto lines = resultLines(values);
    ASSERT_EQ(lines.size(), 117u);
    EXPECT_EQ(lines[0].rfind("Açı(1-2-5);", 0), 0u);
    EXPECT_EQ(lines[19].rfind("Oran(1-2/2-5);", 0), 0u);
    EXPECT_EQ(lines[72].rfind("Cubital index;", 0), 0u);
    EXPECT_EQ(lines[74].rfind("Discoidal Shift;", 0), 0u);
    EXPECT_EQ(lines[75].rfind("Uzunluk(mm)(4-17);", 0), 0u);
    EXPECT_EQ(lines[98].rfind("Uzunluk(mm)(17-18);", 0), 0u);
    EXPECT_EQ(lines[99], "-1");
    for (std::size_t i = 0; i < 99; ++i) EXPECT_FALSE(values[i].empty()) << "slot " << i + 1;
    // Ratios 41, 43, 47, 49, 50 repeat 27, 34, 20, 25, 29; length calls 2 and 8 repeat.
    const std::pair<int, int> repeats[] = {{41, 27}, {43, 34}, {47, 20}, {49, 25}, {50, 29}, {90, 78}, {91, 79}};
    for (const auto& [again, first] : repeats) {
        EXPECT_EQ(lines[static_cast<std::size_t>(again - 1)], lines[static_cast<std::size_t>(first - 1)]);
        EXPECT_EQ(values[static_cast<std::size_t>(again - 1)], values[static_cast<std::size_t>(first - 1)]);
    }
}

TEST(Calculate, WithNoLandmarksEveryMeasurementIsEmpty) {
    WorkingFields fields;
    const auto values = Calculate(LandmarkSheet{}, fields, "0.021052632", '.', NoPicture());
    const auto lines = resultLines(values);
    EXPECT_EQ(lines[0], "Açı(1-2-5);");
    EXPECT_EQ(lines[71], "Oran(12-17/14-18);");
    for (std::size_t i = 0; i < 75; ++i) EXPECT_EQ(values[i], "") << "slot " << i + 1;
    // Lengths between two (0, 0) points are 0, and with no picture every colour is −1.
    for (std::size_t i = 75; i < 99; ++i) EXPECT_EQ(values[i], "0") << "slot " << i + 1;
    for (std::size_t i = 99; i < 117; ++i) EXPECT_EQ(values[i], "-1") << "slot " << i + 1;
}

TEST(Calculate, AFailingStepNeverReportsAnEarlierMeasurement) {
    // Landmarks 1, 2 and 5 on one line: the first angle fails, and with cs holding a value from
    // an earlier run it must still be empty.
    LandmarkSheet sheet = wellFormedWing();
    sheet.x(1) = "0";
    sheet.y(1) = "0";
    sheet.x(2) = "10";
    sheet.y(2) = "0";
    sheet.x(5) = "20";
    sheet.y(5) = "0";
    WorkingFields fields;
    fields[Field::cs] = "95.5";
    fields[Field::oran] = "0.75";
    const auto values = Calculate(sheet, fields, "0.021052632", '.', NoPicture());
    EXPECT_EQ(values[0], "");
    EXPECT_EQ(resultLines(values)[0], "Açı(1-2-5);");
    EXPECT_FALSE(values[1].empty());

    // Landmarks 5 and 6 together: the Cubital index fails; landmarks 2 and 3 together: Hantel.
    sheet = wellFormedWing();
    sheet.x(6) = sheet.x(5);
    sheet.y(6) = sheet.y(5);
    sheet.x(3) = sheet.x(2);
    sheet.y(3) = sheet.y(2);
    const auto indices = Calculate(sheet, fields, "0.021052632", '.', NoPicture());
    EXPECT_EQ(indices[72], "");
    EXPECT_EQ(indices[73], "");
}

TEST(Calculate, AnUnreadableScaleEmptiesEveryLength) {
    WorkingFields fields;
    const auto values = Calculate(wellFormedWing(), fields, "0,021052632", '.', NoPicture());
    for (std::size_t i = 75; i < 99; ++i) EXPECT_EQ(values[i], "") << "slot " << i + 1;
    EXPECT_FALSE(values[74].empty());
}

// The landmarks a measurement needs, read from its label as a user reads the result list; the
// three indices from their definitions (cubital: 6-7 over 5-6; hantel: 5-7 over 2-3; the
// discoidal shift: the line 1-4 against the line 2-11).
std::set<int> landmarksOfLabel(const std::string& label) {
    if (label == "Cubital index") return {5, 6, 7};
    if (label == "Hantel index") return {2, 3, 5, 7};
    if (label == "Discoidal Shift") return {1, 2, 4, 11};
    std::set<int> landmarks;
    const std::string numbers = label.substr(label.rfind('(') + 1);
    int number = 0;
    for (const char c : numbers) {
        if (c >= '0' && c <= '9') {
            number = 10 * number + (c - '0');
        } else if (number > 0) {
            landmarks.insert(number);
            number = 0;
        }
    }
    return landmarks;
}

TEST(Calculate, AMissingLandmarkEmptiesExactlyTheMeasurementsThatNeedItAndItsColour) {
    const LandmarkSheet whole = sheetFromFile(test::testData("golden/wing-x05-point.txt"));
    WorkingFields fields;
    const CalculationValues standard = Calculate(whole, fields, "0.021052632", '.', NoPicture());
    const auto& labels = measurementLabels();
    for (int missing = 1; missing <= 18; ++missing) {
        SCOPED_TRACE(missing);
        LandmarkSheet sheet = whole;
        sheet.x(missing) = "yok";
        sheet.y(missing) = missing % 2 ? "yok" : " YOK ";
        const CalculationValues values = Calculate(sheet, fields, "0.021052632", '.', NoPicture());
        int emptied = 0;
        for (std::size_t k = 0; k < measurementValueCount; ++k) {
            if (landmarksOfLabel(labels[k]).count(missing)) {
                EXPECT_EQ(values[k], "") << labels[k];
                ++emptied;
            } else {
                EXPECT_EQ(values[k], standard[k]) << labels[k];
            }
        }
        EXPECT_GT(emptied, 0);
        for (std::size_t n = 1; n <= 18; ++n)
            EXPECT_EQ(values[measurementValueCount + n - 1],
                      n == std::size_t(missing) ? "" : standard[measurementValueCount + n - 1]);
    }
    // An empty field that nobody marked still reads as 0.
    LandmarkSheet blank = whole;
    blank.x(5).clear();
    blank.y(5).clear();
    EXPECT_NE(Calculate(blank, fields, "0.021052632", '.', NoPicture())[0], "");
}

TEST(MeasurementRecord, StoresTheValuesAndTheSevenCharacterClosingField) {
    struct Case {
        const char* colour;
        const char* closing;
    };
    const Case cases[] = {
        {"16777215", "1677721"}, {"-1", "-1     "}, {"123", "123    "}, {"8421504", "8421504"}, {"", "       "}};
    for (const auto& c : cases) {
        CalculationValues values;
        values.fill("v");
        values.back() = c.colour;
        MeasurementRecord record;
        record.store(values);
        EXPECT_EQ(record.closingField, c.closing);
        EXPECT_EQ(record.slotValues[115], "v");
    }
    EXPECT_EQ(MeasurementRecord{}.closingField, "       ");
}

} // namespace
} // namespace kanat
