#include "tools/batch_options.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kanat {
namespace {

TEST(BatchOptions, ReadsEveryOptionAndWritesTheScaleInTheChosenSeparator) {
    const BatchOptions defaults = parseBatchOptions({"w.txt"});
    EXPECT_EQ(defaults.mmPerPixel, "0.010526316");
    EXPECT_EQ(defaults.decimal, '.');
    const BatchOptions comma = parseBatchOptions(
        {"--decimal", ",", "--mm-per-pixel=0.005263158", "--image", "a.png", "--record", "12.txt", "w"});
    EXPECT_EQ(comma.mmPerPixel, "0,005263158");
    EXPECT_EQ(comma.image.value_or(""), "a.png");
    EXPECT_EQ(comma.record.value_or(""), "12.txt");
    EXPECT_EQ(parseBatchOptions({"--decimal", ",", "--mm-per-pixel", "0,5", "w"}).mmPerPixel, "0,5");
    EXPECT_TRUE(parseBatchOptions({"--help"}).help);
    const BatchOptions complete = parseBatchOptions({"--complete", "--collection", "12.tps", "w"});
    EXPECT_EQ(complete.mode, BatchMode::Complete);
    EXPECT_EQ(complete.collection, "12.tps");
    EXPECT_EQ(complete.landmarks, "w");
    const BatchOptions check = parseBatchOptions({"--check=12.tps"});
    EXPECT_EQ(check.mode, BatchMode::Check);
    EXPECT_EQ(check.collection, "12.tps");
}

TEST(BatchOptions, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"a", "b"},
        {"--decimal", ";", "w"},
        {"--mm-per-pixel", "-1", "w"},
        {"--mm-per-pixel", "abc", "w"},
        {"--frobnicate", "w"},
        {"w", "--image"},
        {"--complete", "w"},
        {"--collection", "12.tps", "w"},
        {"--check", "12.tps", "w"},
        {"--check", "12.tps", "--complete", "--collection", "12.tps", "w"},
        {"--check"},
        {"--complete", "--collection", "12.tps", "--record", "12.txt", "w"},
    };
    for (const auto& arguments : cases) EXPECT_THROW(parseBatchOptions(arguments), std::invalid_argument);
}

} // namespace
} // namespace kanat
