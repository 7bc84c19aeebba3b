#include "bench/collection_figures.h"

#include "bench/bench_window.h"
#include "collection/shape_check.h"
#include "collection/wing_collection.h"
#include "tests/real_wings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>

namespace kanat {
namespace {

using test::RealWing;

using bench::milliseconds;
using bench::print;

using test::placedOf;

struct Errors {
    std::vector<double> pixels;
    void add(const std::vector<LandmarkProposal>& proposals, const RealWing& wing, double scale = 1) {
        for (const double error : test::errorsOf(proposals, wing)) pixels.push_back(error / scale);
    }
    void print(const std::string& name) {
        std::sort(pixels.begin(), pixels.end());
        const auto within3 = std::count_if(pixels.begin(), pixels.end(), [](double e) { return e <= 3; });
        bench::print(("collection_median_px_" + name).c_str(), pixels[pixels.size() / 2], "px");
        bench::print(("collection_within_3px_" + name).c_str(), 100.0 * within3 / pixels.size(), "%");
    }
};

// Each wing held out in turn from three collections of five of the other nine: the five that
// follow it in file-name order starting one, four and seven places on (so every other wing
// joins at least one collection of it).
void heldOutAccuracy(const std::vector<RealWing>& wings, const QString& folder) {
    Errors twoFar, firstTwo, firstThree;
    int draws = 0;
    for (std::size_t heldOut = 0; heldOut < wings.size(); ++heldOut) {
        for (std::size_t start : {1, 4, 7}) {
            std::vector<RealWing> chosen;
            for (std::size_t j = 0; j < 5; ++j) {
                const std::size_t other = (start + j - 1) % (wings.size() - 1) + 1;
                chosen.push_back(wings[(heldOut + other) % wings.size()]);
            }
            const QString drawFolder = folder + QStringLiteral("/draw-%1").arg(draws++);
            QDir().mkpath(drawFolder);
            const WingCollection collection =
                WingCollection::load(test::writeCollection(drawFolder.toStdString(), chosen));
            const RealWing& wing = wings[heldOut];
            const PreparedPicture picture(wing.picture);
            twoFar.add(collection.propose(picture, placedOf(wing, {1, collection.farthestFromFirst()})), wing);
            firstTwo.add(collection.propose(picture, placedOf(wing, {1, 2})), wing);
            firstThree.add(collection.propose(picture, placedOf(wing, {1, 2, 3})), wing);
        }
    }
    print("collection_held_out_draws", draws, "collections of 5");
    twoFar.print("two_far");
    firstTwo.print("first_two");
    firstThree.print("first_three");
}

// A real wing enlarged to about 24 megapixels, as a camera's photograph would show it.
RealWing enlarged(const RealWing& wing, double megapixels) {
    const double factor = std::sqrt(megapixels * 1e6 / (wing.picture.width() * double(wing.picture.height())));
    RealWing large = wing;
    large.picture = wing.picture.convertToFormat(QImage::Format_RGB32)
                        .scaled(qRound(wing.picture.width() * factor), qRound(wing.picture.height() * factor),
                                Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double sx = double(large.picture.width()) / wing.picture.width();
    const double sy = double(large.picture.height()) / wing.picture.height();
    for (TpsPoint& point : large.landmarks) point = {(point.x + 0.5) * sx - 0.5, (point.y - 0.5) * sy + 0.5};
    return large;
}

// 200 wings: the real ones over and over, each landmark moved by a pixel or so.
std::string jitteredCollection(const std::vector<RealWing>& wings, const QString& folder, int count) {
    std::mt19937 random(5);
    std::normal_distribution<double> jitter(0, 1);
    std::vector<RealWing> many;
    for (int i = 0; i < count; ++i) {
        RealWing wing = wings[static_cast<std::size_t>(i) % wings.size()];
        for (TpsPoint& point : wing.landmarks) point = {point.x + jitter(random), point.y + jitter(random)};
        many.push_back(std::move(wing));
    }
    return test::writeCollection(folder.toStdString(), many);
}

// Runs the window's event loop until `ready`, with the longest time it was held meanwhile: a
// heartbeat every millisecond tells how late it came.
struct Waited {
    double ms = 0;
    double longestStall = 0;
};

Waited runUntil(const std::function<bool()>& ready) {
    Waited waited;
    QElapsedTimer timer, beat;
    timer.start();
    beat.start();
    QTimer heartbeat;
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        waited.longestStall = std::max(waited.longestStall, milliseconds(beat));
        beat.restart();
    });
    heartbeat.start();
    while (!ready() && timer.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    waited.ms = milliseconds(timer);
    return waited;
}

// The window over a collection of `wings` on a 24-megapixel wing: the picture opened and first
// painted, then all 18 proposals coming with no press (from the first paint, with the longest
// the window was held meanwhile), a press and its proposals, and Enter.
void windowProposals(const RealWing& large, const QString& collectionFolder, int wings) {
    const QString picture = collectionFolder + QStringLiteral("/large-wing.jpg");
    large.picture.save(picture, "JPEG", 95);
    bench::Window window(picture, collectionFolder);
    window.host->session().collection.finish();
    WingView* view = window.form().controls().wingView;
    QElapsedTimer timer;
    timer.start();
    window.form().openImage();
    window.repaintView();
    const std::string name = "window_24mp_" + std::to_string(wings) + "_wings_";
    print((name + "open_first_paint_ms").c_str(), milliseconds(timer), "ms");
    const Waited opened = runUntil([&] { return view->proposals().size() == 18; });
    print((name + "18_proposals_after_paint_ms").c_str(), opened.ms, "ms");
    print((name + "longest_stall_meanwhile_ms").c_str(), opened.longestStall, "ms");

    const QSize area = view->drawingSize();
    const TpsPoint& first = large.landmarks[0];
    const QPoint at(qRound(first.x * area.width() / large.picture.width()) + WingView::borderWidth,
                    qRound((large.picture.height() - first.y) * area.height() / large.picture.height()) +
                        WingView::borderWidth);
    timer.restart();
    QTest::mousePress(view, Qt::LeftButton, {}, at);
    QTest::mouseRelease(view, Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    print((name + "press_ms").c_str(), milliseconds(timer), "ms");
    const QLabel* status = window.form().controls().statusLine;
    const Waited pressed = runUntil([&] { return !status->text().contains(QStringLiteral("hazırlanıyor")); });
    print((name + "proposals_after_press_ms").c_str(), pressed.ms, "ms");
    timer.restart();
    QTest::keyClick(&window.form(), Qt::Key_Return);
    QCoreApplication::processEvents();
    print((name + "enter_ms").c_str(), milliseconds(timer), "ms");
}

void largePictureSpeed(const std::vector<RealWing>& wings, const QString& folder) {
    const QString collectionFolder = folder + QStringLiteral("/collection-200");
    QDir().mkpath(collectionFolder);
    const std::string tps = jitteredCollection(wings, collectionFolder, 200);
    QElapsedTimer timer;
    timer.start();
    WingCollection::load(tps);
    print("collection_build_200_ms", milliseconds(timer), "ms");
    timer.restart();
    const WingCollection collection = WingCollection::load(tps);
    print("collection_load_200_ms", milliseconds(timer), "ms");

    WingCollection growing = collection;
    const std::string saved = test::tpsSpecimenOf(wings[1], 201);
    std::ofstream(tps, std::ios::binary | std::ios::app) << saved;
    timer.restart();
    growing.addSavedWing(saved, PreparedPicture(wings[1].picture), wings[1].path);
    print("add_saved_wing_200_ms", milliseconds(timer), "ms");

    const RealWing large = enlarged(wings[0], 24);
    timer.restart();
    const PreparedPicture picture(large.picture);
    print("prepare_24mp_ms", milliseconds(timer), "ms");
    std::vector<double> times;
    Errors errors;
    const double scale = double(large.picture.width()) / wings[0].picture.width();
    for (int run = 0; run < 9; ++run) {
        timer.restart();
        const auto proposals = collection.propose(picture, placedOf(large, {1, 2}));
        times.push_back(milliseconds(timer));
        if (run == 0) errors.add(proposals, large, scale);
    }
    std::sort(times.begin(), times.end());
    print("propose_24mp_200_wings_ms", times[times.size() / 2], "ms");
    print("propose_24mp_200_wings_ms_max", times.back(), "ms");
    errors.print("24mp_in_source_px");
    windowProposals(large, collectionFolder, 200);
    const QString twentyFolder = folder + QStringLiteral("/collection-20");
    QDir().mkpath(twentyFolder);
    jitteredCollection(wings, twentyFolder, 20);
    windowProposals(large, twentyFolder, 20);
}

Configuration configurationOf(const RealWing& wing) {
    Configuration shape;
    for (const TpsPoint& point : wing.landmarks) shape.emplace_back(point.x, point.y);
    return shape;
}

// The rule the shape check named a misplaced landmark by before: the landmark farthest from
// where the mean, fitted to all the others, expects it.
int farthestFromExpected(const Configuration& wing, const Configuration& mean) {
    double farthest = -1;
    int landmark = 0;
    for (std::size_t k = 0; k < wing.size(); ++k) {
        std::vector<double> weights(wing.size(), 1.0);
        weights[k] = 0;
        const Similarity fit = fitSimilarity(mean, wing, weights, Reflection::Allowed).map;
        if (const double miss = std::abs(fit(mean[k]) - wing[k]); miss > farthest) {
            farthest = miss;
            landmark = static_cast<int>(k) + 1;
        }
    }
    return landmark;
}

struct NamingCount {
    int cases = 0, earlier = 0, now = 0;
    void add(int earlierNamed, int nowNamed, std::initializer_list<int> moved) {
        ++cases;
        earlier += std::find(moved.begin(), moved.end(), earlierNamed) != moved.end();
        now += std::find(moved.begin(), moved.end(), nowNamed) != moved.end();
    }
    void print(const std::string& name) const {
        bench::print(("shape_check_" + name + "_cases").c_str(), cases, "wings");
        bench::print(("shape_check_" + name + "_earlier_rule").c_str(), 100.0 * earlier / cases, "% named");
        bench::print(("shape_check_" + name + "_spread_rule").c_str(), 100.0 * now / cases, "% named");
    }
};

// Each wing against the other wings' shape model, with one landmark moved 6 to 40 pixels in
// eight directions, or two landmarks moved 9 and 7 pixels while a third strays 2: how often the
// earlier rule and the spread rule name a moved landmark, and how often the check flags the wing.
void misplacedNaming(const std::vector<RealWing>& wings) {
    NamingCount one, two;
    int flagged = 0, flaggedAndNamed = 0;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> angle(0, 2 * 3.14159265358979);
    for (std::size_t held = 0; held < wings.size(); ++held) {
        std::vector<Configuration> others;
        for (std::size_t j = 0; j < wings.size(); ++j)
            if (j != held) others.push_back(configurationOf(wings[j]));
        const ShapeModel model = shapeModelOf(others);
        for (std::size_t k = 0; k < landmarkCount; ++k) {
            const int moved = static_cast<int>(k) + 1;
            for (int pixels = 6; pixels <= 40; pixels += 2)
                for (int direction = 0; direction < 8; ++direction) {
                    Configuration wing = configurationOf(wings[held]);
                    wing[k] += std::polar(double(pixels), direction * 3.14159265358979 / 4);
                    one.add(farthestFromExpected(wing, model.mean), leastFitting(wing, model), {moved});
                    const ShapeCheck check = checkShape(wing, model);
                    if (check.verdict == ShapeVerdict::Sound) continue;
                    ++flagged;
                    flaggedAndNamed += check.verdict == ShapeVerdict::Misplaced && check.first == moved;
                }
            for (std::size_t other = 0; other < landmarkCount; ++other) {
                if (other == k) continue;
                Configuration wing = configurationOf(wings[held]);
                wing[k] += std::polar(9.0, angle(random));
                wing[other] += std::polar(7.0, angle(random));
                const std::size_t third =
                    (k + 2) % landmarkCount == other ? (k + 3) % landmarkCount : (k + 2) % landmarkCount;
                wing[third] += std::polar(2.0, angle(random));
                two.add(farthestFromExpected(wing, model.mean), leastFitting(wing, model),
                        {moved, static_cast<int>(other) + 1});
            }
        }
    }
    one.print("one_moved");
    two.print("two_moved");
    print("shape_check_one_moved_flagged", 100.0 * flagged / one.cases, "%");
    print("shape_check_one_moved_flagged_and_named", 100.0 * flaggedAndNamed / std::max(flagged, 1), "% of flagged");
}

double checkSeconds(const std::vector<RealWing>& wings, const QString& folder) {
    const QString tps = folder + QStringLiteral("/check-10000.tps");
    {
        std::mt19937 random(3);
        std::normal_distribution<double> jitter(0, 1.5);
        std::ofstream file(tps.toStdString(), std::ios::binary);
        for (int i = 0; i < 10000; ++i) {
            RealWing wing = wings[static_cast<std::size_t>(i) % wings.size()];
            for (TpsPoint& point : wing.landmarks) point = {point.x + jitter(random), point.y + jitter(random)};
            if (i % 500 == 7) std::swap(wing.landmarks[6], wing.landmarks[7]);
            file << test::tpsSpecimenOf(wing, i + 1);
        }
    }
    QProcess check;
    check.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    check.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kanat-hesapla"), {"--check", tps});
    check.waitForFinished(-1);
    return check.exitCode() == 0 ? timer.nsecsElapsed() / 1e9 : -1;
}

} // namespace

void printCollectionFigures(const QString& folder) {
    const std::vector<RealWing> wings = test::realWings(KANAT_TEST_DATA "/wings");
    if (wings.size() < 6) {
        std::fprintf(stderr, "kanat-bench: the real wings under tests/data/wings are missing\n");
        return;
    }
    heldOutAccuracy(wings, folder);
    misplacedNaming(wings);
    largePictureSpeed(wings, folder);
    print("check_10000_wings_s", checkSeconds(wings, folder), "s");
}

} // namespace kanat
