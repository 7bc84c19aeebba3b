#include "tests/window_fixture.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace kanat::test {
namespace {

using Saving = WindowTest;

QImage quarters() {
    // Four flat quarters whose colours the colour lines must show.
    QImage picture(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            picture.setPixel(x, y,
                             x < 200 ? (y < 150 ? qRgb(255, 0, 0) : qRgb(0, 0, 255))
                                     : (y < 150 ? qRgb(0, 255, 0) : qRgb(255, 255, 255)));
    return picture;
}

TEST_F(Saving, HesaplaListsEverythingAndSavesTheResultFileAndOneRecord) {
    openPicture(quarters(), "kanat1.png");
    click(controls().magnificationButtons[1]); // at its own size, so that every landmark lies on the picture
    pressWing();
    const QString out = QString::fromStdString(folder) + "/out.txt";
    dialogs.saveAnswers.push_back(out);
    click(controls().calculateButton);
    EXPECT_TRUE(controls().resultList->isVisible());
    const QStringList lines = listLines();
    ASSERT_EQ(lines.size(), 135);
    EXPECT_TRUE(lines[18].startsWith("Açı(1-2-5);"));
    EXPECT_EQ(dialogs.saveFilters, QStringList{"text files(*.TXT)|*.txt|"});
    EXPECT_EQ(dialogs.proposedNames, QStringList{"kanat1.png.txt"});

    const std::string bytes = readFile(out.toStdString());
    EXPECT_EQ(bytes.substr(bytes.size() - 5), "\t\r\n\r\n");
    EXPECT_NE(bytes.find("A\xE7\xFD(1-2-5);"), std::string::npos) << "code page 1254, one byte a letter";
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 136);

    const QStringList records = recordLines();
    ASSERT_EQ(records.size(), 1);
    const QStringList fields = fieldsOf(records[0]);
    ASSERT_EQ(fields.size(), 118);
    EXPECT_EQ(fields[0], "kanat1.png");
    EXPECT_EQ(fields[1], lines[18].section(';', 1));
    EXPECT_EQ(fields[117].size(), 7);
    EXPECT_EQ(fields[116], lines[133]);
}

TEST_F(Saving, ColoursAreReadFromThePictureWhereTheLandmarksAre) {
    openPicture(quarters());
    click(controls().magnificationButtons[1]); // the view shows the picture at its own size: 404 x 304 outer
    // Landmark 4 samples to the right of itself, landmark 2 below, landmark 18 above.
    const int xy[18][2] = {{50, 50}, {100, 200}, {0, 0}, {300, 100}};
    for (int n = 0; n < 4; ++n) press(xy[n][0], xy[n][1]);
    dialogs.saveAnswers.push_back({});
    calculateWithBlanks();
    const QStringList lines = listLines();
    EXPECT_EQ(lines[4 + 99], "255");       // landmark 1, up-left in the red quarter
    EXPECT_EQ(lines[4 + 100], "16711680"); // landmark 2, below in the blue quarter
    EXPECT_EQ(lines[4 + 102], "65280");    // landmark 4, right in the green quarter
    // Landmark 18 unplaced: (0, 0) is the left end of the base line, above the blue quarter's
    // bottom edge.
    EXPECT_EQ(lines[4 + 116], "16711680");
}

TEST_F(Saving, WithoutAPictureEveryColourIsMinusOne) {
    pressWing();
    click(controls().calculateButton);
    const QStringList lines = listLines();
    for (int i = 18 + 99; i < 135; ++i) EXPECT_EQ(lines[i], "-1");
}

TEST_F(Saving, ASecondSaveWritesTheAccumulatedTextAndASecondRecord) {
    pressWing();
    const QString out = QString::fromStdString(folder) + "/out.txt";
    dialogs.saveAnswers = {out, out};
    click(controls().calculateButton);
    controls().saveAction->trigger();
    const std::string bytes = readFile(out.toStdString());
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 271);
    const QStringList records = recordLines();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0], records[1]);
}

