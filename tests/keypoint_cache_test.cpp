#include "collection/keypoint_cache.h"
#include "collection/wing_collection.h"
#include "tests/real_wings.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace kanat {
namespace {

namespace fs = std::filesystem;

class KeypointFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = test::makeTemporaryFolder();
        path = keypointFilePath(folder + "/12.tps");
        const test::RealWing wing = test::realWings(test::testData("wings")).front();
        picture = pyramidOf(wing.picture);
        for (const TpsPoint& point : wing.landmarks) landmarks.push_back({point.x, point.y});
    }
    void TearDown() override { fs::remove_all(folder); }
    // The keypoints of ID 7, counting how often its picture had to be read.
    std::shared_ptr<const WingKeypoints> keypointsOf(KeypointCache& cache, std::uint64_t key = 42) {
        return cache.keypoints("7", key, landmarks, [&] {
            ++readings;
            return std::optional<PicturePyramid>(picture);
        });
    }

    std::string folder, path;
    PicturePyramid picture;
    Configuration landmarks;
    int readings = 0;
};

TEST_F(KeypointFile, FindsEachWingsKeypointsOnceAndKeepsThemBesideTheCollection) {
    KeypointCache cache(path, {});
    const auto first = keypointsOf(cache);
    ASSERT_TRUE(first);
    EXPECT_GT(first->points.size(), 100u);
    EXPECT_EQ(keypointsOf(cache), first);
    keypointsOf(cache, 43); // the specimen edited by hand since
    EXPECT_EQ(readings, 2);
    EXPECT_EQ(cache.save(), "");

    KeypointCache reopened(path, {});
    const auto kept = keypointsOf(reopened);
    EXPECT_EQ(readings, 2);
    ASSERT_EQ(kept->points.size(), first->points.size());
    EXPECT_EQ(kept->points.back(), first->points.back());
    EXPECT_EQ(cv::norm(kept->descriptors, first->descriptors, cv::NORM_INF), 0);
    EXPECT_EQ(cv::norm(kept->picture.grey, first->picture.grey, cv::NORM_INF), 0);
    EXPECT_EQ(kept->picture.toShrunk(landmarks[4]), first->picture.toShrunk(landmarks[4]));
    EXPECT_LT(fs::file_size(path), 2 * 100'000u); // two entries of about 70 kB
}

TEST_F(KeypointFile, FindsThemAgainWhenTheFileCannotBeTrusted) {
    {
        KeypointCache cache(path, {});
        keypointsOf(cache);
        cache.save();
    }
    const std::string whole = test::readFile(path);
    struct Case {
        const char* name;
        std::string bytes;
        KeypointSettings settings;
    };
    std::string flipped = whole;
    flipped[whole.size() / 2] = static_cast<char>(flipped[whole.size() / 2] ^ 0x10);
    const Case cases[] = {
        {"one byte changed", flipped, {}},
        {"cut short", whole.substr(0, whole.size() - 100), {}},
        {"made with other settings", whole, {150, 2000, 0.01, 10}},
        {"no file of ours", "LM=18\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        readings = 0;
        KeypointCache cache(path, c.settings);
        EXPECT_TRUE(keypointsOf(cache));
        EXPECT_EQ(readings, 1);
    }
    KeypointCache cache(path, {});
    EXPECT_FALSE(cache.keypoints("8", 1, landmarks, [] { return std::optional<PicturePyramid>(); }));
}

// A collection as the window leaves it: its keypoints found once from the pictures, then read
// from the file beside it when the pictures are gone, and a wing found and placed with them.
TEST_F(KeypointFile, PlacesWingsFromACollectionWhosePicturesAreGone) {
    const auto real = test::realWings(test::testData("wings"));
    const std::string tps =
        test::writeCollection(folder, std::vector<test::RealWing>(real.begin() + 1, real.begin() + 7));
    EXPECT_TRUE(WingCollection::load(tps).canFind());
    EXPECT_TRUE(fs::exists(keypointFilePath(tps)));
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".png") fs::remove(entry.path());
    const WingCollection collection = WingCollection::load(tps);
    ASSERT_TRUE(collection.canFind()) << "from the files beside the collection alone";
    const auto proposals = collection.propose(PreparedPicture(real.front().picture), WingLandmarks{});
    ASSERT_EQ(proposals.size(), 18u);
    std::vector<double> errors = test::errorsOf(proposals, real.front());
    EXPECT_LE(errors[errors.size() / 2], 1.5);
    EXPECT_LE(errors.back(), 10);
}

} // namespace
} // namespace kanat
