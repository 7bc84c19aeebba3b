#include "results/coordinate_file.h"
#include "results/file_names.h"
#include "results/input_error.h"
#include "results/tps_reader.h"
#include "results/whole_file.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

namespace kanat {
namespace {

TEST(CoordinateFile, TakesEachLineVerbatimAsTheTwoFieldTexts) {
    const LandmarkSheet sheet = readCoordinateFile("10;238\r\n123,5;7\n\n;\n12,5;  42abc\n", "w.txt");
    EXPECT_EQ(sheet.x(1), "10");
    EXPECT_EQ(sheet.y(1), "238");
    EXPECT_EQ(sheet.x(2), "123,5");
    EXPECT_EQ(sheet.x(3), "");
    EXPECT_EQ(sheet.y(4), "");
    EXPECT_EQ(sheet.y(5), "  42abc");
    EXPECT_EQ(sheet.x(18), "");
}

TEST(CoordinateFile, RefusesLinesThatAreNotCoordinatesAndANineteenthPoint) {
    EXPECT_THROW(readCoordinateFile("10;20\nhello\n", "w.txt"), InputError);
    std::string nineteen;
    for (int i = 0; i < 19; ++i) nineteen += "1;2\n";
    try {
        readCoordinateFile(nineteen, "w.txt");
        FAIL() << "a 19th point was taken";
    } catch (const InputError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("w.txt:19: ", 0), 0u) << error.what();
    }
}

// The same words for a wrong line whether the calculator or --complete reads the file.
TEST(CoordinateFile, TellsAWrongLineInTheSameWordsWhoeverReadsIt) {
    EXPECT_FALSE(coordinateLine(" \t", 19, "w.txt"));
    EXPECT_EQ(coordinateLine("1,5;-1", 3, "w.txt"), (std::pair<std::string, std::string>{"1,5", "-1"}));
    for (const auto& [line, number, message] : {std::tuple{"10 20", 2, "w.txt:2: satır \"x;y\" biçiminde değil"},
                                                std::tuple{"10;20", 19, "w.txt:19: 18'den fazla nokta satırı var"}}) {
        try {
            coordinateLine(line, number, "w.txt");
            FAIL() << line;
        } catch (const InputError& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
}

struct TpsFileCase {
    const char* file;
    std::size_t specimens;
    std::size_t landmarks;
    std::size_t missing; // written NaN: centred or aligned negatives are values
};

TEST(TpsReader, ReadsTheFilesOfRealWriters) {
    const TpsFileCase cases[] = {
        {"Wing-Geometric-Morphometrics__bee_wings.TPS", 445, 9, 0},
        {"Modan2__digitized_aligned.tps", 214, 73, 0},
        {"ktch__data_landmark_trilobite_cephala.tps", 300, 16, 34},
        {"borealis__output.tps", 2, 3, 0},
        {"Momocs__outlines.tps", 2, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string content = test::readFile(test::testData(std::string("tps/") + c.file));
        ASSERT_TRUE(looksLikeTps(content));
        const auto specimens = readTps(content, c.file);
        ASSERT_EQ(specimens.size(), c.specimens);
        std::size_t missing = 0;
        for (const auto& specimen : specimens) {
            EXPECT_EQ(specimen.landmarks.size(), c.landmarks);
            missing += specimen.missing.size();
        }
        EXPECT_EQ(missing, c.missing);
    }
}

TEST(TpsReader, KeepsCoordinateTextsAndKeywordValuesAsWritten) {
    const auto bees = readTps(test::readFile(test::testData("tps/Wing-Geometric-Morphometrics__bee_wings.TPS")), "b");
    ASSERT_FALSE(bees.empty());
    EXPECT_EQ(bees[0].landmarks[0], (std::pair<std::string, std::string>{"5184.00000", "363.00000"}));
    EXPECT_EQ(bees[0].image, "UCSB_IZC00008208_L.JPG");
    EXPECT_EQ(bees[0].id, "0");

    const auto aligned = readTps(test::readFile(test::testData("tps/Modan2__digitized_aligned.tps")), "a");
    ASSERT_FALSE(aligned.empty());
    EXPECT_NE(aligned[0].landmarks[0].first.find("E-00"), std::string::npos);

    const auto trilobites =
        readTps(test::readFile(test::testData("tps/ktch__data_landmark_trilobite_cephala.tps")), "t");
    ASSERT_FALSE(trilobites.empty());
    ASSERT_TRUE(trilobites[0].scale);
    EXPECT_DOUBLE_EQ(*trilobites[0].scale, 0.0014);
    EXPECT_EQ(trilobites[0].id, "1020_Liu_1977");

    const auto olives = readTps(test::readFile(test::testData("tps/Momocs__outlines.tps")), "o");
    ASSERT_FALSE(olives.empty());
    EXPECT_FALSE(olives[0].image.empty());
}

TEST(TpsReader, HandlesCaseOrderCommentsAndBlankLines) {
    const std::string content =
        "# header\n\nlm=2\tname\n# inside\n-1.5 2\n\n-3\t4E+1\nscale=0.5\r\nImage=w.png\nid=7\nLM=1\n9 9\n";
    const auto specimens = readTps(content, "x.tps");
    ASSERT_EQ(specimens.size(), 2u);
    EXPECT_EQ(specimens[0].landmarks[1], (std::pair<std::string, std::string>{"-3", "4E+1"}));
    EXPECT_EQ(specimens[0].image, "w.png");
    EXPECT_DOUBLE_EQ(specimens[0].scale.value_or(0), 0.5);
    EXPECT_EQ(specimens[1].line, 11);
}

TEST(TpsReader, ReportsBadInputWithFileAndLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"LM=3\n1 2\n3 4\nID=1\n", "x.tps:1: "}, // fewer lines than LM says
        {"LM=18\nID=1\n", "x.tps:1: "},          // no line and no picture: a file cut short
        {"LM=18\n", "x.tps:1: "},
        {"LM=5000\nIMAGE=w.png\n", "x.tps:1: "}, // no wing has that many
        {"LM=1\n1 2\n3 4\n", "x.tps:3: "},       // more lines than LM says
        {"LM=1\n1 2 3\n", "x.tps:2: "},          // 3-D data
        {"LM=1\n1 abc\n", "x.tps:2: "},          // not a number
        {"LM=1\n1,5 2\n", "x.tps:2: "},          // decimal comma is not TPS
        {"LM=x\n", "x.tps:1: "},                 // count not a number
        {"LM=1\n1 2\nSCALE=big\n", "x.tps:3: "},
        {"LM=1\n1 2\nCURVES=1\nPOINTS=3\n1 1\n", "x.tps:"},
    };
    for (const auto& [content, prefix] : cases) {
        SCOPED_TRACE(content);
        try {
            readTps(content, "x.tps");
            FAIL() << "accepted";
        } catch (const InputError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u) << error.what();
        }
    }
    EXPECT_THROW(readTps(test::readFile(test::testData("tps/Modan2__Phacops_flat_20230619.tps")), "p"), InputError);
}

TEST(TpsReader, TellsTpsFromACoordinateFile) {
    EXPECT_TRUE(looksLikeTps("\n# c\n  Lm=18\n"));
    EXPECT_FALSE(looksLikeTps("10;20\n"));
    EXPECT_FALSE(looksLikeTps(""));
}

// -1 -1, NaN and, in picture coordinates, a point with both coordinates negative mark a landmark
// not there; one negative coordinate is a value, and centred data keeps all its values.
TEST(TpsReader, TakesMinusOneNanAndNegativeCoordinatesAsLandmarksNotThere) {
    const auto specimens = readTps("LM=4\n1 2\n-1 -1\nNaN nan\n-1.00000 -1.00000\nID=1\n", "m.tps");
    ASSERT_EQ(specimens.size(), 1u);
    EXPECT_EQ(specimens[0].missing, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(specimens[0].landmarks[1].first, "");
    EXPECT_EQ(specimens[0].landmarks[0].first, "1");
    EXPECT_EQ(readTps("LM=1\n-1 -2\n", "m.tps")[0].missing, std::vector<int>{});
    EXPECT_EQ(readTps("LM=7\n10 20\n-99 -99\n40 -0.5\n-5 -30\n9 9\n1 1\n2 2\n", "m.tps")[0].missing,
              (std::vector<int>{2, 4}));
    const auto centred = readTps("LM=3\n-0.1 0.2\n0.3 -0.2\n-1 -1\n", "m.tps")[0];
    EXPECT_EQ(centred.missing, std::vector<int>{3});
    EXPECT_EQ(centred.landmarks[1], (std::pair<std::string, std::string>{"0.3", "-0.2"}));
}

// A picture listed to have its landmarks placed later: LM= and IMAGE= with no coordinate line.
TEST(TpsReader, TakesASpecimenWithAPictureAndNoCoordinateLineAsNothingPlaced) {
    const auto specimens = readTps("LM=3\r\nIMAGE=w.png\r\nCOMMENT=sol kanat\r\nID=4\r\nLM=1\r\n5 6\r\n", "u.tps");
    ASSERT_EQ(specimens.size(), 2u);
    EXPECT_EQ(specimens[0].landmarks, (std::vector<std::pair<std::string, std::string>>(3)));
    EXPECT_EQ(specimens[0].missing, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(specimens[0].image, "w.png");
    EXPECT_EQ(specimens[0].comment, "sol kanat");
    EXPECT_EQ(specimens[0].id, "4");
    EXPECT_EQ(specimens[1].landmarks[0].first, "5");
}

// The window reads its collection as it stands; the calculator drops a byte-order mark. IMAGE=
// from another computer is looked for beside the landmark file.
TEST(LandmarkFile, IsReadWholeAndFindsItsPictureBesideIt) {
    const std::string folder = test::makeTemporaryFolder();
    const std::string tps = folder + "/w.tps", picture = folder + "/kanat.png";
    std::ofstream(tps, std::ios::binary) << "\xEF\xBB\xBF"
                                            "LM=1\n1 2\n";
    std::ofstream(picture, std::ios::binary) << "";
    EXPECT_EQ(readWholeFile(tps), "LM=1\n1 2\n");
    EXPECT_EQ(fileBytes(tps).value_or(""), "\xEF\xBB\xBF"
                                           "LM=1\n1 2\n");
    EXPECT_FALSE(fileBytes(folder + "/none.tps"));
    EXPECT_THROW(readWholeFile(folder + "/none.tps"), InputError);
    EXPECT_THROW(readWholeFile(folder), InputError);
    for (const std::string& image :
         std::vector<std::string>{"kanat.png", picture, "/elsewhere/kanat.png", "C:\\resimler\\kanat.png"})
        EXPECT_EQ(pictureBeside(tps, image), picture) << image;
    EXPECT_EQ(pictureBeside(tps, ""), "");
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace kanat