TEST_F(Saving, CancellingTheSaveDialogStillAppendsTheRecord) {
    pressWing();
    click(controls().calculateButton);
    EXPECT_EQ(recordLines().size(), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "only 12.txt and 12.tps";
}

TEST_F(Saving, LandmarksNeverPlacedAreNamedBeforeAnythingIsMeasuredOrSaved) {
    // A blank field is measured as 0: such a wing reaches the records only when the user says so.
    const struct {
        int placed;
        const char* named;
    } cases[] = {{16, "17, 18 numaralı noktalar konmadı"},
                 {17, "18 numaralı nokta konmadı"},
                 {2, "3–18 numaralı noktalar konmadı"},
                 {0, "1–18 numaralı noktalar konmadı"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placed);
        click(controls().refreshButton);
        for (int n = 0; n < c.placed; ++n) press(10 + 20 * n, 30 + 7 * (n % 5));
        const QStringList listed = listLines();
        const qsizetype asked = dialogs.asked.size();
        dialogs.askAnswers = {false}; // "Vazgeç"
        click(controls().calculateButton);
        ASSERT_EQ(dialogs.asked.size(), asked + 1);
        EXPECT_TRUE(dialogs.asked.last().startsWith(QString::fromUtf8(c.named)) &&
                    dialogs.asked.last().endsWith("[Hesapla/Vazgeç]"))
            << dialogs.asked.last().toStdString();
        EXPECT_EQ(listLines(), listed) << "nothing measured";
        EXPECT_EQ(field("Text43")->text(), QString::number(c.placed));
        EXPECT_FALSE(std::filesystem::exists(folder + "/12.txt"));
        EXPECT_FALSE(std::filesystem::exists(folder + "/12.tps"));
    }
    // A field typed without a number is read as 0 just the same.
    pressWing();
    controls().coordinateFields[8]->setText("l38"); // a letter l for a one
    dialogs.askAnswers = {false};
    click(controls().calculateButton);
    EXPECT_TRUE(dialogs.asked.last().startsWith("5 numaralı nokta konmadı")) << dialogs.asked.last().toStdString();
    // Marked missing is not forgotten: no question, and the record is written.
    click(controls().refreshButton);
    for (int n = 0; n < 16; ++n) press(10 + 20 * n, 30 + 7 * (n % 5));
    QTest::keyClick(&form(), Qt::Key_M);
    QTest::keyClick(&form(), Qt::Key_M);
    const qsizetype asked = dialogs.asked.size();
    click(controls().calculateButton);
    EXPECT_EQ(dialogs.asked.size(), asked);
    EXPECT_EQ(recordLines().size(), 1);
}

TEST_F(Saving, AFreshWindowSavesAnEmptyRecord) {
    const QString out = QString::fromStdString(folder) + "/empty.txt";
    dialogs.saveAnswers.push_back(out);
    controls().saveAction->trigger();
    EXPECT_EQ(dialogs.proposedNames, QStringList{".txt"});
    EXPECT_EQ(readFile(out.toStdString()), "\r\n");
    EXPECT_EQ(recordLines(), QStringList{QString(117, '\t') + "       "});
}

TEST_F(Saving, TheRecordSurvivesResetle) {
    openPicture(quarters(), "kanat7.png");
    click(controls().magnificationButtons[1]);
    pressWing();
    click(controls().calculateButton);
    click(controls().resetButton);
    QApplication::processEvents();
    controls().saveAction->trigger();
    const QStringList records = recordLines();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(fieldsOf(records[1]).mid(1), fieldsOf(records[0]).mid(1));
    EXPECT_EQ(fieldsOf(records[1])[0], "kanat7.png") << "named after the picture its values were measured on";
}

TEST_F(Saving, ATurkishLocaleWritesDecimalCommas) {
    makeWindow(',');
    EXPECT_EQ(form().mmPerPixel(), "0,021052632");
    const char* typed[6] = {"0", "30", "0", "0", "", ""};
    for (int n = 1; n <= 4; ++n) controls().coordinateFields[static_cast<std::size_t>(n - 1)]->setText(typed[n - 1]);
    controls().coordinateFields[8]->setText("40");
    controls().coordinateFields[9]->setText("0");
    calculateWithBlanks();
    EXPECT_EQ(listLines()[0], "Açı(1-2-5);90,046");
    EXPECT_TRUE(fieldsOf(recordLines().last())[1] == "90,046");
}

TEST_F(Saving, CancellingTheOpenDialogChangesNothing) {
    const QString path = openPicture(quarters(), "first.png");
    press(10, 10);
    controls().openAction->trigger(); // no answer queued: cancelled
    EXPECT_EQ(form().windowTitle(), QDir::toNativeSeparators(path));
    EXPECT_FALSE(controls().wingView->picture().isNull());
    EXPECT_EQ(controls().wingView->markCount(), 1u);
    controls().saveAction->trigger();
    EXPECT_EQ(fieldsOf(recordLines().last())[0], "first.png");
}

TEST_F(Saving, AFileThatCannotBeLoadedIsNamedAndChangesNothing) {
    const QString path = openPicture(quarters(), "first.png");
    press(10, 10);
    const std::string bad = folder + "/notes.jpg";
    std::ofstream(bad) << "not a picture";
    dialogs.openAnswers.push_back(QString::fromStdString(bad));
    dialogs.askAnswers = {true}; // leave the landmark placed since "Hesapla"
    controls().openAction->trigger();
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings.front().contains("notes.jpg"));
    EXPECT_EQ(form().windowTitle(), QDir::toNativeSeparators(path));
    EXPECT_EQ(controls().wingView->markCount(), 1u);
    controls().saveAction->trigger();
    EXPECT_EQ(fieldsOf(recordLines().last())[0], "first.png");
}

