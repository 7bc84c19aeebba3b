// A hunt for wrong records: random sessions of a lab user over two folders of real wings (each
// with a file that does not open), with the collection's proposals, corrections, saves and
// resets. Beside the window the hunt keeps the truth: which picture was shown when each landmark
// was placed, and where. Every record written must name the picture all of its landmarks were
// placed on, hold them in landmark order, and measure what kanat-hesapla measures from them.
#include "app/picture_folder.h"
#include "landmarks/landmark_capture.h"
#include "results/code_page_1254.h"
#include "tests/real_wings.h"
#include "tests/window_fixture.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

namespace kanat::test {
namespace {

namespace fs = std::filesystem;

// One landmark as the hunt knows it: the picture shown when it was placed and its view position.
struct Placed {
    QString picture; // file name; empty without a picture
    QPoint at;
    bool operator==(const Placed&) const = default;
};

// What one wing holds, step by step; presses after the eighteenth count but place nothing.
struct Wing {
    std::array<std::optional<Placed>, 18> landmarks;
    int extraPresses = 0;
    int filled() const {
        return int(std::count_if(landmarks.begin(), landmarks.end(), [](const auto& s) { return s.has_value(); }));
    }
};

// The truth of the session: the picture shown, the wing in hand with the steps that can be taken
// back, and the record the last calculation left.
struct Truth {
    QString shown; // full path; empty without a picture
    Wing wing;
    std::vector<Wing> taken, takenBack;
    bool nudging = false;
    struct Measured {
        QString name;
        QStringList record;       // the 12.txt line's fields
        QStringList tpsLandmarks; // the 12.tps specimen's 18 point lines
    };
    std::optional<Measured> measured;

    void step() {
        taken.push_back(wing);
        takenBack.clear();
        nudging = false;
    }
    void settle() {
        taken.clear();
        takenBack.clear();
        nudging = false;
    }
    void newWing() {
        wing = {};
        settle();
    }
};

struct Specimen {
    QStringList points;
    QString image;
};

std::vector<Specimen> specimensIn(const std::string& path) {
    std::vector<Specimen> specimens;
    if (!fs::exists(path)) return specimens;
    for (const std::string& line : readLines(path)) {
        QString text = QString::fromStdString(fromCodePage1254(line));
        if (text.endsWith('\r')) text.chop(1);
        if (text.startsWith("LM="))
            specimens.emplace_back();
        else if (text.startsWith("IMAGE="))
            specimens.back().image = text.mid(6);
        else if (!text.contains('='))
            specimens.back().points << text;
    }
    return specimens;
}

class RecordHunt : public WindowTest {
protected:
    std::vector<RealWing> wings = realWings(testData("wings"));
    std::map<QString, const RealWing*> wingNamed;
    QString program, userData, folderA, folderB;
    QStringList files;    // every file the menu may open
    QStringList unopened; // those that do not open
    std::mt19937 random;
    Truth truth;
    int records = 0;

    void start(unsigned seed) {
        random.seed(seed);
        ASSERT_EQ(wings.size(), 10u);
        const QString root = QString::fromStdString(folder);
        program = root + "/program", userData = root + "/user-data";
        folderA = root + "/pictures-a", folderB = root + "/pictures-b";
        for (const QString& made : {program, userData, folderA, folderB}) QDir().mkpath(made);
        // The lab's first wings, in the user's data folder where an installed program keeps them.
        writeCollection(userData.toStdString(), {wings.begin() + 6, wings.end()});
        for (std::size_t i = 0; i < 6; ++i) {
            const QString into = (i < 4 ? folderA : folderB) + "/" + QString::fromStdString(wings[i].fileName);
            ASSERT_TRUE(QFile::copy(QString::fromStdString(wings[i].path), into));
            files << into;
            wingNamed[QString::fromStdString(wings[i].fileName)] = &wings[i];
        }
        for (const QString& bad : {folderA + "/bozuk.png", folderB + "/AT-0002-kirik.jpg"}) {
            std::ofstream(bad.toStdString()) << "not a picture";
            files << bad;
            unopened << bad;
        }
        // The program's own folder counts as a system folder: records belong in the user's.
        host.reset();
        environment = {program, userData, '.', {program.toStdString()}};
        host = std::make_unique<FormHost>(dialogs, environment);
        host->show();
        QApplication::setActiveWindow(&form());
        host->session().collection.finish();
    }

