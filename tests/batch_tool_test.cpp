#include "results/code_page_1254.h"
#include "tests/test_support.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kanat {
namespace {

class BatchTool : public ::testing::Test {
protected:
    void SetUp() override { folder = test::makeTemporaryFolder(); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string write(const std::string& name, const std::string& content) {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::size_t start = 0;
        for (std::size_t pos; (pos = text.find('\n', start)) != std::string::npos; start = pos + 1)
            result.push_back(text.substr(start, pos - start));
        return result;
    }
    std::string folder;
};

TEST_F(BatchTool, PrintsTheGoldenLinesForACoordinateFile) {
    struct Case {
        const char* name;
        const char* mmPerPixel;
        const char* decimal;
    };
    const Case cases[] = {{"wing-x05-point", "0.021052632", "."},
                          {"wing-x4-comma", "0.005263158", ","},
                          {"degenerate-point", "0.010526316", "."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string base = test::testData(std::string("golden/") + c.name);
        const auto result = test::runBatchTool({"--mm-per-pixel", c.mmPerPixel, "--decimal", c.decimal, base + ".txt"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(lines(result.out), test::readLines(base + ".expected"));
    }
}

#ifdef _WIN32
// Windows keeps the set-ups in the user's local application data, which no variable moves: the
// test puts its file there and gives back what was there before.
class SavedSetups {
public:
    SavedSetups(const std::string&, const std::string& text) {
        const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
        if (!local) throw std::runtime_error("no LOCALAPPDATA");
        file_ = std::filesystem::path(local) / L"kanat" / L"olcekler.txt";
        std::filesystem::create_directories(file_.parent_path());
        std::error_code none;
        if (std::filesystem::exists(file_, none)) std::filesystem::rename(file_, kept());
        std::ofstream(file_, std::ios::binary) << text;
    }
    ~SavedSetups() {
        std::error_code ignored;
        std::filesystem::remove(file_, ignored);
        if (std::filesystem::exists(kept(), ignored)) std::filesystem::rename(kept(), file_, ignored);
    }

private:
    std::filesystem::path kept() const { return file_.string() + ".kept-by-test"; }
    std::filesystem::path file_;
};
#else
class SavedSetups {
public:
    SavedSetups(const std::string& folder, const std::string& text) {
        std::filesystem::create_directories(folder + "/config/kanat");
        std::ofstream(folder + "/config/kanat/olcekler.txt", std::ios::binary) << text;
        setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    }
    ~SavedSetups() { unsetenv("XDG_CONFIG_HOME"); }
};
#endif

TEST_F(BatchTool, MeasuresWithAScaleSetUpSavedInTheWindowByItsName) {
    const std::string wing = test::testData("golden/wing-x05-point.txt");
    test::ProcessResult named, typed, unknown;
    {
        const SavedSetups saved(folder, "etkin\tStereo 300\n300\tStereo 300\n");
        named = test::runBatchTool({"--pixels-per-mm", "Stereo 300", wing});
        typed = test::runBatchTool({"--mm-per-pixel", "0.003333333", wing});
        unknown = test::runBatchTool({"--pixels-per-mm", "Stereo 400", wing});
    }
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out, typed.out);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("\"Stereo 400\" adında bir ölçek kurulumu yok"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("Stereo 300"), std::string::npos) << "the saved ones are named";
}

TEST_F(BatchTool, ComputesEachSpecimenOfATpsFileWithItsOwnScale) {
    std::string tps;
    for (int specimen = 0; specimen < 3; ++specimen) {
        tps += "LM=18\n";
        for (int n = 1; n <= 18; ++n)
            tps += std::to_string(10 * n + specimen) + " " + std::to_string(n * n % 37 * 9) + "\n";
        tps += "ID=" + std::to_string(specimen) + "\n";
        if (specimen == 1) tps += "SCALE=0.021052632\n";
    }
    const auto result = test::runBatchTool({"--record", folder + "/12.txt", write("w.tps", tps)});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 3u * 117);
    EXPECT_EQ(out[117].rfind("Açı(1-2-5);", 0), 0u);
    // Specimen 1 (SCALE twice the default) has lengths twice those of a default run of it alone.
    const auto records = test::readLines(folder + "/12.txt");
    ASSERT_EQ(records.size(), 3u);
    for (const auto& record : records) EXPECT_EQ(std::count(record.begin(), record.end(), '\t'), 117);
    EXPECT_EQ(result.err, "");
}

TEST_F(BatchTool, WarnsAboutSpecimensWithoutEighteenLandmarks) {
    const auto result = test::runBatchTool({write(
        "w.tps", "LM=2\n1 2\n3 4\nID=short\nLM=19\n" + [] {
            std::string s;
            for (int i = 0; i < 19; ++i) s += "5 6\n";
            return s;
        }())});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(lines(result.out).size(), 2u * 117);
    EXPECT_NE(result.err.find("ID=short"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("w.tps:5"), std::string::npos) << result.err;
}

// A picture listed with no coordinate line has every landmark missing, as if each were -1 -1.
TEST_F(BatchTool, MeasuresASpecimenWithNoCoordinateLineAsOneWithNothingPlaced) {
    std::string everyUnplaced = "LM=18\n";
    for (int n = 1; n <= 18; ++n) everyUnplaced += "-1 -1\n";
    const std::string keywords = "IMAGE=kanat.png\nID=3\n";
    const auto listed = test::runBatchTool({write("listed.tps", "LM=18\n" + keywords)});
    const auto unplaced = test::runBatchTool({write("unplaced.tps", everyUnplaced + keywords)});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(lines(listed.out).size(), 117u);
    EXPECT_EQ(listed.out, unplaced.out);
    EXPECT_NE(listed.err.find("18. nokta kanatta yok"), std::string::npos) << listed.err;
}

// Landmarks 15 and 16 gone from the wing: -1 -1 in TPS, "yok;yok" in a coordinate file as the
// window saves it. Both give one record; what needs 15 or 16 is empty, the rest is the whole wing's.
TEST_F(BatchTool, MeasuresAWingWithLandmarksMissingTheSameFromEitherFile) {
    const auto whole = test::readLines(test::testData("golden/wing-x05-point.txt"));
    std::string coordinates, tps = "LM=18\n";
    for (std::size_t n = 1; n <= 18; ++n) {
        const bool gone = n == 15 || n == 16;
        coordinates += (gone ? std::string("yok;yok") : whole[n - 1]) + "\r\n";
        std::string point = whole[n - 1];
        point[point.find(';')] = ' ';
        tps += (gone ? std::string("-1 -1") : point) + "\n";
    }
    const auto fromTps = test::runBatchTool({"--record", folder + "/a.txt", write("w.tps", tps + "ID=w\n")});
    const auto fromText = test::runBatchTool({"--record", folder + "/b.txt", write("w.txt", coordinates)});
    const auto wholeWing = test::runBatchTool({test::testData("golden/wing-x05-point.txt")});
    ASSERT_EQ(fromTps.status, 0) << fromTps.err;
    ASSERT_EQ(fromText.status, 0) << fromText.err;
    EXPECT_NE(fromTps.err.find("15. nokta kanatta yok"), std::string::npos) << fromTps.err;
    EXPECT_EQ(fromTps.out, fromText.out);
    EXPECT_EQ(test::readFile(folder + "/a.txt"), test::readFile(folder + "/b.txt"));
    const auto damaged = lines(fromTps.out), complete = lines(wholeWing.out);
    ASSERT_EQ(damaged.size(), complete.size());
    EXPECT_EQ(damaged[0], complete[0]) << "Açı(1-2-5) needs neither";
    EXPECT_EQ(damaged[13], "Açı(14-15-10);");
    int empty = 0;
    for (std::size_t i = 0; i < damaged.size(); ++i)
        if (damaged[i] != complete[i]) {
            ++empty;
            EXPECT_EQ(damaged[i], complete[i].substr(0, complete[i].find(';') + 1));
        }
    EXPECT_GT(empty, 3);
}

TEST_F(BatchTool, AppendsACodePage1254RecordNamedAfterTheImage) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(128, 128, 128));
    const std::string image = folder + "/kanat1.png";
    ASSERT_TRUE(picture.save(QString::fromStdString(image)));
    const std::string record = folder + "/12.txt";
    const auto result =
        test::runBatchTool({"--image", image, "--record", record, test::testData("golden/wing-x05-point.txt")});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string bytes = test::readFile(record);
    EXPECT_EQ(bytes.rfind("kanat1.png\t", 0), 0u);
    EXPECT_NE(bytes.find("\t1.061\t"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(bytes.find("\xC3"), std::string::npos) << "no UTF-8 in the record";
}

TEST_F(BatchTool, ReadsColoursWithYCountedUpFromTheImagesBottom) {
    // A 40 x 30 picture, black but for one grey column band and one white row band.
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (int y = 0; y < 30; ++y)
        for (int x = 15; x <= 17; ++x) picture.setPixel(x, y, qRgb(128, 128, 128));
    const std::string image = folder + "/p.png";
    ASSERT_TRUE(picture.save(QString::fromStdString(image)));
    // Landmark 4 samples (x+5..7, row H−y): columns 15..17 are grey.
    // Landmark 2 samples (x, row (H−y)+3..5) from (0, 30−20) = rows 13..15, black.
    std::string coordinates = "50;50\n0;20\n50;50\n10;10\n";
    const auto result = test::runBatchTool({"--image", image, write("w.txt", coordinates)});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto out = lines(result.out);
    EXPECT_EQ(out[99], "-1");       // landmark 1 lies outside the picture
    EXPECT_EQ(out[100], "0");       // landmark 2: black
    EXPECT_EQ(out[102], "8421504"); // landmark 4: grey
}

TEST_F(BatchTool, AMissingImageOfATpsFileLeavesColoursAtMinusOne) {
    const auto result = test::runBatchTool({write("w.tps", "LM=1\n1 2\nIMAGE=absent.jpg\n")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("absent.jpg"), std::string::npos);
    EXPECT_EQ(lines(result.out)[116], "-1");
}

// 12.tps is written in code page 1254, while the file system names the picture in UTF-8.
TEST_F(BatchTool, FindsAPictureNamedInTurkishIn12Tps) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(qRgb(128, 128, 128));
    ASSERT_TRUE(picture.save(QString::fromStdString(folder + "/kanat-çığ.png")));
    const std::string tps = toCodePage1254("LM=1\r\n20 15\r\nIMAGE=kanat-çığ.png\r\n");
    const auto result = test::runBatchTool({"--record", folder + "/12.txt", write("12.tps", tps)});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("renkler -1"), std::string::npos) << result.err;
    EXPECT_EQ(lines(result.out)[99], "8421504");
    EXPECT_EQ(test::readFile(folder + "/12.txt").rfind(toCodePage1254("kanat-çığ.png\t"), 0), 0u);
}

TEST_F(BatchTool, BadInputIsNamedAndNothingIsRecorded) {
    const std::string record = folder + "/12.txt";
    struct Case {
        std::vector<std::string> arguments;
        std::string mentions;
    };
    const std::string unreadableImage = write("bad.png", "not a picture");
    const Case cases[] = {
        {{folder + "/none.txt"}, "none.txt"},
        {{folder}, folder},
        {{write("a.tps", "LM=2\n1 2\nID=1\n")}, "a.tps:1"},
        {{write("b.tps", "LM=1\n1 2\nLM=1\n1 x\n")}, "b.tps:4"},
        {{write("c.txt", "1;2\nnonsense\n")}, "c.txt:2"},
        {{"--image", unreadableImage, write("d.txt", "1;2\n")}, "bad.png"},
        {{"--decimal", "x", write("e.txt", "1;2\n")}, "--decimal"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mentions);
        auto arguments = c.arguments;
        arguments.insert(arguments.begin(), {"--record", record});
        const auto result = test::runBatchTool(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(c.mentions), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(record));
    }
}

TEST_F(BatchTool, HelpDescribesTheOptions) {
    const auto result = test::runBatchTool({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* option : {"--mm-per-pixel", "--decimal", "--image", "--record", "LM=", "SCALE=", "--complete",
                               "--auto", "--collection", "--check", "COMMENT=denetlenecek noktalar"})
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
}

} // namespace
} // namespace kanat

namespace kanat {
namespace {

TEST_F(BatchTool, AByteOrderMarkBeforeTheFirstLandmarkIsNotPartOfIt) {
    const std::string golden = test::readFile(test::testData("golden/wing-x05-point.txt"));
    const auto plain = test::runBatchTool({"--mm-per-pixel", "0.021052632", write("plain.txt", golden)});
    const auto marked =
        test::runBatchTool({"--mm-per-pixel", "0.021052632", write("marked.txt", "\xEF\xBB\xBF" + golden)});
    ASSERT_EQ(marked.status, 0) << marked.err;
    EXPECT_EQ(marked.out, plain.out);
    const auto tps = test::runBatchTool({write("marked.tps", "\xEF\xBB\xBFLM=1\n1 2\n")});
    EXPECT_EQ(tps.status, 0) << tps.err;
}

} // namespace
} // namespace kanat
