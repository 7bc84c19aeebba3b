// Digitising at a collection's pace: take back, put back, move and nudge landmarks, the next
// picture of the folder, the guide's pointer, the numbers and the loupe; and whatever the user
// did, the window agrees with itself and writes what presses at the final places would.
#include "landmarks/landmark_capture.h"
#include "measure/catalogue.h"
#include "tests/window_fixture.h"
#include "view/loupe.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

namespace kanat::test {
namespace {

class Workflow : public WindowTest {
protected:
    void key(int key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&form(), Qt::Key(key), modifiers); }

    // A Ctrl+press at `from`, the pointer moved to `to` with the button held, and let go there.
    void drag(QPoint from, QPoint to, QEvent::Type press = QEvent::MouseButtonPress) {
        const QPoint offset(WingView::borderWidth, WingView::borderWidth);
        WingView* view = controls().wingView;
        QMouseEvent down(press, QPointF(from + offset), view->mapToGlobal(QPointF(from + offset)), Qt::LeftButton,
                         Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(view, &down);
        QMouseEvent move(QEvent::MouseMove, QPointF(to + offset), view->mapToGlobal(QPointF(to + offset)), Qt::NoButton,
                         Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::ControlModifier, to + offset);
    }

    // The landmark texts a press at `at` gives on this view.
    QString pressText(QPoint at) {
        const double h = baseHeightOf(controls().wingView->height() * 15.0);
        const CapturedPoint point = capturePoint(float(at.x()), float(at.y()), h, '.');
        return QString::fromStdString(point.x + ";" + point.y);
    }

    // Counter, sheet, list and marks all tell of exactly these presses, in this order.
    void expectPresses(const std::vector<QPoint>& presses) {
        ASSERT_EQ(field("Text43")->text(), QString::number(presses.size()));
        ASSERT_EQ(listLines().size(), qsizetype(presses.size()));
        ASSERT_EQ(controls().wingView->markCount(), presses.size());
        for (std::size_t i = 0; i < presses.size(); ++i) {
            ASSERT_EQ(listLines()[qsizetype(i)], pressText(presses[i])) << "press " << i + 1;
            if (i < 18) {
                ASSERT_EQ(text(int(2 * i + 1)) + ";" + text(int(2 * i + 2)), pressText(presses[i]));
            }
        }
        for (std::size_t n = presses.size() + 1; n <= 18; ++n) ASSERT_EQ(text(int(2 * n - 1)) + text(int(2 * n)), "");
    }

    QString pictureFolder() {
        const QString pictures = QString::fromStdString(folder) + "/pictures";
        QDir().mkpath(pictures);
        return pictures;
    }
};

// The keys and the mouse reach the capture, whose own test walks every sequence of corrections:
// what the window writes after them is what presses at the final places write.
TEST_F(Workflow, CorrectionsByKeysAndMouseWriteWhatFreshPressesWould) {
    openPicture(QImage(QSize(500, 300), QImage::Format_RGB32), "wing.png");
    click(controls().magnificationButtons[1]);
    press(10, 10);
    press(40, 12);
    press(70, 14);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Backspace);
    ASSERT_NO_FATAL_FAILURE(expectPresses({{10, 10}}));
    key(Qt::Key_Y, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NO_FATAL_FAILURE(expectPresses({{10, 10}, {40, 12}, {70, 14}}));
    drag({40, 12}, {45, 20});
    key(Qt::Key_Right);
    key(Qt::Key_Up);
    ASSERT_NO_FATAL_FAILURE(expectPresses({{10, 10}, {46, 19}, {70, 14}})) << "the arrows move the press moved last";
    key(Qt::Key_Z, Qt::ControlModifier); // both nudges at once
    ASSERT_NO_FATAL_FAILURE(expectPresses({{10, 10}, {45, 20}, {70, 14}}));
    calculateWithBlanks();
    const QString corrected = recordLines().last().section('\t', 1);
    click(controls().refreshButton);
    for (const QPoint at : {QPoint(10, 10), QPoint(45, 20), QPoint(70, 14)}) press(at.x(), at.y());
    calculateWithBlanks();
    EXPECT_EQ(recordLines().last().section('\t', 1), corrected);
}

TEST_F(Workflow, ALandmarkMarkedMissingIsOneStepThatEmptiesOnlyWhatNeedsIt) {
    openPicture(QImage(QSize(500, 300), QImage::Format_RGB32), "torn.png");
    click(controls().magnificationButtons[1]); // the whole wing's presses on the picture
    pressWing();
    click(controls().calculateButton);
    const QStringList whole = fieldsOf(recordLines().last());
    click(controls().refreshButton);
    const QImage unmarked = controls().guidePicture->pixmap().toImage();
    const int xy[18][2] = {{40, 60},   {90, 50},   {110, 50}, {150, 40},  {70, 100},  {110, 100},
                           {125, 85},  {145, 80},  {175, 75}, {230, 60},  {105, 160}, {185, 150},
                           {205, 120}, {265, 110}, {380, 65}, {180, 200}, {205, 180}, {270, 140}};
    for (int n = 1; n <= 14; ++n) press(xy[n - 1][0], xy[n - 1][1]);
    key(Qt::Key_M);
    key(Qt::Key_Delete);
    EXPECT_EQ(text(29) + text(30) + text(31) + text(32), "yokyokyokyok");
    EXPECT_EQ(field("Text43")->text(), "16");
    EXPECT_EQ(listLines().mid(14), (QStringList{"yok;yok", "yok;yok"}));
    EXPECT_EQ(controls().wingView->markCount(), 14u) << "no circle where nothing is";
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(31), "") << "one step taken back";
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(text(31), "yok");
    key(Qt::Key_Right); // nothing to nudge: the last landmark is not there
    EXPECT_EQ(listLines().mid(13, 1), QStringList{QString::number(xy[13][0]) + ";" + text(28)});
    for (int n = 17; n <= 18; ++n) press(xy[n - 1][0], xy[n - 1][1]);
    EXPECT_NE(controls().guidePicture->pixmap().toImage(), unmarked) << "15 and 16 crossed out";
    click(controls().calculateButton);
    const QStringList torn = fieldsOf(recordLines().last());
    const QStringList& labels = QStringList([] {
        QStringList all;
        for (const std::string& label : measurementLabels()) all << QString::fromStdString(label);
        return all;
    }());
    for (int k = 0; k < 99; ++k) {
        const bool needs = labels[k].contains("15") || labels[k].contains("16");
        EXPECT_EQ(torn[k + 1], needs ? QString() : whole[k + 1]) << labels[k].toStdString();
    }
    EXPECT_EQ(torn[114], "") << "no colour of 15";
    EXPECT_EQ(torn[115], "") << "nor of 16";
    EXPECT_EQ(torn[116], whole[116]);
    const std::string tps = readFile(folder + "/12.tps");
    EXPECT_NE(tps.find("-1 -1\r\n-1 -1\r\n"), std::string::npos) << "15 and 16 not there in 12.tps";
}

TEST_F(Workflow, TakeBackPutBackMoveAndNudgeAtTheirEdges) {
    key(Qt::Key_Z, Qt::ControlModifier); // nothing to take back
    key(Qt::Key_Backspace);
    key(Qt::Key_Left);
    ASSERT_NO_FATAL_FAILURE(expectPresses({}));
    press(0, 5);
    press(100, 50);
    key(Qt::Key_Left);
    key(Qt::Key_Backspace); // the last step first: the nudge
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}, {100, 50}}));
    key(Qt::Key_Backspace);
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}}));
    key(Qt::Key_Left); // landmark 1 stands on the view's left edge: nothing happens
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}}));
    key(Qt::Key_Y, Qt::ControlModifier);
    key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}, {99, 50}}));
    const QSize area = controls().wingView->drawingSize();
    drag({99, 50}, {area.width() + 40, 50}); // dropped past the border: the last pixel inside
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}, {area.width() - 1, 50}}));
    // A Ctrl+press on a mark right after the click that placed it arrives as a double click.
    drag({area.width() - 1, 50}, {area.width() - 3, 50}, QEvent::MouseButtonDblClick);
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}, {area.width() - 3, 50}}));
    drag({300, 200}, {310, 210}); // a Ctrl+press away from every mark is a press where it is made
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}, {area.width() - 3, 50}, {300, 200}}));
    // A field being typed in keeps Backspace and the arrows.
    controls().coordinateFields[0]->setFocus();
    key(Qt::Key_Backspace);
    EXPECT_EQ(field("Text43")->text(), "3");
    // Nothing is taken back across Hesapla.
    calculateWithBlanks();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field("Text43")->text(), "3");
    drag({300, 200}, {320, 220});
    EXPECT_EQ(field("Text43")->text(), "4");
}

