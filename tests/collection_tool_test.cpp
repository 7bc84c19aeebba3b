#include "collection/wing_collection.h"
#include "picture/picture_loader.h"
#include "results/tps_reader.h"
#include "tests/real_wings.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
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

// What the collection proposes for the picture with no landmark placed, read as the tool reads it.
std::vector<LandmarkProposal> proposalsFor(const WingCollection& collection, const std::string& picture) {
    return collection.propose(PreparedPicture(loadPicture(QString::fromStdString(picture)).image), WingLandmarks{});
}

// The comment a specimen is printed with: its own, then the landmarks the placer says to check.
std::string commentFor(const std::vector<LandmarkProposal>& proposals, const std::string& own) {
    std::string named;
    for (const LandmarkProposal& proposal : proposals)
        if (proposal.toCheck) named += " " + std::to_string(proposal.landmark);
    if (named.empty()) return own;
    return (own.empty() ? "" : own + "; ") + "denetlenecek noktalar:" + named;
}

// A specimen printed with every landmark placed: the placer's 18 proposals, a few pixels from the
// expert's landmarks, and the ones to check named in its comment.
void expectPlaced(const TpsSpecimen& printed, const std::vector<LandmarkProposal>& proposals,
                  const test::RealWing& wing, const std::string& ownComment) {
    ASSERT_EQ(printed.landmarks.size(), 18u);
    ASSERT_EQ(proposals.size(), 18u);
    int within3 = 0;
    for (std::size_t i = 0; i < 18; ++i) {
        SCOPED_TRACE("landmark " + std::to_string(i + 1));
        ASSERT_EQ(proposals[i].landmark, static_cast<int>(i) + 1);
        const double x = std::stod(printed.landmarks[i].first), y = std::stod(printed.landmarks[i].second);
        EXPECT_NEAR(x, proposals[i].position.x, 1e-5);
        EXPECT_NEAR(y, proposals[i].position.y, 1e-5);
        const double error = std::hypot(x - wing.landmarks[i].x, y - wing.landmarks[i].y);
        EXPECT_LE(error, 8);
        within3 += error <= 3;
    }
    EXPECT_GE(within3, 15);
    EXPECT_EQ(printed.comment, commentFor(proposals, ownComment));
}

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
    ASSERT_GE(out.size(), 22u);
    EXPECT_EQ(out[0], "LM=18");
    EXPECT_EQ(out[1], "218.00000 176.00000");
    EXPECT_EQ(out[19], "IMAGE=" + all[0].fileName);
    EXPECT_EQ(out[20], "ID=7");
    EXPECT_EQ(out[21], "SCALE=0.0105");
    if (out.size() > 22) {
        ASSERT_EQ(out.size(), 23u);
        EXPECT_TRUE(std::regex_match(out[22], std::regex("COMMENT=denetlenecek noktalar:( ([2-9]|1[0-7]))+")))
            << out[22]; // only the proposed ones
    }
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
    ASSERT_GE(out.size(), 21u);
    EXPECT_EQ(out[19], "IMAGE=" + all[0].fileName);
    EXPECT_EQ(out[20], "ID=1");
    ASSERT_LE(out.size(), 22u); // no SCALE= without --mm-per-pixel
    if (out.size() > 21) {
        EXPECT_EQ(out[21].rfind("COMMENT=denetlenecek noktalar: ", 0), 0u);
    }
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

