#include "tests/real_wings.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kanat {
namespace {

namespace fs = std::filesystem;

class CollectionTool : public ::testing::Test {
protected:
    void SetUp() override { folder = test::makeTemporaryFolder(); }
    void TearDown() override { fs::remove_all(folder); }
    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(folder + "/" + name, std::ios::binary) << content;
        return folder + "/" + name;
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) result.push_back(line);
        return result;
    }
    std::vector<test::RealWing> all = test::realWings(test::testData("wings"));
    std::string folder;
};

// The held-out wing with only landmarks 1 and 18, written as the window would write it.
std::string twoPlaced(const test::RealWing& wing) {
    std::string text = test::tpsSpecimenOf(wing, 7);
    std::istringstream in(text);
    std::string out, line;
    for (int n = 0; std::getline(in, line); ++n) out += (n >= 2 && n <= 17 ? "-1 -1\r" : line) + "\n";
    return out;
}

TEST_F(CollectionTool, CompletesATpsSpecimenKeepingWhatWasPlaced) {
    const std::string collection = test::writeCollection(folder, {all[1], all[2], all[3], all[4], all[5]});
    fs::create_directory(folder + "/new");
    fs::copy_file(all[0].path, folder + "/new/" + all[0].fileName);
    const auto result =
        test::runBatchTool({"--complete", "--collection", collection, write("new/wing.tps", twoPlaced(all[0]))});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 22u);
    EXPECT_EQ(out[0], "LM=18");
    EXPECT_EQ(out[1], "218.00000 176.00000");
    EXPECT_EQ(out[19], "IMAGE=" + all[0].fileName);
    EXPECT_EQ(out[20], "ID=7");
    EXPECT_EQ(out[21], "SCALE=0.0105");
    int within3 = 0;
    for (int n = 2; n <= 17; ++n) {
        double x = 0, y = 0;
        ASSERT_EQ(std::sscanf(out[static_cast<std::size_t>(n)].c_str(), "%lf %lf", &x, &y), 2)
            << out[static_cast<std::size_t>(n)];
        const TpsPoint& truth = all[0].landmarks[static_cast<std::size_t>(n - 1)];
        within3 += std::hypot(x - truth.x, y - truth.y) <= 3;
    }
    EXPECT_GE(within3, 14); // 15 of 16 measured
}

TEST_F(CollectionTool, CompletesACoordinateFileOfSourcePixels) {
    const std::string collection = test::writeCollection(folder, {all[1], all[2], all[3]});
    const TpsPoint first = all[0].landmarks[0], last = all[0].landmarks[17];
    const std::string coordinates = std::to_string(first.x) + ";" + std::to_string(first.y) + "\n-1;-1\n\n" +
                                    std::string(14, '\n') + std::to_string(last.x) + ";" + std::to_string(last.y) +
                                    "\n";
    const auto result = test::runBatchTool(
        {"--complete", "--collection", collection, "--image", all[0].path, write("wing.txt", coordinates)});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 21u); // no SCALE= without --mm-per-pixel
    EXPECT_EQ(out[19], "IMAGE=" + all[0].fileName);
    EXPECT_EQ(out[20], "ID=1");
    double x = 0, y = 0;
    ASSERT_EQ(std::sscanf(out[2].c_str(), "%lf %lf", &x, &y), 2);
    EXPECT_LE(std::hypot(x - all[0].landmarks[1].x, y - all[0].landmarks[1].y), 3);
}

