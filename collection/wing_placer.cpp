#include "collection/wing_placer.h"

#include "collection/correlation_peak.h"
#include "collection/stored_patches.h"

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace kanat {
namespace {

// A placed landmark outweighs this many matched ones in the shape fit.
constexpr double placedWeight = 50;
// The margin is taken over places at least this far from the peak, in window pixels.
constexpr double marginDistance = 3;
// A patch agrees when its own best place is this near the chosen one, in window pixels.
constexpr double agreementDistance = 1.5;
// The shrunk picture is made again at the wing's found size when the guess was this far off.
constexpr double shrinkTolerance = 0.15;
// The most a landmark of a placement that does not match the collection is trusted: below the
// half where a landmark needs a look.
constexpr double unmatchedConfidence = 0.25;

cv::Mat standardised(const cv::Mat& square) {
    cv::Mat values;
    square.convertTo(values, CV_32F);
    cv::Scalar mean, spread;
    cv::meanStdDev(values, mean, spread);
    values -= mean[0];
    if (spread[0] > 1e-6) values /= spread[0];
    return values;
}

// A wing's stored square of one landmark turned into a template: its pixel (column, row) shows
// the wing's point landmark + frame.linear((column − radius) + i·(radius − row)).
cv::Mat storedSquare(const PlacerWing& wing, std::size_t landmark, const Similarity& frame, int radius) {
    // A header over the stored bytes; OpenCV asks for a pointer it may write, warpAffine does not.
    const cv::Mat stored(storedPatchSide, storedPatchSide, CV_8U,
                         const_cast<std::uint8_t*>(wing.patches.data() + landmark * storedPatchBytes));
    const double storedStep = centroidSize(wing.landmarks) / canonicalCentroidSize;
    auto storedOf = [&](double column, double row) {
        const ComplexPoint offset = frame.linear({column - radius, radius - row}) / storedStep;
        return cv::Point2d(storedPatchRadius + offset.real(), storedPatchRadius - offset.imag());
    };
    return affineSquare(stored, 2 * radius + 1, storedOf);
}

Configuration present(const std::vector<std::optional<ComplexPoint>>& placed, std::vector<double>& weights) {
    Configuration points(placed.size());
    weights.assign(placed.size(), 0.0);
    for (std::size_t i = 0; i < placed.size(); ++i)
        if (placed[i]) {
            points[i] = *placed[i];
            weights[i] = 1;
        }
    return points;
}

} // namespace

std::vector<PlacementPass> standardPasses() {
    return {
        // Large templates, cut from the shrunk pictures, bring every landmark near from the
        // registered start; the wing's size of 300 pixels still shows where a thin vein meets a
        // thick one, which the registration scale blurs away. The reach, 4 % of the wing's size,
        // covers the start that one wing of another population gives with few matches.
        {300, 16, 12, true, true, 0},
        {450, 12, 5, false, true, 0},
        // The last look at the stored squares' own scale leans a little towards where the
        // landmark already is, so that along a thick vein the shape's end wins.
        {canonicalCentroidSize, 16, 4, false, false, 0.1},
    };
}

// What each landmark looks like across the collection's wings, at one pass's scale.
struct WingPlacer::Templates {
    // Mean of the wings' standardised squares: its correlation with a window is the mean of theirs,
    // times `gain`.
    std::vector<cv::Mat> mean;
    std::vector<double> gain;
    std::vector<std::vector<cv::Mat>> wings; // each wing's own, for the vote (last pass only)
};

// A wing being placed.
struct WingPlacer::Search {
    Configuration points;
    std::vector<bool> placed;
    LandmarkMask onWing; // a missing landmark's point is only the shape's guess
    Similarity fit;      // of the mean shape onto the points
    std::vector<LandmarkEvidence> evidence;
};

WingPlacer::WingPlacer(const Configuration& mean, std::vector<PlacerWing> wings, PlacementSettings settings)
    : mean_(mean), wings_(std::move(wings)), settings_(std::move(settings)) {
    const std::size_t count = mean_.size();
    for (PlacerWing& wing : wings_)
        if (wing.present.size() == 0) wing.present = LandmarkMask::all(count);
    spread_.assign(count, 0.0);
    std::vector<int> holders(count, 0);
    std::vector<double> distances(wings_.size()), sizeRatios;
    std::vector<Similarity> fits;
    for (std::size_t w = 0; w < wings_.size(); ++w) {
        const PlacerWing& wing = wings_[w];
        const SimilarityFit fit = fitSimilarity(mean_, wing.landmarks, wing.present.weights(), Reflection::Allowed);
        fits.push_back(fit.map);
        const double size = std::abs(fit.map.a);
        distances[w] = partialDistance({wing.landmarks, wing.present}, mean_, Reflection::Allowed);
        for (std::size_t i = 0; i < count; ++i)
            if (wing.present.has(i)) {
                spread_[i] += std::norm((wing.landmarks[i] - fit.map(mean_[i])) / size);
                ++holders[i];
            }
        if (wing.keypoints)
            sizeRatios.push_back(centroidSize(wing.landmarks) /
                                 std::hypot(wing.keypoints->picture.sourceWidth, wing.keypoints->picture.sourceHeight));
    }
    for (std::size_t i = 0; i < count; ++i)
        spread_[i] = holders[i] == 0 ? 0 : std::sqrt(spread_[i] / static_cast<double>(holders[i]));
    if (!sizeRatios.empty()) {
        std::nth_element(sizeRatios.begin(), sizeRatios.begin() + sizeRatios.size() / 2, sizeRatios.end());
        sizeOverDiagonal_ = sizeRatios[sizeRatios.size() / 2];
    }
    // The wings nearest the mean shape look for a new one first.
    for (std::size_t w = 0; w < wings_.size(); ++w)
        if (wings_[w].keypoints) finders_.push_back(w);
    std::stable_sort(finders_.begin(), finders_.end(),
                     [&](std::size_t a, std::size_t b) { return distances[a] < distances[b]; });
    if (finders_.size() > static_cast<std::size_t>(settings_.registrationWings))
        finders_.resize(static_cast<std::size_t>(settings_.registrationWings));

    auto templates = std::make_shared<std::vector<Templates>>();
    for (std::size_t p = 0; p < settings_.passes.size(); ++p) {
        const PlacementPass& pass = settings_.passes[p];
        const bool last = p + 1 == settings_.passes.size();
        const int side = 2 * pass.radius + 1;
        Templates made{std::vector<cv::Mat>(count), std::vector<double>(count, 0.0),
                       std::vector<std::vector<cv::Mat>>(count)};
        std::vector<int> used(count, 0);
        for (std::size_t w = 0; w < wings_.size(); ++w) {
            const PlacerWing& wing = wings_[w];
            const bool usable =
                pass.shrunk ? wing.keypoints != nullptr : wing.patches.size() == count * storedPatchBytes;
            if (!usable) continue;
            const Similarity frame{fits[w].a / pass.centroidSize, {}, fits[w].reflected};
            for (std::size_t i = 0; i < count; ++i) {
                // A missing landmark's square shows only where the shape guessed it.
                if (!wing.present.has(i)) continue;
                const cv::Mat square = standardised(
                    pass.shrunk ? sampleShrunk(wing.keypoints->picture, wing.landmarks[i], frame, pass.radius)
                                : storedSquare(wing, i, frame, pass.radius));
                if (made.mean[i].empty()) made.mean[i] = cv::Mat::zeros(side, side, CV_32F);
                made.mean[i] += square;
                ++used[i];
                if (last && made.wings[i].size() < static_cast<std::size_t>(settings_.agreementWings))
                    made.wings[i].push_back(square);
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (used[i] == 0) continue;
            made.mean[i] /= static_cast<double>(used[i]);
            made.gain[i] = cv::norm(made.mean[i]) / std::sqrt(static_cast<double>(side * side));
        }
        templates->push_back(std::move(made));
    }
    templates_ = std::move(templates);
}

bool WingPlacer::canFind() const { return !finders_.empty() && sizeOverDiagonal_ > 0; }

std::optional<Consensus> WingPlacer::find(const std::vector<std::optional<ComplexPoint>>& placed,
                                          const ShrunkPicture& shrunk) const {
    if (finders_.empty()) return std::nullopt;
    const double tolerance = settings_.consensusTolerance;
    auto agreesWithPlaced = [&](const RegistrationCandidate& candidate) {
        double sum = 0;
        int count = 0;
        for (std::size_t i = 0; i < placed.size(); ++i)
            if (placed[i]) {
                sum += std::norm(candidate.landmarks[i] - *placed[i]);
                ++count;
            }
        return count == 0 || std::sqrt(sum / count) <= tolerance * centroidSize(candidate.landmarks);
    };
    auto attempt = [&](const ShrunkPicture& looked) -> std::optional<Consensus> {
        const WingKeypoints target = findKeypoints(looked, settings_.keypoints);
        std::vector<std::optional<RegistrationCandidate>> found(finders_.size());
        cv::parallel_for_(cv::Range(0, static_cast<int>(finders_.size())), [&](const cv::Range& range) {
            for (int k = range.start; k < range.end; ++k) {
                const PlacerWing& wing = wings_[finders_[static_cast<std::size_t>(k)]];
                found[static_cast<std::size_t>(k)] =
                    registerWing(*wing.keypoints, wing.landmarks, target, settings_.limits);
            }
        });
        std::vector<RegistrationCandidate> candidates;
        for (auto& candidate : found)
            if (candidate && agreesWithPlaced(*candidate)) candidates.push_back(std::move(*candidate));
        return consensusOf(candidates, tolerance);
    };
    auto strong = [&](const std::optional<Consensus>& consensus) {
        return consensus && consensus->inliers >= settings_.consensusInliers;
    };
    std::optional<Consensus> seen = attempt(shrunk);
    if (strong(seen)) return seen;
    // Keypoints are not the same in a mirror: a wing photographed turned over is looked for again.
    std::optional<Consensus> mirrored = attempt(mirroredPicture(shrunk));
    if (strong(mirrored)) return mirrored;
    // A few wings of another population may still find it with few matches; the placement's
    // correlation then decides whether that was the wing.
    if (!seen || (mirrored && mirrored->inliers > seen->inliers)) return mirrored;
    return seen;
}

std::vector<std::optional<ComplexPoint>> WingPlacer::fitShape(Search& search) const {
    const std::size_t count = mean_.size();
    const Reflection reflection = search.fit.reflected ? Reflection::Always : Reflection::Never;
    std::vector<double> weights(count), residuals(count), tolerances(count);
    auto baseWeight = [&](std::size_t i) {
        if (!search.onWing.has(i)) return 0.0;
        return search.placed[i] ? placedWeight : 1.0;
    };
    for (std::size_t i = 0; i < count; ++i) weights[i] = baseWeight(i);
    Similarity fit = search.fit;
    // Each round trusts less the landmarks the last fit left far off.
    for (int round = 0; round < 4; ++round) {
        fit = fitSimilarity(mean_, search.points, weights, reflection).map;
        const double size = std::abs(fit.a);
        for (std::size_t i = 0; i < count; ++i) {
            residuals[i] = std::abs(search.points[i] - fit(mean_[i]));
            tolerances[i] = size * std::max(settings_.outlierSpreads * spread_[i], settings_.outlierFloor);
            const double base = baseWeight(i);
            weights[i] = residuals[i] <= tolerances[i] ? base : base * std::pow(tolerances[i] / residuals[i], 2);
        }
    }
    search.fit = fit;
    std::vector<std::optional<ComplexPoint>> expected(count);
    for (std::size_t i = 0; i < count; ++i)
        if (!search.placed[i] && search.onWing.has(i) && residuals[i] > tolerances[i]) expected[i] = fit(mean_[i]);
    return expected;
}

struct WingPlacer::Match {
    ComplexPoint position;
    float score = 0; // the correlation at the peak, before any pull
    cv::Mat window, correlation;
    cv::Point peak;
    cv::Point2d at; // the peak between pixels
};

WingPlacer::Match WingPlacer::match(const PicturePyramid& picture, const ShrunkPicture& shrunk, std::size_t pass,
                                    std::size_t landmark, ComplexPoint from, const Similarity& frame,
                                    const Prior& prior) const {
    const PlacementPass& settings = settings_.passes[pass];
    const int reach = settings.reach;
    Match found;
    (settings.shrunk ? sampleShrunk(shrunk, from, frame, settings.radius + reach)
                     : samplePatch(picture, from, frame, settings.radius + reach))
        .convertTo(found.window, CV_32F);
    cv::matchTemplate(found.window, (*templates_)[pass].mean[landmark], found.correlation, cv::TM_CCOEFF_NORMED);
    cv::Mat scores = found.correlation;
    if (settings.pull > 0) {
        scores = found.correlation.clone();
        for (int row = 0; row < scores.rows; ++row)
            for (int column = 0; column < scores.cols; ++column) {
                const double off = std::hypot(row - reach, column - reach) / reach;
                scores.at<float>(row, column) -= static_cast<float>(settings.pull * off * off);
            }
    }
    if (prior.strength > 0) {
        if (scores.data == found.correlation.data) scores = found.correlation.clone();
        for (int row = 0; row < scores.rows; ++row)
            for (int column = 0; column < scores.cols; ++column) {
                const ComplexPoint at =
                    from + frame.linear({static_cast<double>(column - reach), static_cast<double>(reach - row)});
                const double off = std::abs(at - prior.expected) / prior.spread;
                scores.at<float>(row, column) -= static_cast<float>(prior.strength * off * off);
            }
    }
    cv::minMaxLoc(scores, nullptr, nullptr, nullptr, &found.peak);
    found.at = subpixelPeak(scores, found.peak);
    found.score = found.correlation.at<float>(found.peak);
    found.position = from + frame.linear({found.at.x - reach, reach - found.at.y});
    return found;
}

LandmarkEvidence WingPlacer::evidenceOf(const Match& found, std::size_t pass, std::size_t landmark) const {
    const Templates& templates = (*templates_)[pass];
    const double gain = templates.gain[landmark];
    LandmarkEvidence evidence;
    evidence.correlation = gain * found.score;
    evidence.margin = gain * (found.score - bestAway(found.correlation, found.peak, marginDistance));
    const auto& own = templates.wings[landmark];
    int agreeing = 0;
    for (const cv::Mat& square : own) {
        cv::Mat theirs;
        cv::matchTemplate(found.window, square, theirs, cv::TM_CCOEFF_NORMED);
        cv::Point best;
        cv::minMaxLoc(theirs, nullptr, nullptr, nullptr, &best);
        if (std::hypot(best.x - found.at.x, best.y - found.at.y) <= agreementDistance) ++agreeing;
    }
    evidence.agreement = own.empty() ? 0 : static_cast<double>(agreeing) / static_cast<double>(own.size());
    return evidence;
}

Placement WingPlacer::place(const PicturePyramid& picture,
                            const std::vector<std::optional<ComplexPoint>>& placed) const {
    return place(picture, placed, LandmarkMask::all(mean_.size()));
}

Placement WingPlacer::place(const PicturePyramid& picture, const std::vector<std::optional<ComplexPoint>>& placed,
                            const LandmarkMask& onWing) const {
    const std::size_t count = mean_.size();
    if (picture.levels.empty() || placed.size() != count || onWing.size() != count || count == 0) return {};
    std::vector<double> weights;
    const Configuration given = present(placed, weights);
    const int placedCount = static_cast<int>(std::count(weights.begin(), weights.end(), 1.0));
    // The collection's pictures show how large a wing is in its picture; a few landmarks close
    // together would say it less well.
    const double width = picture.levels.front().cols;
    double expectedSize = sizeOverDiagonal_ * std::hypot(width, picture.height);
    if (!(expectedSize > 0) && placedCount >= 2)
        expectedSize = std::abs(fitSimilarity(mean_, given, weights, Reflection::Never).map.a);
    if (!(expectedSize > 0) || !std::isfinite(expectedSize)) return {};

    const ShrunkPicture shrunk = shrunkPicture(picture, settings_.keypoints.centroidSize / expectedSize);
    const std::optional<Consensus> consensus = find(placed, shrunk);
    // Where the wing may be, the likelier first; the first whose landmarks match the collection's
    // well is taken. Two placed landmarks close together say the wing's size and turn badly, so
    // their start is tried after the keypoints'.
    std::vector<Configuration> starts;
    if (consensus) starts.push_back(consensus->landmarks);
    if (placedCount >= 2) {
        const Similarity fit = fitSimilarity(mean_, given, weights, Reflection::Never).map;
        Configuration start(count);
        for (std::size_t i = 0; i < count; ++i) start[i] = fit(mean_[i]);
        starts.push_back(std::move(start));
    }
    Placement placement;
    for (std::size_t s = 0; s < starts.size(); ++s) {
        placement = placeFrom(picture, shrunk, expectedSize, placed, onWing, starts[s]);
        placement.findingWings = consensus && s == 0 ? consensus->wings : 0;
        if (matchesCollection(placement)) return placement;
    }
    if (placedCount < 2) return {};
    // The user's landmarks still give proposals where nothing matched well, each one to check.
    for (PlacedLandmark& landmark : placement.landmarks)
        if (!landmark.placed && !landmark.missing) {
            landmark.toCheck = true;
            landmark.confidence = std::min(landmark.confidence, unmatchedConfidence);
        }
    return placement;
}

bool WingPlacer::matchesCollection(const Placement& placement) const {
    if (templates_->empty()) return true;
    double sum = 0;
    int looked = 0;
    const Templates& last = templates_->back();
    for (std::size_t i = 0; i < placement.landmarks.size(); ++i) {
        const PlacedLandmark& landmark = placement.landmarks[i];
        if (landmark.placed || landmark.missing || last.mean[i].empty()) continue;
        sum += landmark.evidence.correlation;
        ++looked;
    }
    return looked == 0 || sum / looked >= settings_.leastMeanCorrelation;
}

Placement WingPlacer::placeFrom(const PicturePyramid& picture, ShrunkPicture shrunk, double expectedSize,
                                const std::vector<std::optional<ComplexPoint>>& placed, const LandmarkMask& onWing,
                                const Configuration& start) const {
    const std::size_t count = mean_.size();
    Search search{start, std::vector<bool>(count, false), onWing, {}, std::vector<LandmarkEvidence>(count)};
    for (std::size_t i = 0; i < count; ++i)
        if (placed[i]) {
            search.points[i] = *placed[i];
            search.placed[i] = true;
            search.onWing.add(i);
        }
    search.fit = fitSimilarity(mean_, search.points, search.onWing.weights(), Reflection::Allowed).map;
    const double foundSize = std::abs(search.fit.a);
    if (std::abs(foundSize / expectedSize - 1) > shrinkTolerance)
        shrunk = shrunkPicture(picture, settings_.keypoints.centroidSize / foundSize);

    for (std::size_t p = 0; p < settings_.passes.size(); ++p) {
        const PlacementPass& pass = settings_.passes[p];
        const bool last = p + 1 == settings_.passes.size();
        const Similarity frame{search.fit.a / pass.centroidSize, {}, search.fit.reflected};
        std::vector<float> scores(count, 0);
        // Where the other landmarks put each one, for the last pass's lean.
        Search judged = search;
        if (last) fitShape(judged);
        for (std::size_t i = 0; i < count; ++i) {
            if (search.placed[i] || !search.onWing.has(i) || (*templates_)[p].mean[i].empty()) continue;
            Prior prior;
            if (last)
                prior = {judged.fit(mean_[i]),
                         std::abs(judged.fit.a) * std::max(spread_[i], settings_.outlierFloor / 4),
                         settings_.shapePull};
            const Match found = match(picture, shrunk, p, i, search.points[i], frame, prior);
            search.points[i] = found.position;
            scores[i] = found.score;
            if (last) search.evidence[i] = evidenceOf(found, p, i);
        }
        if (!pass.shapeFitAfter) continue;
        // A landmark far off the collection's shape is looked for again where the shape expects
        // it; it stays where it was only when it matched there clearly better.
        const auto expected = fitShape(search);
        for (std::size_t i = 0; i < count; ++i) {
            if (!expected[i]) continue;
            const Match again = match(picture, shrunk, p, i, *expected[i], frame, Prior{});
            if (again.score >= scores[i] - settings_.outlierScoreLead) search.points[i] = again.position;
        }
    }
    // How far each landmark lies from where the others put it, without moving any.
    Search judged = search;
    fitShape(judged);
    const double size = std::abs(judged.fit.a);
    Placement placement;
    for (std::size_t i = 0; i < count; ++i) {
        PlacedLandmark landmark{search.points[i], search.placed[i], search.evidence[i], 1, false};
        if (!search.onWing.has(i)) {
            landmark = {judged.fit(mean_[i]), false, {}, 0, false, true};
        } else if (!landmark.placed) {
            landmark.evidence.shapeOffset =
                std::abs(search.points[i] - judged.fit(mean_[i])) / (size * std::max(spread_[i], 1e-3));
            landmark.confidence = confidenceOf(landmark.evidence, settings_.rule);
            landmark.toCheck = needsCheck(landmark.evidence, settings_.rule);
        }
        placement.landmarks.push_back(landmark);
    }
    return placement;
}

} // namespace kanat