TEST_F(Workflow, PageDownOpensTheNextPictureOfTheFolderInNaturalOrder) {
    const QString pictures = pictureFolder();
    QImage picture(60, 40, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    for (const char* name : {"wing10.png", "Wing2.PNG", "wing1.jpg", "notes.txt", "wing3.png"})
        ASSERT_TRUE(QString(name).endsWith(".txt") ? QFile(pictures + "/" + name).open(QIODevice::WriteOnly)
                                                   : picture.save(pictures + "/" + name));
    QFile broken(pictures + "/wing3.png");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    dialogs.openAnswers.push_back(pictures + "/wing1.jpg");
    controls().openAction->trigger();
    click(controls().magnificationButtons[2]);
    key(Qt::Key_PageUp); // the first of the folder: nothing before it
    EXPECT_EQ(form().windowTitle(), QDir::toNativeSeparators(pictures + "/wing1.jpg"));
    press(5, 5);
    key(Qt::Key_PageDown); // a landmark placed since Hesapla: asked, and "Hayır" stays
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(form().windowTitle(), QDir::toNativeSeparators(pictures + "/wing1.jpg"));
    dialogs.askAnswers = {true};
    key(Qt::Key_PageDown);
    EXPECT_EQ(form().windowTitle(), QDir::toNativeSeparators(pictures + "/Wing2.PNG"));
    EXPECT_EQ(field("Text43")->text(), "0") << "after a Yenile";
    EXPECT_EQ(form().viewScale(), "2") << "the magnification is kept";
    key(Qt::Key_PageDown); // wing3.png cannot be read: named, and passed over to the last
    ASSERT_EQ(dialogs.warnings.size(), 1) << dialogs.warnings.join("\n").toStdString();
    EXPECT_TRUE(dialogs.warnings[0].contains("wing3.png"));
    EXPECT_EQ(form().windowTitle(), QDir::toNativeSeparators(pictures + "/wing10.png"));
    key(Qt::Key_PageDown);
    EXPECT_EQ(form().windowTitle(), QDir::toNativeSeparators(pictures + "/wing10.png"));
    EXPECT_EQ(dialogs.asked.size(), 2) << "no landmark placed since the last picture";
    press(5, 5);
    key(Qt::Key_PageUp); // the question names the way it goes
    ASSERT_EQ(dialogs.asked.size(), 3);
    EXPECT_TRUE(dialogs.asked[2].contains("önceki resme")) << dialogs.asked[2].toStdString();
}

TEST_F(Workflow, TheGuidePointsAtTheNextLandmarkAndTheKeysShowNumbersLoupeAndHelp) {
    const QImage unpointed = QPixmap(":/assets/landmark-guide.png").toImage();
    auto guide = [&] { return controls().guidePicture->pixmap().toImage(); };
    const QImage first = guide();
    EXPECT_NE(first, unpointed);
    press(10, 10);
    EXPECT_NE(guide(), first);
    for (int i = 1; i < 18; ++i) press(10 + i, 10);
    EXPECT_EQ(guide(), unpointed) << "after the eighteenth, no landmark is next";

    EXPECT_FALSE(controls().wingView->numbersShown());
    key(Qt::Key_N);
    EXPECT_TRUE(controls().wingView->numbersShown());

    dialogs.askAnswers = {true}; // leave the 18 presses for another picture
    openPicture(QImage(QSize(400, 300), QImage::Format_RGB32));
    EXPECT_EQ(field("Text43")->text(), "0") << "another picture is another wing";
    auto* loupe = form().findChild<Loupe*>();
    ASSERT_NE(loupe, nullptr);
    key(Qt::Key_L);
    QTest::mouseMove(controls().wingView, QPoint(100, 100));
    ASSERT_TRUE(loupe->isVisible());
    const QPoint pointer = controls().wingView->mapTo(controls().client, QPoint(100, 100));
    EXPECT_FALSE(loupe->geometry().contains(pointer)) << "never under the pointer";
    key(Qt::Key_L);
    EXPECT_FALSE(loupe->isVisible());

    key(Qt::Key_F1);
    ASSERT_EQ(dialogs.informed.size(), 1);
    EXPECT_TRUE(dialogs.informed[0].contains("Ctrl+Z") && dialogs.informed[0].contains("Page Down"));
}

} // namespace
} // namespace kanat::test
