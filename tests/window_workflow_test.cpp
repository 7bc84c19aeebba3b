// Digitising at a collection's pace: take back, put back, move and nudge landmarks, the next
// picture of the folder, the guide's pointer, the numbers and the loupe; and whatever the user
// did, the window agrees with itself and writes what presses at the final places would.
#include "landmarks/landmark_capture.h"
#include "tests/window_fixture.h"
#include "view/loupe.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <random>

namespace kanat::test {
namespace {

class Workflow : public WindowTest {
protected:
    void key(int key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&form(), Qt::Key(key), modifiers); }

    // A Ctrl+press at `from`, the pointer moved to `to` with the button held, and let go there.
    void drag(QPoint from, QPoint to, QEvent::Type press = QEvent::MouseButtonPress) {
        const QPoint offset(WingView::borderWidth, WingView::borderWidth);
        WingView* view = controls().Picture2;
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
        const double h = baseHeightOf(controls().Picture2->height() * 15.0);
        const CapturedPoint point = capturePoint(float(at.x()), float(at.y()), h, '.');
        return QString::fromStdString(point.x + ";" + point.y);
    }

    // Counter, sheet, list and marks all tell of exactly these presses, in this order.
    void expectPresses(const std::vector<QPoint>& presses) {
        ASSERT_EQ(field("Text43")->text(), QString::number(presses.size()));
        ASSERT_EQ(listLines().size(), qsizetype(presses.size()));
        ASSERT_EQ(controls().Picture2->markCount(), presses.size());
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

// A model of the sheet that keeps whole states: each step saves the presses as they were, and
// the landmark the arrow keys move is the one a step last changed.
struct SheetModel {
    std::vector<QPoint> presses;
    std::vector<std::vector<QPoint>> taken, takenBack;
    std::optional<std::size_t> last, nudging;

    void record() {
        taken.push_back(presses);
        takenBack.clear();
        nudging.reset();
    }
    void press(QPoint at) {
        record();
        presses.push_back(at);
        last = presses.size() - 1;
    }
    void move(std::size_t which, QPoint to) {
        record();
        presses[which] = to;
        last = which;
    }
    void nudge(QPoint by, QSize area) {
        if (!last) return;
        const QPoint to = presses[*last] + by;
        if (to.x() < 0 || to.y() < 0 || to.x() >= area.width() || to.y() >= area.height()) return;
        if (nudging != last) record();
        presses[*last] = to;
        nudging = last;
    }
    void travel(std::vector<std::vector<QPoint>>& from, std::vector<std::vector<QPoint>>& to) {
        if (from.empty()) return;
        to.push_back(presses);
        const std::vector<QPoint> next = from.back();
        from.pop_back();
        last.reset();
        if (next.size() != presses.size()) {
            if (!next.empty()) last = next.size() - 1;
        } else {
            for (std::size_t i = 0; i < next.size(); ++i)
                if (next[i] != presses[i]) last = i;
        }
        presses = next;
        nudging.reset();
    }
    void takeBack() { travel(taken, takenBack); }
    void putBack() { travel(takenBack, taken); }
};

TEST_F(Workflow, AnySequenceOfCorrectionsLeavesOneTruthAndWritesWhatFreshPressesWould) {
    openPicture(QImage(QSize(500, 300), QImage::Format_RGB32), "wing.png");
    click(5);
    QSize area = controls().Picture2->drawingSize();
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        auto somewhere = [&] { return QPoint(int(random() % area.width()), int(random() % area.height())); };
        click(2);
        SheetModel model;
        for (int action = 0; action < 150; ++action) {
            switch (random() % 15) {
            case 0:
                // "Yenile" or "Resetle" now and then: a new wing, nothing to take back.
                click(random() % 2 ? 2 : 3);
                QApplication::processEvents();
                area = controls().Picture2->drawingSize();
                model = SheetModel{};
                break;
            case 1:
            case 5:
            case 6:
            case 9: {
                const QPoint at = somewhere();
                press(at.x(), at.y());
                model.press(at);
                break;
            }
            case 2:
            case 7:
                if (random() % 2) {
                    key(Qt::Key_Z, Qt::ControlModifier);
                } else {
                    key(Qt::Key_Backspace);
                }
                model.takeBack();
                break;
            case 3:
                if (random() % 2) {
                    key(Qt::Key_Y, Qt::ControlModifier);
                } else {
                    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                }
                model.putBack();
                break;
            case 4:
            case 8:
            case 10: {
                if (model.presses.empty()) break;
                // The window takes hold of the nearest mark, the latest of marks on one spot.
                std::size_t which = random() % model.presses.size();
                for (std::size_t i = which + 1; i < model.presses.size(); ++i)
                    if (model.presses[i] == model.presses[which]) which = i;
                const QPoint from = model.presses[which];
                const QPoint to = from + QPoint(int(random() % 61) - 30, int(random() % 61) - 30);
                drag(from, to);
                const QPoint dropped(std::clamp(to.x(), 0, area.width() - 1), std::clamp(to.y(), 0, area.height() - 1));
                if (dropped != from) model.move(which, dropped);
                break;
            }
            default: {
                const std::pair<int, QPoint> arrows[] = {
                    {Qt::Key_Right, {1, 0}}, {Qt::Key_Left, {-1, 0}}, {Qt::Key_Down, {0, 1}}, {Qt::Key_Up, {0, -1}}};
                const auto& [arrow, by] = arrows[random() % 4];
                key(arrow);
                model.nudge(by, area);
                break;
            }
            }
            ASSERT_NO_FATAL_FAILURE(expectPresses(model.presses)) << "after action " << action;
        }
        // Hesapla writes what presses at the final places, made afresh, write.
        click(1);
        const QString corrected = recordLines().last().section('\t', 1);
        click(2);
        for (const QPoint& at : model.presses) press(at.x(), at.y());
        click(1);
        EXPECT_EQ(recordLines().last().section('\t', 1), corrected);
    }
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
    const QSize area = controls().Picture2->drawingSize();
    drag({99, 50}, {area.width() + 40, 50}); // dropped past the border: the last pixel inside
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}, {area.width() - 1, 50}}));
    // A Ctrl+press on a mark right after the click that placed it arrives as a double click.
    drag({area.width() - 1, 50}, {area.width() - 3, 50}, QEvent::MouseButtonDblClick);
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}, {area.width() - 3, 50}}));
    drag({300, 200}, {310, 210}); // a Ctrl+press away from every mark is a press where it is made
    ASSERT_NO_FATAL_FAILURE(expectPresses({{0, 5}, {area.width() - 3, 50}, {300, 200}}));
    // A field being typed in keeps Backspace and the arrows.
    controls().Text[1]->setFocus();
    key(Qt::Key_Backspace);
    EXPECT_EQ(field("Text43")->text(), "3");
    // Nothing is taken back across Hesapla.
    click(1);
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
    controls().oimage->trigger();
    click(6);
    key(Qt::Key_PageUp); // the first of the folder: nothing before it
    EXPECT_EQ(form().windowTitle(), pictures + "/wing1.jpg");
    press(5, 5);
    key(Qt::Key_PageDown); // a landmark placed since Hesapla: asked, and "Hayır" stays
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(form().windowTitle(), pictures + "/wing1.jpg");
    dialogs.askAnswers = {true};
    key(Qt::Key_PageDown);
    EXPECT_EQ(form().windowTitle(), pictures + "/Wing2.PNG");
    EXPECT_EQ(field("Text43")->text(), "0") << "after a Yenile";
    EXPECT_EQ(form().viewScale(), "2") << "the magnification is kept";
    key(Qt::Key_PageDown); // wing3.png cannot be read: named, and passed over to the last
    ASSERT_EQ(dialogs.warnings.size(), 1) << dialogs.warnings.join("\n").toStdString();
    EXPECT_TRUE(dialogs.warnings[0].contains("wing3.png"));
    EXPECT_EQ(form().windowTitle(), pictures + "/wing10.png");
    key(Qt::Key_PageDown);
    EXPECT_EQ(form().windowTitle(), pictures + "/wing10.png");
    EXPECT_EQ(dialogs.asked.size(), 2) << "no landmark placed since the last picture";
    press(5, 5);
    key(Qt::Key_PageUp); // the question names the way it goes
    ASSERT_EQ(dialogs.asked.size(), 3);
    EXPECT_TRUE(dialogs.asked[2].contains("önceki resme")) << dialogs.asked[2].toStdString();
}