    std::string recordFile() const { return (userData + "/12.txt").toStdString(); }

    // Where landmark n of the picture shown lies on the view, to the whole pixel.
    QPoint expertOnView(int n) {
        const RealWing& wing = *wingNamed.at(QFileInfo(truth.shown).fileName());
        const QSize area = controls().wingView->drawingSize();
        const double scale = controls().wingView->pictureScale();
        const TpsPoint& point = wing.landmarks[std::size_t(n - 1)];
        return {std::clamp(int(std::lround(point.x * scale)), 0, area.width() - 1),
                std::clamp(int(std::lround((wing.picture.height() - point.y) * scale)), 0, area.height() - 1)};
    }

    int chance(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); }

    void press(QPoint at) {
        const QPoint widget = at + QPoint(WingView::borderWidth, WingView::borderWidth);
        QTest::mousePress(controls().wingView, Qt::LeftButton, {}, widget);
        QTest::mouseRelease(controls().wingView, Qt::LeftButton, {}, widget);
    }

    std::vector<ViewPoint> positions() {
        std::vector<ViewPoint> at;
        for (const Press& press : form().capture().presses()) at.push_back(press.at);
        return at;
    }

    // ---- the user's actions, each followed by what the truth expects -------------------------

    void pressNext() {
        const QSize area = controls().wingView->drawingSize();
        const auto free =
            std::find_if(truth.wing.landmarks.begin(), truth.wing.landmarks.end(), [](const auto& s) { return !s; });
        const int n = int(free - truth.wing.landmarks.begin()) + 1;
        QPoint at =
            truth.shown.isEmpty() || n > 18 ? QPoint(chance(area.width()), chance(area.height())) : expertOnView(n);
        at = QPoint(std::clamp(at.x() + chance(3) - 1, 0, area.width() - 1),
                    std::clamp(at.y() + chance(3) - 1, 0, area.height() - 1));
        truth.step();
        if (n <= 18)
            *free = Placed{QFileInfo(truth.shown).fileName(), at};
        else
            ++truth.wing.extraPresses;
        press(at);
    }