TEST_F(Saving, OpeningASecondImageKeepsTheScaleInForce) {
    openPicture(quarters());
    click(controls().magnificationButtons[2]);
    openPicture(quarters(), "second.png");
    EXPECT_EQ(form().viewScale(), "2");
    EXPECT_EQ(controls().wingView->size(), QSize(808, 608));
}

TEST_F(Saving, AResultFileThatCannotBeWrittenIsReportedAndTheRecordStillGoes) {
    pressWing();
    dialogs.saveAnswers.push_back(QString::fromStdString(folder) + "/missing-folder/out.txt");
    click(controls().calculateButton);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings.front().contains("out.txt"));
    EXPECT_TRUE(dialogs.warnings.front().contains("klasör bulunamadı"));
    EXPECT_EQ(recordLines().size(), 1);
    EXPECT_EQ(listLines().size(), 135) << "the list and the landmarks stay";
    EXPECT_EQ(text(1), "40");
}

TEST_F(Saving, AProgramFolderThatCannotBeWrittenSendsRecordsToTheUsersDataFolder) {
    std::string closed = folder + "/closed";
    std::filesystem::create_directory(closed);
#ifdef _WIN32
    // No mode bits to take away on Windows; under Wine, /sys is Linux's, where even root makes
    // no file.
    closed = "/sys";
#else
    if (geteuid() == 0)
        closed = "/sys"; // root may write anywhere but there
    else
        std::filesystem::permissions(closed, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
#endif
    host.reset();
    environment = {QString::fromStdString(closed), QString::fromStdString(folder + "/user-data"), '.'};
    host = std::make_unique<FormHost>(dialogs, environment);
    pressWing();
    click(controls().calculateButton);
    controls().saveAction->trigger();
    EXPECT_EQ(readLines(folder + "/user-data/12.txt").size(), 2u);
    ASSERT_EQ(dialogs.informed.size(), 1) << "said once, at the first save";
    EXPECT_TRUE(dialogs.informed.front().contains(
        QDir::toNativeSeparators(QString::fromStdString(folder + "/user-data/12.txt"))));
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

} // namespace
} // namespace kanat::test

