#include "tools/batch_options.h"
#include "tools/ordered_workers.h"
#include "tools/tps_output.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

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
    const BatchOptions automatic =
        parseBatchOptions({"a.png", "--auto", "--record", "12.txt", "--collection=12.tps", "b c.jpg", "a.png"});
    EXPECT_EQ(automatic.mode, BatchMode::Auto);
    EXPECT_EQ(automatic.collection, "12.tps");
    EXPECT_EQ(automatic.record.value_or(""), "12.txt");
    EXPECT_EQ(automatic.pictures, (std::vector<std::string>{"a.png", "b c.jpg", "a.png"}));
    EXPECT_FALSE(automatic.mmPerPixelGiven);
    // A set-up's pixels a millimetre: 1/p to nine decimals, as the window writes it; a name is
    // looked up among the user's set-ups.
    EXPECT_EQ(parseBatchOptions({"--pixels-per-mm", "95", "w"}).mmPerPixel, "0.010526316");
    EXPECT_EQ(parseBatchOptions({"--decimal", ",", "--pixels-per-mm=312,4", "w"}).mmPerPixel, "0,003201024");
    const BatchOptions named = parseBatchOptions({"--pixels-per-mm", "Stereo mikroskop 2x", "w"});
    EXPECT_EQ(named.setupName.value_or(""), "Stereo mikroskop 2x");
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
        {"--auto", "--collection", "12.tps"},
        {"--auto", "a.png"},
        {"--auto", "--collection", "12.tps", "--image", "b.png", "a.png"},
        {"--auto", "--complete", "--collection", "12.tps", "a.png"},
        {"--auto", "--check", "12.tps", "a.png"},
        {"--check", "12.tps", "--record", "12.txt"},
        {"--pixels-per-mm", "95", "--mm-per-pixel", "0.01", "w"},
        {"--pixels-per-mm", "w"},
    };
    for (const auto& arguments : cases) EXPECT_THROW(parseBatchOptions(arguments), std::invalid_argument);
}

TEST(TpsOutput, NamesTheLandmarksToCheckInTheSpecimensOwnComment) {
    struct Case {
        const char* own;
        std::vector<int> toCheck;
        const char* comment;
    };
    const Case cases[] = {
        {"", {}, ""},
        {"", {14, 6, 7}, "denetlenecek noktalar: 6 7 14"},
        {"sol kanat", {}, "sol kanat"},
        {"sol kanat", {3}, "sol kanat; denetlenecek noktalar: 3"},
        // an earlier run's landmarks have not been looked at either
        {"denetlenecek noktalar: 6 14", {7, 14}, "denetlenecek noktalar: 6 7 14"},
        {"sol kanat; denetlenecek noktalar: 6", {}, "sol kanat; denetlenecek noktalar: 6"},
        {"a; denetlenecek noktalar: 9 2; b", {1}, "a; b; denetlenecek noktalar: 1 2 9"},
        {"denetlenecek noktalar: 0 19 123 x", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.own);
        EXPECT_EQ(commentWith(c.own, c.toCheck), c.comment);
    }
}

TEST(TpsOutput, WritesASpecimenAs12TpsHoldsIt) {
    PrintedSpecimen specimen{{}, "a b\n.png", "3", 0.010526316, "denetlenecek noktalar: 2"};
    specimen.lines[0] = coordinateLine(12.5, -0.000001);
    specimen.lines[1] = coordinateLine(1234.567891, 7);
    std::string expected = "LM=18\n12.50000 0.00000\n1234.56789 7.00000\n";
    for (int i = 2; i < 18; ++i) expected += "-1 -1\n";
    expected += "IMAGE=a b .png\nID=3\nSCALE=0.010526316\nCOMMENT=denetlenecek noktalar: 2\n";
    EXPECT_EQ(tpsText(specimen), expected);
    specimen.scale.reset();
    specimen.comment.clear();
    specimen.image.clear();
    EXPECT_EQ(tpsText(specimen).substr(tpsText(specimen).find("-1 -1\nID=")), "-1 -1\nID=3\n");
}

// Work of uneven length delivered in order, with no more than `ahead` items taken and waiting.
TEST(OrderedWorkers, DeliverInOrderWithFewWaiting) {
    constexpr std::size_t count = 40, ahead = 3;
    std::atomic<std::size_t> delivered{0}, farthestAhead{0};
    std::vector<std::size_t> order;
    runInOrder<std::size_t>(
        count, 2, ahead,
        [&](std::size_t item, unsigned worker) {
            EXPECT_LT(worker, 2u);
            const std::size_t lead = item + 1 - delivered.load();
            for (std::size_t seen = farthestAhead.load();
                 lead > seen && !farthestAhead.compare_exchange_weak(seen, lead);) {
            }
            if (item % 7 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return item * item;
        },
        [&](std::size_t item, std::size_t& result) {
            EXPECT_EQ(result, item * item);
            order.push_back(item);
            ++delivered;
            return true;
        });
    ASSERT_EQ(order.size(), count);
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(order[i], i);
    EXPECT_LE(farthestAhead.load(), ahead);
}

TEST(OrderedWorkers, StopWhereAskedAndThrowAFailureAtItsTurn) {
    struct Case {
        const char* name;
        std::size_t stopAt, throwAt, delivered;
        bool throws;
    };
    const Case cases[] = {
        {"deliver says stop", 5, 100, 6, false},
        {"work throws", 100, 7, 7, true},
        {"a failure after a stop is not seen", 3, 4, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<std::size_t> begun{0};
        std::size_t delivered = 0;
        const auto run = [&] {
            runInOrder<int>(
                50, 2, 2,
                [&](std::size_t item, unsigned) {
                    ++begun;
                    if (item == c.throwAt) throw std::runtime_error("work failed");
                    // later items finish first, so a failure waits for its turn
                    std::this_thread::sleep_for(std::chrono::milliseconds(item < 8 ? 8 - item : 0));
                    return 0;
                },
                [&](std::size_t item, int&) {
                    EXPECT_EQ(item, delivered);
                    ++delivered;
                    return item != c.stopAt;
                });
        };
        if (c.throws)
            EXPECT_THROW(run(), std::runtime_error);
        else
            EXPECT_NO_THROW(run());
        EXPECT_EQ(delivered, c.delivered);
        EXPECT_LE(begun.load(), c.delivered + 2);
    }
}

} // namespace
} // namespace kanat
