#include "measure/arithmetic_error.h"
#include "measure/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kanat {
namespace {

struct ParseCase {
    const char* text;
    double expected;
};

TEST(LeadingNumberParse, ReadsTheNumberAtTheStartOfTheText) {
    const ParseCase cases[] = {
        {"  42abc", 42},  {"abc", 0},
        {"12,5", 12},     {"-7.25", -7.25},
        {"", 0},          {"123,5", 123},
        {"1 2", 12},      {"\t3\n4", 34},
        {"+8", 8},        {".5", 0.5},
        {"1e3", 1000},    {"1E-2", 0.01},
        {"2D2", 200},     {"2d+1", 20},
        {"1e", 1},        {"1e+", 1},
        {"-", 0},         {"- 5", -5},
        {"12.5.6", 12.5}, {"7x8", 7},
        {"0.000", 0},     {"99999999", 99999999},
        {"1.5e-400", 0},  {"\r5", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("text: '") + c.text + "'");
        EXPECT_EQ(parseLeadingNumber(c.text), c.expected);
    }
    // A 0 read from a number is a number; the 0 of a text without one is not.
    for (const char* text : {"0.000", "1.5e-400", "- 5", "  42abc"}) EXPECT_TRUE(hasLeadingNumber(text)) << text;
    for (const char* text : {"abc", "", "-", "\r5", " \t"}) EXPECT_FALSE(hasLeadingNumber(text)) << text;
}

TEST(LeadingNumberParse, ANumberBeyondTheDoubleRangeIsAnOverflow) {
    EXPECT_THROW(parseLeadingNumber("1e400"), ArithmeticError);
    EXPECT_THROW(parseLeadingNumber("-9e999999999999"), ArithmeticError);
}

TEST(LocaleParse, ReadsWholeNumbersWithTheLocaleSeparator) {
    struct Case {
        const char* text;
        char decimal;
        double expected;
    };
    const Case cases[] = {
        {"0.5", '.', 0.5},     {"0,5", ',', 0.5},        {" 30     ", '.', 30},     {"\t-2.5\t", '.', -2.5},
        {"1E-05", '.', 1e-05}, {"1,5E+15", ',', 1.5e15}, {"14.1421", '.', 14.1421}, {"+3", '.', 3},
        {"5.", '.', 5},        {",25", ',', 0.25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseLocale(c.text, c.decimal), c.expected);
    }
}

TEST(LocaleParse, AnythingButOneNumberIsAConversionError) {
    struct Case {
        const char* text;
        char decimal;
    };
    const Case cases[] = {
        {"", '.'},      {"   ", '.'},   {"abc", '.'}, {"0,5", '.'}, {"0.5", ','}, {"1,000.5", '.'},
        {"12abc", '.'}, {"1.2E+", '.'}, {"1 2", '.'}, {"-", '.'},   {".", '.'},   {"1E+400", '.'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_THROW(parseLocale(c.text, c.decimal), ArithmeticError);
    }
}

TEST(GeneralFormat, WritesTheShortestTextWithFifteenDigits) {
    struct Case {
        double value;
        char decimal;
        const char* expected;
    };
    const Case cases[] = {
        {0.5, '.', "0.5"},
        {0.5, ',', "0,5"},
        {1.0, '.', "1"},
        {-3, '.', "-3"},
        {-0.0, '.', "0"},
        {0.021052632, ',', "0,021052632"},
        {1e-05, '.', "1E-05"},
        {0.0001, '.', "0.0001"},
        {1.5e15, '.', "1.5E+15"},
        {1.5e15, ',', "1,5E+15"},
        {123456789012345, '.', "123456789012345"},
        {1234567890123456, '.', "1.23456789012346E+15"},
        {1.0 / 3, '.', "0.333333333333333"},
        {84.29 - 90, '.', "-5.70999999999999"},
        {87.35 - 90, '.', "-2.65000000000001"},
        {1e100, '.', "1E+100"},
        {1e-320, '.', "9.99988867182683E-321"}, // a subnormal's few bits show at 15 digits
        {0.1 + 0.2, '.', "0.3"},
        {123456.5, ',', "123456,5"},
        {-0.001, '.', "-0.001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(formatGeneral(c.value, c.decimal), c.expected);
    }
}

TEST(GeneralFormat, SinglePrecisionHasSevenDigits) {
    EXPECT_EQ(formatGeneralSingle(123.0f, '.'), "123");
    EXPECT_EQ(formatGeneralSingle(1234.5678f, '.'), "1234.568");
    EXPECT_EQ(formatGeneralSingle(0.1f, ','), "0,1");
    EXPECT_EQ(formatGeneralSingle(12345678.0f, '.'), "1.234568E+07");
}

TEST(Fixed7, CutsWithoutRoundingOrPadsWithBlanks) {
    struct Case {
        double value;
        char decimal;
        const char* expected;
    };
    const Case cases[] = {
        {std::sqrt(2.0), '.', "1.41421"}, {123.456789, '.', "123.456"}, {1234.5678, '.', "1234.56"},
        {-12.3456, '.', "-12.345"},       {12, '.', "12     "},         {30, '.', "30     "},
        {99999999, '.', "9999999"},       {1234.5678, ',', "1234,56"},  {1e-05, '.', "1E-05  "},
        {19.99999999, '.', "19.9999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(fixed7(c.value, c.decimal), c.expected);
    }
    EXPECT_EQ(parseLocale(fixed7(1234.5678, '.'), '.'), 1234.56);
    EXPECT_EQ(parseLocale(fixed7(1234.5678, ','), ','), 1234.56);
}

TEST(ResultFormat, RoundsToThreeDecimalsAndDropsTrailingZeros) {
    struct Case {
        double value;
        char decimal;
        const char* expected;
    };
    const Case cases[] = {
        {0.75, '.', "0.75"},    {1.0, '.', "1"},        {1.30049, '.', "1.3"},    {90.0458, ',', "90,046"},
        {2.0125, '.', "2.012"}, {2.0135, '.', "2.014"}, {-0.0004, '.', "0"},      {1414.21, '.', "1414.21"},
        {0.9999, '.', "1"},     {-1.0005, '.', "-1"},   {-1.0015, '.', "-1.002"}, {0.0005, '.', "0"},
        {0.0015, '.', "0.002"}, {1e20, '.', "1E+20"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(formatResult(c.value, c.decimal), c.expected);
    }
}

TEST(HalfToEvenRounding, ATieIsWhatTheShortestDecimalTextSays) {
    struct Case {
        double value;
        int decimals;
        double expected;
    };
    const Case cases[] = {
        {212.5, 0, 212},
        {213.5, 0, 214},
        {-212.5, 0, -212},
        {0.5, 0, 0},
        {1.5, 0, 2},
        {2.0125, 3, 2.012},
        {2.0135, 3, 2.014},
        {84.285, 2, 84.28},
        {84.295, 2, 84.3},
        {84.2851, 2, 84.29},
        {12.5, 0, 12},
        {13.5, 0, 14},
        {999.9995, 3, 1000},
        {8421504.0, 0, 8421504},
        {1.0 / 3, 0, 0},
        {2.0 / 3, 0, 1},
        {5592404.333333333, 0, 5592404},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(roundHalfEven(c.value, c.decimals), c.expected);
    }
}

} // namespace
} // namespace kanat
