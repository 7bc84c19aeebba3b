#include "tests/picture_corpus.h"
#include "tests/test_support.h"
#include "tests/wmf_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

namespace kanat {
namespace {

using namespace test;

std::vector<std::string> colourLines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream text(out);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    if (lines.size() < 18) return {};
    return {lines.end() - 18, lines.end()};
}

class BatchPicture : public ::testing::Test {
protected:
    void SetUp() override {
        folder = makeTemporaryFolder();
        std::string coordinates;
        for (int n = 1; n <= 18; ++n)
            coordinates += std::to_string(20 + 9 * n) + ";" + std::to_string(20 + (n * 37) % 110) + "\n";
        writeFile(folder + "/wing.txt", QByteArray::fromStdString(coordinates));
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::vector<std::string> coloursOf(const std::string& name, const QByteArray& picture) {
        writeFile(folder + "/" + name, picture);
        const ProcessResult result = runBatchTool({"--image", folder + "/" + name, folder + "/wing.txt"});
        EXPECT_EQ(result.status, 0) << result.err;
        return colourLines(result.out);
    }
    std::string folder;
};

TEST_F(BatchPicture, AWmfAndAPngOfTheSamePictureGiveTheSameColours) {
    const QImage wing = colourBlocks({200, 150}, 10);
    const QRect twips(0, 0, 200 * 15, 150 * 15);
    const std::string wmf = WmfWriter(twips, 1440).window(twips).stretchDib(twips, wing).bytes();

    const auto fromPng = coloursOf("wing.png", encoded(wing, "png"));
    const auto fromWmf = coloursOf("wing.wmf", QByteArray::fromStdString(wmf));
    ASSERT_EQ(fromPng.size(), 18u);
    EXPECT_EQ(fromWmf, fromPng);
    EXPECT_GT(std::set<std::string>(fromPng.begin(), fromPng.end()).size(), 6u);
    EXPECT_EQ(std::count(fromPng.begin(), fromPng.end(), "-1"), 0) << "every landmark on the picture";

    const auto fromOther = coloursOf("other.png", encoded(wing.mirrored(true, false), "png"));
    EXPECT_NE(fromOther, fromPng) << "the colour lines follow the picture";
}

} // namespace
} // namespace kanat
