#include "bench/registration_figures.h"

#include "collection/stored_patches.h"
#include "collection/wing_placer.h"
#include "tests/real_wings.h"

#include <QElapsedTimer>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <thread>

namespace kanat {
namespace {

// A real wing both as a wing to place and as a collection wing, its keypoints found once.
struct BenchWing {
    std::string name;
    Configuration truth; // the expert's landmarks, TPS pixels
    std::shared_ptr<const PicturePyramid> picture;
    std::shared_ptr<const std::vector<std::uint8_t>> patches; // what collectionSide's patches view
    PlacerWing collectionSide;
};

BenchWing benchWing(const test::RealWing& real, const KeypointSettings& keypoints) {
    BenchWing wing{real.fileName, {}, std::make_shared<PicturePyramid>(pyramidOf(real.picture)), {}, {}};
    for (const TpsPoint& point : real.landmarks) wing.truth.push_back({point.x, point.y});
    wing.collectionSide.landmarks = wing.truth;
    wing.patches = std::make_shared<const std::vector<std::uint8_t>>(cutStoredPatches(*wing.picture, wing.truth));
    wing.collectionSide.patches = *wing.patches;
    wing.collectionSide.keypoints =
        std::make_shared<WingKeypoints>(collectionWingKeypoints(*wing.picture, wing.truth, keypoints));
    return wing;
}

std::vector<BenchWing> benchWings(const std::string& folder, const PlacementSettings& settings) {
    std::vector<BenchWing> wings;
    for (const test::RealWing& real : test::realWings(folder)) wings.push_back(benchWing(real, settings.keypoints));
    return wings;
}

WingPlacer placerOf(const std::vector<const BenchWing*>& collection, const PlacementSettings& settings) {
    std::vector<Configuration> shapes;
    std::vector<PlacerWing> wings;
    for (const BenchWing* wing : collection) {
        shapes.push_back(wing->truth);
        wings.push_back(wing->collectionSide);
    }
    return WingPlacer(alignGeneralised(shapes).mean, std::move(wings), settings);
}

std::vector<std::optional<ComplexPoint>> placedOf(const BenchWing& wing, const std::vector<int>& landmarks) {
    std::vector<std::optional<ComplexPoint>> placed(wing.truth.size());
    for (const int n : landmarks) placed[static_cast<std::size_t>(n - 1)] = wing.truth[static_cast<std::size_t>(n - 1)];
    return placed;
}

double millisecondsOf(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

double median(std::vector<double> values) {
    if (values.empty()) return std::nan("");
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Errors and the confidence rule's verdicts over many placements.
struct Tally {
    std::vector<double> errors; // pixels of the wing's own picture, divided by `scale`
    int wings = 0, lost = 0;
    int confident = 0, confidentFar = 0, toCheck = 0;
    std::vector<double> times;

    void add(const Placement& placement, const BenchWing& wing, double milliseconds, double scale = 1) {
        ++wings;
        times.push_back(milliseconds);
        if (!placement.found()) {
            ++lost;
            return;
        }
        for (std::size_t i = 0; i < placement.landmarks.size(); ++i) {
            const PlacedLandmark& landmark = placement.landmarks[i];
            if (landmark.placed) continue;
            const double error = std::abs(landmark.position / scale - wing.truth[i]);
            errors.push_back(error);
            if (landmark.toCheck) {
                ++toCheck;
            } else {
                ++confident;
                if (error > 5) ++confidentFar;
            }
        }
    }

    void printRow(const std::string& label) const {
        std::vector<double> sorted = errors;
        std::sort(sorted.begin(), sorted.end());
        const double within3 = sorted.empty()
                                   ? 0
                                   : 100.0 *
                                         static_cast<double>(std::count_if(sorted.begin(), sorted.end(),
                                                                           [](double e) { return e <= 3; })) /
                                         static_cast<double>(sorted.size());
        std::printf("%-34s %6d %5d %7.2f %7.1f %7.1f %8.1f %8.2f %7.2f\n", label.c_str(), wings, lost,
                    sorted.empty() ? std::nan("") : sorted[sorted.size() / 2], within3,
                    sorted.empty() ? std::nan("") : sorted.back(), median(times),
                    confident ? 100.0 * confidentFar / confident : 0.0,
                    wings ? static_cast<double>(toCheck) / wings : 0.0);
    }
};

void printHeader() {
    std::printf("%-34s %6s %5s %7s %7s %7s %8s %8s %7s\n", "collection / placed", "wings", "lost", "median", "<=3px%",
                "max", "ms/wing", "conf>5%", "check");
}

struct Dump {
    std::ofstream file;
    void write(const std::string& label, const std::string& name, const Placement& placement, const BenchWing& wing) {
        if (!file.is_open() || !placement.found()) return;
        std::string column = label;
        std::replace(column.begin(), column.end(), ',', ';');
        for (std::size_t i = 0; i < placement.landmarks.size(); ++i) {
            const PlacedLandmark& landmark = placement.landmarks[i];
            if (landmark.placed) continue;
            const LandmarkEvidence& e = landmark.evidence;
            file << column << ',' << name << ',' << i + 1 << ',' << std::abs(landmark.position - wing.truth[i]) << ','
                 << e.correlation << ',' << e.margin << ',' << e.agreement << ',' << e.shapeOffset << ','
                 << landmark.toCheck << ',' << landmark.position.real() << ','
                 << wing.picture->height - landmark.position.imag() << ',' << wing.truth[i].real() << ','
                 << wing.picture->height - wing.truth[i].imag() << '\n';
        }
    }
};

struct Options {
    PlacementSettings settings;
    int draws = 4;
    std::string extraFolder;
    std::string dumpPath;
};

std::vector<PlacementPass> passesOf(const std::string& text) {
    // "centroidSize:radius:reach:shrunk:fit:pull/…"
    std::vector<PlacementPass> passes;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('/', start), text.size());
        PlacementPass pass{};
        int shrunk = 0, fit = 0;
        std::sscanf(text.substr(start, end - start).c_str(), "%lf:%d:%d:%d:%d:%lf", &pass.centroidSize, &pass.radius,
                    &pass.reach, &shrunk, &fit, &pass.pull);
        pass.shrunk = shrunk != 0;
        pass.shapeFitAfter = fit != 0;
        passes.push_back(pass);
        start = end + 1;
    }
    return passes;
}

Options optionsOf(const QStringList& arguments) {
    Options options;
    PlacementSettings& s = options.settings;
    const std::map<std::string, double*> numbers{{"ratio", &s.limits.ratio},
                                                 {"contrast", &s.keypoints.contrast},
                                                 {"edge", &s.keypoints.edge},
                                                 {"registration_size", &s.keypoints.centroidSize},
                                                 {"ransac", &s.limits.ransacDistance},
                                                 {"tolerance", &s.consensusTolerance},
                                                 {"outlier_spreads", &s.outlierSpreads},
                                                 {"outlier_floor", &s.outlierFloor},
                                                 {"outlier_lead", &s.outlierScoreLead},
                                                 {"shape_pull", &s.shapePull},
                                                 {"wing_correlation", &s.leastMeanCorrelation},
                                                 {"rule_correlation", &s.rule.leastCorrelation},
                                                 {"rule_margin", &s.rule.leastMargin},
                                                 {"rule_agreement", &s.rule.leastAgreement},
                                                 {"rule_shape", &s.rule.mostShapeOffset}};
    const std::map<std::string, int*> counts{
        {"keypoints", &s.keypoints.count},      {"finders", &s.registrationWings},
        {"inliers", &s.limits.fewestInliers},   {"consensus_inliers", &s.consensusInliers},
        {"agreement_wings", &s.agreementWings}, {"draws", &options.draws}};
    for (const QString& argument : arguments) {
        const std::string text = argument.toStdString();
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos) {
            options.extraFolder = text;
            continue;
        }
        const std::string name = text.substr(0, equals), value = text.substr(equals + 1);
        if (name == "dump")
            options.dumpPath = value;
        else if (name == "passes")
            s.passes = passesOf(value);
        else if (numbers.count(name))
            *numbers.at(name) = std::stod(value);
        else if (counts.count(name))
            *counts.at(name) = std::stoi(value);
        else
            std::fprintf(stderr, "kanat-bench: no placement setting \"%s\"\n", name.c_str());
    }
    return options;
}

// Each target held out from `draws` collections of `size` wings drawn from the pool (all the
// pool's other wings, once, when that is all there is), placed with no landmark and with 1 and 2.
void heldOut(const std::string& label, const std::vector<const BenchWing*>& targets,
             const std::vector<const BenchWing*>& pool, int size, const Options& options, Dump& dump) {
    Tally none, two;
    for (std::size_t t = 0; t < targets.size(); ++t) {
        std::vector<const BenchWing*> others;
        for (const BenchWing* wing : pool)
            if (wing != targets[t]) others.push_back(wing);
        if (static_cast<int>(others.size()) < size) return;
        const int draws = static_cast<int>(others.size()) == size ? 1 : options.draws;
        for (int draw = 0; draw < draws; ++draw) {
            std::mt19937 random(static_cast<unsigned>(1000 * size + 10 * t + draw));
            std::shuffle(others.begin(), others.end(), random);
            const std::vector<const BenchWing*> chosen(others.begin(), others.begin() + size);
            const WingPlacer placer = placerOf(chosen, options.settings);
            const BenchWing& wing = *targets[t];
            QElapsedTimer timer;
            timer.start();
            const Placement free = placer.place(*wing.picture, placedOf(wing, {}));
            none.add(free, wing, millisecondsOf(timer));
            dump.write(label + " " + std::to_string(size) + " none", wing.name, free, wing);
            timer.restart();
            const Placement guided = placer.place(*wing.picture, placedOf(wing, {1, 2}));
            two.add(guided, wing, millisecondsOf(timer));
            dump.write(label + " " + std::to_string(size) + " 1+2", wing.name, guided, wing);
        }
    }
    none.printRow(label + ", " + std::to_string(size) + " wings, none");
    two.printRow(label + ", " + std::to_string(size) + " wings, 1 and 2");
}

// A camera-sized picture of a wing: the scan enlarged five times (Lanczos) and set on a
// 6000 × 4000 background of its own median grey, the wing a little off the middle.
struct LargeWing {
    std::shared_ptr<const PicturePyramid> picture;
    Configuration truth; // in the large picture's pixels
    cv::Mat grey;
};

LargeWing largeWing(const BenchWing& wing) {
    constexpr int factor = 5;
    const cv::Mat& scan = wing.picture->levels.front();
    cv::Mat enlarged;
    cv::resize(scan, enlarged, {}, factor, factor, cv::INTER_LANCZOS4);
    std::vector<std::uint8_t> values(scan.begin<std::uint8_t>(), scan.end<std::uint8_t>());
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    LargeWing large;
    large.grey = cv::Mat(std::max(4000, enlarged.rows), std::max(6000, enlarged.cols), CV_8U,
                         cv::Scalar(values[values.size() / 2]));
    const int left = (large.grey.cols - enlarged.cols) / 3, top = (large.grey.rows - enlarged.rows) / 2;
    enlarged.copyTo(large.grey(cv::Rect(left, top, enlarged.cols, enlarged.rows)));
    // cv::resize puts scan pixel x at (x + ½)·5 − ½.
    for (const ComplexPoint point : wing.truth) {
        const double row = scan.rows - point.imag();
        large.truth.push_back(
            {left + (point.real() + 0.5) * factor - 0.5, large.grey.rows - (top + (row + 0.5) * factor - 0.5)});
    }
    return large;
}

// A collection of `size` wings from the pool, repeating them when the pool is smaller.
std::vector<const BenchWing*> collectionOf(const std::vector<const BenchWing*>& pool, const BenchWing* without,
                                           int size) {
    std::vector<const BenchWing*> chosen;
    for (int i = 0; static_cast<int>(chosen.size()) < size && i < 10 * size; ++i) {
        const BenchWing* wing = pool[static_cast<std::size_t>(i) % pool.size()];
        if (wing != without) chosen.push_back(wing);
    }
    return chosen;
}

void largePicture(const std::vector<const BenchWing*>& pool, const Options& options) {
    const BenchWing& wing = *pool.front();
    LargeWing large = largeWing(wing);
    const std::vector<const BenchWing*> chosen = collectionOf(pool, &wing, 20);
    const WingPlacer placer = placerOf(chosen, options.settings);
    std::vector<double> prepare, place;
    Tally tally;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        const PicturePyramid picture = pyramidOf(large.grey.clone());
        prepare.push_back(millisecondsOf(timer));
        timer.restart();
        const Placement placement = placer.place(picture, placedOf(wing, {}));
        place.push_back(millisecondsOf(timer));
        if (run > 0) continue;
        BenchWing truth{wing.name, large.truth, {}, {}, {}};
        for (ComplexPoint& point : truth.truth) point /= 5.0;
        tally.add(placement, truth, place.back(), 5);
    }
    std::printf("24 MP (%dx%d, a scan x5), collection of %zu wings (%zu different): prepare "
                "%.0f ms, place all 18 %.0f ms (median of 7)\n",
                large.grey.cols, large.grey.rows, chosen.size(), std::min(chosen.size(), pool.size() - 1),
                median(prepare), median(place));
    std::vector<double> errors = tally.errors;
    std::sort(errors.begin(), errors.end());
    if (!errors.empty())
        std::printf("  its errors in scan pixels: median %.2f, max %.2f\n", errors[errors.size() / 2], errors.back());
    else
        std::printf("  the wing was lost\n");
}