    void takeBackOrPutBack() {
        const bool back = chance(3) > 0;
        QTest::keyClick(&form(), back ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
        auto& from = back ? truth.taken : truth.takenBack;
        auto& to = back ? truth.takenBack : truth.taken;
        truth.nudging = false;
        if (from.empty()) return;
        to.push_back(truth.wing);
        truth.wing = from.back();
        from.pop_back();
    }

    void drag() {
        std::vector<int> movable;
        for (int n = 1; n <= 18; ++n)
            if (truth.wing.landmarks[std::size_t(n - 1)] && form().capture().pressOf(n) &&
                form().capture().movableMarkNear(form().capture().presses()[*form().capture().pressOf(n)].at, 0))
                movable.push_back(n);
        if (movable.empty()) return;
        const int n = movable[std::size_t(chance(int(movable.size())))];
        Placed& chosen = *truth.wing.landmarks[std::size_t(n - 1)];
        const QSize area = controls().wingView->drawingSize();
        const QPoint to(std::clamp(chosen.at.x() + chance(7) - 3, 0, area.width() - 1),
                        std::clamp(chosen.at.y() + chance(7) - 3, 0, area.height() - 1));
        const QPoint offset(WingView::borderWidth, WingView::borderWidth);
        WingView* view = controls().wingView;
        QTest::mousePress(view, Qt::LeftButton, Qt::ControlModifier, chosen.at + offset);
        QMouseEvent move(QEvent::MouseMove, QPointF(to + offset), view->mapToGlobal(QPointF(to + offset)), Qt::NoButton,
                         Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::ControlModifier, to + offset);
        if (to == chosen.at) return; // a press on a mark without a move changes nothing
        truth.step();
        truth.wing.landmarks[std::size_t(n - 1)]->at = to;
    }

    void nudge() {
        const std::pair<Qt::Key, QPoint> arrows[] = {
            {Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
        const auto& [key, step] = arrows[chance(4)];
        const auto touched = form().capture().lastTouched();
        const std::vector<ViewPoint> before = positions();
        QTest::keyClick(&form(), key);
        const std::vector<ViewPoint> after = positions();
        const bool moved = !std::equal(before.begin(), before.end(), after.begin(), after.end(),
                                       [](ViewPoint a, ViewPoint b) { return a.x == b.x && a.y == b.y; });
        if (!moved) return;
        ASSERT_TRUE(touched);
        const int n = form().capture().presses()[*touched].landmark;
        if (!truth.nudging) truth.step();
        truth.nudging = true;
        if (n > 0) truth.wing.landmarks[std::size_t(n - 1)]->at += step;
    }

    void accept() {
        const std::vector<ViewMark> proposals = controls().wingView->proposals();
        QTest::keyClick(&form(), Qt::Key_Return);
        if (proposals.empty() || form().capture().nextLandmark() != 0) return; // none, or not all 16
        truth.step();
        for (const ViewMark& proposal : proposals)
            truth.wing.landmarks[std::size_t(proposal.number - 1)] =
                Placed{QFileInfo(truth.shown).fileName(), proposal.centre.toPoint()};
    }

    // Another picture: its truth is the new wing, once the window has asked and been answered.
    void leaveFor(const QString& path, qsizetype askedBefore, bool answer) {
        const bool asked = dialogs.asked.size() > askedBefore;
        if ((asked && !answer) || path.isEmpty()) return;
        truth.shown = path;
        truth.newWing();
    }

    void openFromMenu() {
        const QString chosen = files[chance(int(files.size()))];
        const bool answer = chance(2);
        dialogs.openAnswers = {chosen};
        dialogs.askAnswers = {answer};
        const qsizetype asked = dialogs.asked.size();
        controls().openAction->trigger();
        if (unopened.contains(chosen)) return;
        if (!truth.shown.isEmpty() && QFileInfo(chosen) == QFileInfo(truth.shown)) {
            truth.settle(); // shown again over the same landmarks
            return;
        }
        leaveFor(chosen, asked, answer);
    }

    void pageDownOrUp() {
        const int step = chance(2) ? 1 : -1;
        const bool answer = chance(2);
        dialogs.askAnswers = {answer};
        const qsizetype asked = dialogs.asked.size();
        QTest::keyClick(&form(), step > 0 ? Qt::Key_PageDown : Qt::Key_PageUp);
        if (truth.shown.isEmpty()) return;
        // The next picture that opens, in the shown picture's folder, in natural order.
        QStringList names =
            QDir(QFileInfo(truth.shown).absolutePath()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        std::sort(names.begin(), names.end(), naturallyBefore);
        const QString folderOf = QFileInfo(truth.shown).absolutePath();
        qsizetype at = names.indexOf(QFileInfo(truth.shown).fileName()) + step;
        while (at >= 0 && at < names.size() && unopened.contains(folderOf + "/" + names[at])) at += step;
        if (at < 0 || at >= names.size()) return;
        leaveFor(folderOf + "/" + names[at], asked, answer);
    }

    void magnify() {
        if (truth.wing.filled() > 0 || truth.wing.extraPresses > 0) return; // only before a wing's first landmark
        QPushButton* button = controls().magnificationButtons[std::size_t(chance(3))];
        const bool enabled = button->isEnabled();
        click(button);
        if (enabled && !truth.shown.isEmpty()) truth.settle();
    }

    void refresh() {
        click(controls().refreshButton);
        truth.newWing();
    }

    void reset() {
        click(controls().resetButton);
        QApplication::processEvents();
        QApplication::setActiveWindow(&form());
        truth.shown.clear();
        truth.newWing();
    }

    void calculate() {
        dialogs.saveAnswers = {
            chance(3) ? QString::fromStdString(folder) + QStringLiteral("/sonuc-%1.txt").arg(chance(3)) : QString()};
        // Landmarks never placed are named first ("Hesapla" or "Vazgeç"), then the shape check
        // asks "Kaydet" or "Düzelt".
        const bool blanks = std::any_of(truth.wing.landmarks.begin(), truth.wing.landmarks.end(),
                                        [](const auto& slot) { return !slot; });
        const qsizetype asked = dialogs.asked.size();
        dialogs.askAnswers = {chance(3) > 0, chance(3) > 0};
        click(controls().calculateButton);
        dialogs.askAnswers.clear();
        const bool named = dialogs.asked.size() > asked && dialogs.asked[asked].contains(QStringLiteral("konmadı"));
        ASSERT_EQ(named, blanks) << "landmarks never placed are named before Hesapla, and only they";
        if (!recordWritten()) return; // "Vazgeç" or "Düzelt": the landmarks wait to be corrected
        truth.settle();
        checkCalculatedRecord();
    }

    void saveFromMenu() {
        dialogs.saveAnswers = {QString()};
        controls().saveAction->trigger();
        if (recordWritten()) checkSavedRecord();
    }

    void toggleProposals() { QTest::keyClick(&form(), Qt::Key_P); }

    // ---- the checks ---------------------------------------------------------------------------

    bool recordWritten() {
        host->session().collection.finish();
        const int now = fs::exists(recordFile()) ? int(readLines(recordFile()).size()) : 0;
        const bool written = now > records;
        records = now;
        return written;
    }

    QStringList lastRecord() {
        const std::vector<std::string> lines = readLines(recordFile());
        QString line = QString::fromStdString(fromCodePage1254(lines.back()));
        if (line.endsWith('\r')) line.chop(1);
        return line.split('\t');
    }

    // After every step: the sheet holds exactly the landmarks the truth says were placed, and
    // the title names the picture the truth says is shown.
    void checkSheet() {
        const QString title = truth.shown.isEmpty() ? QStringLiteral("Sphecidae ve Apidae Kanat Morfometrisi Yazılımı")
                                                    : QDir::toNativeSeparators(truth.shown);
        ASSERT_EQ(form().windowTitle(), title);
        for (int n = 1; n <= 18; ++n) {
            const bool filled = truth.wing.landmarks[std::size_t(n - 1)].has_value();
            ASSERT_EQ(!text(2 * n - 1).isEmpty(), filled) << "landmark " << n;
        }
        ASSERT_FALSE(fs::exists((program + "/12.txt").toStdString())) << "a record in the program's system folder";
    }

    // The coordinate texts a TPS point of the picture shown came from: view x and y counted up.
    QPoint onSheet(const QString& point) {
        const QStringList xy = point.split(' ');
        const double x = xy[0].toDouble(), y = xy[1].toDouble();
        if (truth.shown.isEmpty()) return QPoint(int(std::lround(x)), int(std::lround(y)));
        const QImage& picture = wingNamed.at(QFileInfo(truth.shown).fileName())->picture;
        const double scale = controls().wingView->pictureScale();
        return {int(std::lround(x * scale)), int(std::lround(baseHeight() - (picture.height() - y) * scale))};
    }
    double baseHeight() { return baseHeightOf(controls().wingView->height() * 15.0); }

    void checkCalculatedRecord() {
        const QStringList record = lastRecord();
        const std::vector<Specimen> specimens = specimensIn((userData + "/12.tps").toStdString());
        ASSERT_FALSE(specimens.empty());
        const Specimen& specimen = specimens.back();
        ASSERT_EQ(specimen.points.size(), 18);
        // The record names the picture every one of its landmarks was placed on.
        for (const auto& slot : truth.wing.landmarks)
            if (slot) {
                ASSERT_EQ(record[0], slot->picture) << "a landmark placed on another picture";
            }
        ASSERT_EQ(record[0], QFileInfo(truth.shown).fileName());
        // Its landmarks are the ones placed, each in its own slot.
        std::string coordinates;
        for (int n = 1; n <= 18; ++n) {
            const auto& slot = truth.wing.landmarks[std::size_t(n - 1)];
            const QString& point = specimen.points[n - 1];
            ASSERT_EQ(point == "-1 -1", !slot) << "landmark " << n;
            if (!slot) {
                coordinates += "\n";
                continue;
            }
            const QPoint sheet = onSheet(point);
            const QPoint at(sheet.x(), int(std::lround(baseHeight() - sheet.y())));
            ASSERT_EQ(at, slot->at) << "landmark " << n << " of " << record[0].toStdString();
            coordinates += std::to_string(sheet.x()) + ";" + std::to_string(sheet.y()) + "\n";
        }
        // Its measurements are kanat-hesapla's from those landmarks.
        const std::string input = folder + "/hunt-landmarks.txt";
        std::ofstream(input) << coordinates;
        const auto batch = runBatchTool({"--mm-per-pixel", form().mmPerPixel().toStdString(), input});
        ASSERT_EQ(batch.status, 0) << batch.err;
        const QStringList lines = QString::fromStdString(batch.out).split('\n');
        for (int i = 0; i < 99; ++i) ASSERT_EQ(record[i + 1], lines[i].section(';', 1)) << lines[i].toStdString();
        truth.measured = Truth::Measured{record[0], record, specimen.points};
    }

    // A save from the menu writes the record of the last calculation again, whatever is shown.
    void checkSavedRecord() {
        const QStringList record = lastRecord();
        const Specimen specimen = specimensIn((userData + "/12.tps").toStdString()).back();
        if (!truth.measured) {
            ASSERT_EQ(record[0], truth.shown.isEmpty() ? QString() : QFileInfo(truth.shown).fileName());
            ASSERT_EQ(specimen.points, QStringList(18, "-1 -1"));
            return;
        }
        ASSERT_EQ(record, truth.measured->record);
        ASSERT_EQ(specimen.points, truth.measured->tpsLandmarks);
    }

    void hunt(unsigned seed, int actions) {
        start(seed);
        for (int i = 0; i < actions && !HasFatalFailure(); ++i) {
            SCOPED_TRACE(QStringLiteral("seed %1, action %2").arg(seed).arg(i).toStdString());
            // A user mostly presses, accepts proposals when there are some, and calculates a
            // whole wing far more often than a part of one.
            const bool whole = truth.wing.filled() == 18, proposed = !controls().wingView->proposals().empty();
            std::discrete_distribution<int> pick{40, 6, 5, 5, proposed ? 15.0 : 0.0, 4, 6, 2, 2, whole ? 30.0 : 2.0,
                                                 2,  2, 1};
            switch (pick(random)) {
            case 0: pressNext(); break;
            case 1: takeBackOrPutBack(); break;
            case 2: drag(); break;
            case 3: nudge(); break;
            case 4: accept(); break;
            case 5: openFromMenu(); break;
            case 6: pageDownOrUp(); break;
            case 7: magnify(); break;
            case 8: toggleProposals(); break;
            case 9: calculate(); break;
            case 10: saveFromMenu(); break;
            case 11: refresh(); break;
            default: reset(); break;
            }
            if (HasFatalFailure()) return;
            host->session().collection.finish();
            form().finishProposals();
            dialogs.askAnswers.clear();
            dialogs.saveAnswers.clear();
            dialogs.openAnswers.clear();
            checkSheet();
        }
        for (const QString& warning : dialogs.warnings)
            EXPECT_TRUE(warning.contains("açılamadı")) << warning.toStdString();
        EXPECT_GT(records, 5) << "the hunt wrote few records to check";
    }
};

TEST_F(RecordHunt, EveryRecordNamesThePictureItsLandmarksWerePlacedOnSeed1) { hunt(1, 300); }
TEST_F(RecordHunt, EveryRecordNamesThePictureItsLandmarksWerePlacedOnSeed2) { hunt(2, 300); }
TEST_F(RecordHunt, EveryRecordNamesThePictureItsLandmarksWerePlacedOnSeed3) { hunt(3, 300); }

} // namespace
} // namespace kanat::test