namespace kanat::test {
namespace {

struct TpsSpecimenText {
    QStringList points;
    QString image, id, scale;
};

std::vector<TpsSpecimenText> readTpsFile(const std::string& path) {
    std::vector<TpsSpecimenText> specimens;
    for (const std::string& line : readLines(path)) {
        const QString text = QString::fromStdString(line);
        if (text.startsWith("LM="))
            specimens.emplace_back();
        else if (text.startsWith("IMAGE="))
            specimens.back().image = text.mid(6);
        else if (text.startsWith("ID="))
            specimens.back().id = text.mid(3);
        else if (text.startsWith("SCALE="))
            specimens.back().scale = text.mid(6);
        else
            specimens.back().points << text;
    }
    return specimens;
}

TEST_F(Saving, EverySaveAppendsTheLandmarksInSourcePixelsToTwelveTps) {
    openPicture(quarters(), "kanat3.png");
    click(controls().magnificationButtons[1]); // one view pixel is one source pixel
    press(50, 60);
    press(399, 0);
    calculateWithBlanks();
    controls().saveAction->trigger();
    const auto specimens = readTpsFile(folder + "/12.tps");
    ASSERT_EQ(specimens.size(), 2u);
    ASSERT_EQ(specimens[0].points.size(), 18);
    // y counts up from the picture's bottom; the view's row comes back from the stored y
    // within half a pixel, since y was rounded at the press.
    const auto point = [&](int n) {
        const QStringList xy = specimens[0].points[n].split(' ');
        return QPointF(xy[0].toDouble(), xy[1].toDouble());
    };
    EXPECT_EQ(point(0).x(), 50);
    EXPECT_NEAR(point(0).y(), 240, 0.5);
    EXPECT_EQ(point(1).x(), 399);
    EXPECT_NEAR(point(1).y(), 300, 0.5);
    EXPECT_EQ(specimens[0].points[2], "-1 -1");
    EXPECT_EQ(specimens[0].image, "kanat3.png");
    EXPECT_EQ(specimens[0].scale, "0.010526316");
    EXPECT_EQ(specimens[0].id, "1");
    EXPECT_EQ(specimens[1].id, "2") << "the ID is the record's line in 12.txt";
}

TEST_F(Saving, TheBatchCalculatorReadsTwelveTpsBackToTheWindowsMeasurements) {
    openPicture(quarters(), "kanat4.png");
    click(controls().magnificationButtons[2]); // x4: two view pixels a source pixel, so positions round-trip exactly
    pressWing();
    click(controls().calculateButton);
    const QStringList windowLines = listLines().mid(18, 99);
    const auto result = runBatchTool({folder + "/12.tps"});
    ASSERT_EQ(result.status, 0) << result.err;
    const QStringList batchLines = QString::fromStdString(result.out).split('\n').mid(0, 99);
    // Positions come back within a fraction of a pixel, so values agree closely, not exactly.
    const auto value = [](const QString& line) { return line.section(';', 1).toDouble(); };
    double worstAngle = 0, worstRatio = 0, worstLength = 0;
    for (int i = 0; i < 99; ++i) {
        ASSERT_EQ(windowLines[i].section(';', 0, 0), batchLines[i].section(';', 0, 0));
        const double difference = std::abs(value(windowLines[i]) - value(batchLines[i]));
        double& worst = i < 19 ? worstAngle : i < 75 ? worstRatio : worstLength;
        worst = std::max(worst, i == 74 ? 0 : difference); // the shift is an angle of near-parallel lines
    }
    std::printf("window vs 12.tps: worst angle %.3f, ratio %.3f, length %.3f mm\n", worstAngle, worstRatio,
                worstLength);
    EXPECT_LT(worstAngle, 1.0);
    EXPECT_LT(worstRatio, 0.05);
    // The view's border scales with it, so at x4 a view pixel is a hair less than half a source
    // pixel: lengths differ by about half a percent on this small picture.
    EXPECT_LT(worstLength, 0.01);
}

} // namespace
} // namespace kanat::test

namespace kanat::test {
namespace {

TEST_F(Saving, ASessionOfManyWingsKeepsEveryBlockInTheResultFile) {
    // Far more than a line edit's 32767 characters.
    const QString out = QString::fromStdString(folder) + "/season.txt";
    constexpr int wings = 25;
    for (int wing = 0; wing < wings; ++wing) {
        click(controls().refreshButton);
        pressWing();
        dialogs.saveAnswers.push_back(out);
        click(controls().calculateButton);
    }
    const std::string bytes = readFile(out.toStdString());
    EXPECT_GT(bytes.size(), 32767u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), wings * 135 + 1);
    EXPECT_EQ(recordLines().size(), wings);
}

} // namespace
} // namespace kanat::test