// Wings placed one after another by `threads` threads, each with the whole pool but itself.
void throughput(const std::vector<const BenchWing*>& pool, int size, int threads, const Options& options) {
    std::vector<WingPlacer> placers;
    for (const BenchWing* wing : pool) placers.push_back(placerOf(collectionOf(pool, wing, size), options.settings));
    constexpr int rounds = 3;
    const int total = rounds * static_cast<int>(pool.size());
    std::atomic<int> next{0};
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            for (int job = next++; job < total; job = next++) {
                const std::size_t w = static_cast<std::size_t>(job) % pool.size();
                placers[w].place(*pool[w]->picture, placedOf(*pool[w], {}));
            }
        });
    for (std::thread& worker : workers) worker.join();
    // The processor time tells what the wall time cannot on a machine others share.
    const double cpuMilliseconds = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC / total;
    std::printf("scans (about 1,000 px), collections of %d wings (%zu different), %d thread%s: "
                "%.1f wings/s, %.0f ms of processor time a wing\n",
                size, std::min(static_cast<std::size_t>(size), pool.size() - 1), threads, threads > 1 ? "s" : "",
                total / (millisecondsOf(timer) / 1000), cpuMilliseconds);
}

} // namespace

void printRegistrationFigures(const QStringList& arguments) {
    const Options options = optionsOf(arguments);
    const std::vector<BenchWing> repository = benchWings(KANAT_TEST_DATA "/wings", options.settings);
    if (repository.size() < 6) {
        std::fprintf(stderr, "kanat-bench: the real wings under tests/data/wings are missing\n");
        return;
    }
    const std::vector<BenchWing> extra =
        options.extraFolder.empty() ? std::vector<BenchWing>{} : benchWings(options.extraFolder, options.settings);
    Dump dump;
    if (!options.dumpPath.empty()) {
        dump.file.open(options.dumpPath);
        dump.file
            << "collection,wing,landmark,error,correlation,margin,agreement,shape,check,x,row,truth_x,truth_row\n";
    }
    std::vector<const BenchWing*> ours, all, theirs;
    for (const BenchWing& wing : repository) ours.push_back(&wing);
    // A folder of more wings may hold some of the repository's too: those count once.
    for (const BenchWing& wing : extra)
        if (std::none_of(repository.begin(), repository.end(),
                         [&](const BenchWing& our) { return our.name == wing.name; }))
            theirs.push_back(&wing);
    all = ours;
    all.insert(all.end(), theirs.begin(), theirs.end());

    std::printf("Landmarks placed with no press and with 1 and 2 placed; errors in pixels of the "
                "wing's picture, over the landmarks not placed; %d random draws of each "
                "collection smaller than all the others.\n",
                options.draws);
    printHeader();
    for (const int size : {5, 9}) heldOut("repository", ours, ours, size, options, dump);
    if (!extra.empty()) {
        for (const int size : {5, 10, 14}) heldOut("repository+extra", all, all, size, options, dump);
        heldOut("extra placed, from repository", theirs, ours, 5, options, dump);
        heldOut("extra placed, from all", theirs, all, 5, options, dump);
    }
    largePicture(all, options);
    for (const int threads : {1, 2}) throughput(all, 20, threads, options);
}

} // namespace kanat