std::vector<std::string> joined(std::vector<std::string> first, const std::vector<std::string>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

TEST_F(CollectionTool, AutoPlacesTheWingOfEachPictureInTheOrderNamed) {
    const std::string collection = test::writeCollection(folder, {all[5], all[6], all[7], all[8], all[9]});
    const std::string collectionBefore = test::readFile(collection);
    const std::string unreadable = write("bozuk.png", "not a picture");
    QImage grey(900, 320, QImage::Format_RGB32);
    grey.fill(QColor(200, 200, 200));
    const std::string noWing = folder + "/bos.png";
    ASSERT_TRUE(grey.save(QString::fromStdString(noWing)));
    const auto result = test::runBatchTool(
        joined({"--auto", "--collection", collection},
               {all[3].path, unreadable, all[0].path, all[1].path, noWing, all[4].path, all[2].path}));
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(unreadable + ": resim okunamadı"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(noWing + ": kanat resimde bulunamadı"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\r'), std::string::npos) << "no progress line when standard error is a file";
    EXPECT_EQ(test::readFile(collection), collectionBefore) << "--auto leaves the collection to the lab";
    const std::regex fiveDecimals("-?[0-9]+\\.[0-9]{5} -?[0-9]+\\.[0-9]{5}");
    for (const std::string& line : lines(result.out))
        if (line.find('=') == std::string::npos) {
            EXPECT_TRUE(std::regex_match(line, fiveDecimals)) << line;
        }

    const auto printed = readTps(result.out, "out");
    const WingCollection loaded = WingCollection::load(collection);
    const std::pair<int, const test::RealWing*> placed[] = {
        {1, &all[3]}, {3, &all[0]}, {4, &all[1]}, {6, &all[4]}, {7, &all[2]}};
    ASSERT_EQ(printed.size(), std::size(placed));
    int toCheck = 0;
    for (std::size_t k = 0; k < printed.size(); ++k) {
        const auto& [position, wing] = placed[k];
        SCOPED_TRACE(wing->fileName);
        EXPECT_EQ(printed[k].image, wing->path);
        EXPECT_EQ(printed[k].id, std::to_string(position));
        EXPECT_EQ(printed[k].scale.value_or(0), 0.010526316);
        const auto proposals = proposalsFor(loaded, wing->path);
        expectPlaced(printed[k], proposals, *wing, "");
        toCheck += static_cast<int>(
            std::count_if(proposals.begin(), proposals.end(), [](const auto& p) { return p.toCheck; }));
    }
    EXPECT_NE(result.err.find("7 resim işlendi, 5 kanat yerleştirildi, 2 resim atlandı; denetlenecek " +
                              std::to_string(toCheck) + " nokta"),
              std::string::npos)
        << result.err;
}

// The records of the wings placed are those kanat-hesapla --record appends for the TPS printed,
// colours and all.
TEST_F(CollectionTool, AutoRecordsWhatRecordAppendsForTheTpsItPrinted) {
    const std::string collection = test::writeCollection(folder, {all[5], all[6], all[7], all[8], all[9]});
    const std::string unreadable = write("bozuk.png", "not a picture");
    struct Case {
        const char* name;
        std::vector<std::string> options;
        const char* scale;
    };
    const Case cases[] = {
        {"as the window saves", {}, "SCALE=0.010526316"},
        {"x0,5 with decimal commas", {"--mm-per-pixel", "0,021052632", "--decimal", ","}, "SCALE=0.021052632"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string automatic = folder + "/auto " + c.name + ".txt", again = folder + "/" + c.name + ".txt";
        const auto placed =
            test::runBatchTool(joined(joined({"--auto", "--collection", collection, "--record", automatic}, c.options),
                                      {all[0].path, unreadable, all[1].path}));
        EXPECT_EQ(placed.status, 2) << placed.err;
        EXPECT_NE(placed.out.find(std::string("\n") + c.scale + "\n"), std::string::npos) << placed.out;
        const auto measured =
            test::runBatchTool(joined(joined({"--record", again}, c.options), {write("auto.tps", placed.out)}));
        ASSERT_EQ(measured.status, 0) << measured.err;
        EXPECT_EQ(measured.err, ""); // the pictures were found: the colours are real
        const auto records = test::readLines(automatic);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].rfind(all[0].fileName + "\t", 0), 0u);
        EXPECT_EQ(records[1].rfind(all[1].fileName + "\t", 0), 0u);
        EXPECT_EQ(test::readFile(automatic), test::readFile(again));
    }
}

TEST_F(CollectionTool, CompletesASpecimenWithNoLandmarkPlaced) {
    const std::string collection = test::writeCollection(folder, {all[5], all[6], all[7], all[8], all[9]});
    fs::create_directory(folder + "/new");
    fs::copy_file(all[0].path, folder + "/new/" + all[0].fileName);
    std::string everyUnplaced = "LM=18\r\n";
    for (int n = 1; n <= 18; ++n) everyUnplaced += "-1 -1\r\n";
    everyUnplaced += "IMAGE=" + all[0].fileName + "\r\nID=7\r\n";
    struct Case {
        const char* name;
        std::string specimen;
        const char* ownComment;
    };
    const Case cases[] = {
        {"every landmark -1 -1", everyUnplaced, ""},
        {"no coordinate line", "LM=18\r\nIMAGE=" + all[0].fileName + "\r\nID=7\r\nCOMMENT=sol kanat\r\n", "sol kanat"},
    };
    const WingCollection loaded = WingCollection::load(collection);
    const auto proposals = proposalsFor(loaded, all[0].path);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result =
            test::runBatchTool({"--complete", "--collection", collection, write("new/wing.tps", c.specimen)});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        const auto printed = readTps(result.out, "out");
        ASSERT_EQ(printed.size(), 1u);
        EXPECT_EQ(printed[0].image, all[0].fileName);
        EXPECT_EQ(printed[0].id, "7");
        expectPlaced(printed[0], proposals, all[0], c.ownComment);
    }
}

TEST_F(CollectionTool, RefusesToPlaceAWingWithoutWhatItNeeds) {
    fs::create_directory(folder + "/five");
    fs::create_directory(folder + "/four");
    const std::string five = test::writeCollection(folder + "/five", {all[5], all[6], all[7], all[8], all[9]});
    const std::string four = test::writeCollection(folder + "/four", {all[5], all[6], all[7], all[8]});
    fs::copy_file(all[0].path, folder + "/" + all[0].fileName);
    const std::string unplaced = write("unplaced.tps", "LM=18\nIMAGE=" + all[0].fileName + "\nID=1\n");
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {"no picture", {"--auto", "--collection", five}, "en az bir kanat resmi"},
        {"no collection", {"--auto", all[0].path}, "--auto için --collection"},
        {"four wings", {"--auto", "--collection", four, all[0].path}, "en az 5 kanat gerekir, 4 var"},
        {"no such collection", {"--auto", "--collection", folder + "/yok.tps", all[0].path}, "0 var"},
        {"--image", {"--auto", "--collection", five, "--image", all[0].path, all[0].path}, "--image"},
        {"--auto with --complete", {"--auto", "--complete", "--collection", five, unplaced}, "yalnızca biri"},
        {"--complete of a wing with none placed from four wings",
         {"--complete", "--collection", four, unplaced},
         "hiç noktası yerleşmemiş bir kanadın bulunması için koleksiyonda resmi bilinen en az 5 kanat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = test::runBatchTool(c.arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
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