TEST_F(CollectionTool, RefusesWhatItCannotComplete) {
    const std::string collection = test::writeCollection(folder, {all[1], all[2], all[3]});
    std::string onePlaced = twoPlaced(all[0]);
    onePlaced.replace(onePlaced.find("636.00000 183.00000"), 19, "-1 -1");
    std::string onOneSpot = twoPlaced(all[0]);
    onOneSpot.replace(onOneSpot.find("636.00000 183.00000"), 19, "218.00000 176.00000");
    std::string withoutImage = twoPlaced(all[0]);
    withoutImage.erase(withoutImage.find("IMAGE="), withoutImage.find("ID=") - withoutImage.find("IMAGE="));
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {"one landmark placed",
         {"--collection", collection, "--image", all[0].path, write("one.tps", onePlaced)},
         "en az iki nokta"},
        {"two wings in the collection",
         {"--collection", write("small.tps", test::tpsSpecimenOf(all[1], 1) + test::tpsSpecimenOf(all[2], 2)),
          write("two.tps", twoPlaced(all[0]))},
         "öneri yapılamıyor"},
        {"a picture that is not there",
         {"--collection", collection, write("two.tps", twoPlaced(all[0]))},
         "kanat resmi okunamadı"},
        {"no picture named", {"--collection", collection, write("noimage.tps", withoutImage)}, "kanat resmi yok"},
        {"the two landmarks on one spot",
         {"--collection", collection, "--image", all[0].path, write("spot.tps", onOneSpot)},
         "öneri yapılamadı"},
        {"no collection given", {write("two.tps", twoPlaced(all[0]))}, "--collection"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments{"--complete"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto result = test::runBatchTool(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

TEST_F(CollectionTool, ChecksACollectionNamingTheExchangedAndTheMovedLandmark) {
    std::string tps;
    for (std::size_t i = 0; i < all.size(); ++i) tps += test::tpsSpecimenOf(all[i], static_cast<long>(i) + 1);
    test::RealWing exchanged = all[2], moved = all[4];
    std::swap(exchanged.landmarks[6], exchanged.landmarks[7]);
    moved.landmarks[10].x += 24;
    moved.landmarks[10].y += 32;
    tps += test::tpsSpecimenOf(exchanged, 11) + test::tpsSpecimenOf(moved, 12) + "LM=2\r\n1 2\r\n3 4\r\n";
    const auto result = test::runBatchTool({"--check", write("12.tps", tps)});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("18'den başka"), std::string::npos) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 2u) << result.out;
    EXPECT_EQ(out[0].substr(0, 3), "11\t");
    EXPECT_EQ(out[0].substr(out[0].rfind('\t')), "\tswap=7,8");
    EXPECT_EQ(out[1].substr(0, 3), "12\t");
    EXPECT_EQ(out[1].substr(out[1].rfind('\t')), "\tlandmark=11");
    double distance = 0, fence = 0;
    ASSERT_EQ(std::sscanf(out[0].c_str() + 3, "%lf\t%lf", &distance, &fence), 2);
    EXPECT_GT(distance, fence);

    const auto tooFew = test::runBatchTool({"--check", write("3.tps", tps.substr(0, tps.find("ID=3") + 5))});
    EXPECT_EQ(tooFew.status, 2);
    EXPECT_NE(tooFew.err.find("en az 4"), std::string::npos) << tooFew.err;
}

// The wing's specimen with landmarks 15 and 16 written as missing.
std::string without15And16(const test::RealWing& wing, long id) {
    std::istringstream in(test::tpsSpecimenOf(wing, id));
    std::string out, line;
    for (int n = 0; std::getline(in, line); ++n) out += (n == 15 || n == 16 ? "-1 -1\r" : line) + "\n";
    return out;
}

TEST_F(CollectionTool, ChecksDamagedWingsOnTheLandmarksTheyHave) {
    std::string tps;
    for (std::size_t i = 0; i < all.size(); ++i) tps += test::tpsSpecimenOf(all[i], static_cast<long>(i) + 1);
    test::RealWing exchanged = all[2], moved = all[4];
    std::swap(exchanged.landmarks[6], exchanged.landmarks[7]);
    moved.landmarks[10].x += 24;
    moved.landmarks[10].y += 32;
    tps += without15And16(exchanged, 11) + without15And16(all[5], 12) + without15And16(moved, 13);
    const auto result = test::runBatchTool({"--check", write("12.tps", tps)});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 2u) << result.out;
    EXPECT_EQ(out[0].substr(0, 3), "11\t");
    EXPECT_EQ(out[0].substr(out[0].rfind('\t')), "\tswap=7,8");
    EXPECT_EQ(out[1].substr(0, 3), "13\t");
    EXPECT_EQ(out[1].substr(out[1].rfind('\t')), "\tlandmark=11");
    for (const std::string& line : out) {
        double distance = 0, fence = 0;
        ASSERT_EQ(std::sscanf(line.c_str() + 3, "%lf\t%lf", &distance, &fence), 2);
        EXPECT_GT(distance, fence);
    }
}

} // namespace
} // namespace kanat