TEST_F(Workflow, TheGuidePointsAtTheNextLandmarkAndTheKeysShowNumbersLoupeAndHelp) {
    const QImage unpointed = QPixmap(":/assets/landmark-guide.png").toImage();
    auto guide = [&] { return controls().Image7->pixmap().toImage(); };
    const QImage first = guide();
    EXPECT_NE(first, unpointed);
    press(10, 10);
    EXPECT_NE(guide(), first);
    for (int i = 1; i < 18; ++i) press(10 + i, 10);
    EXPECT_EQ(guide(), unpointed) << "after the eighteenth, no landmark is next";

    EXPECT_FALSE(controls().Picture2->numbersShown());
    key(Qt::Key_N);
    EXPECT_TRUE(controls().Picture2->numbersShown());

    dialogs.askAnswers = {true}; // leave the 18 presses for another picture
    openPicture(QImage(QSize(400, 300), QImage::Format_RGB32));
    EXPECT_EQ(field("Text43")->text(), "0") << "another picture is another wing";
    auto* loupe = form().findChild<Loupe*>();
    ASSERT_NE(loupe, nullptr);
    key(Qt::Key_L);
    QTest::mouseMove(controls().Picture2, QPoint(100, 100));
    ASSERT_TRUE(loupe->isVisible());
    const QPoint pointer = controls().Picture2->mapTo(controls().client, QPoint(100, 100));
    EXPECT_FALSE(loupe->geometry().contains(pointer)) << "never under the pointer";
    key(Qt::Key_L);
    EXPECT_FALSE(loupe->isVisible());

    key(Qt::Key_F1);
    ASSERT_EQ(dialogs.informed.size(), 1);
    EXPECT_TRUE(dialogs.informed[0].contains("Ctrl+Z") && dialogs.informed[0].contains("Page Down"));
}

} // namespace
} // namespace kanat::test
