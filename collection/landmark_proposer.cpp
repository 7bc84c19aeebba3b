#include "collection/landmark_proposer.h"

#include "collection/landmark_templates.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kanat {
namespace {

// How far from its expected place a landmark is looked for, in canonical pixels.
constexpr int searchReach = 15;
// A match this good steadies the fit for the landmarks after it.
constexpr double confidentMatch = 0.5;
// The last look leans a little towards where all the other landmarks expect each one, so that
// along a thick vein, where the match hardly changes, the expected end wins (0.1 at the edge).
constexpr double finalPull = 0.1;

// Wings whose landmarks span less than this (centroid size, pixels) show no neighbourhood to
// match; larger ones than any picture could hold come from landmarks placed far outside it.
constexpr double smallestWing = 30;
constexpr double largestWing = 1e6;

constexpr double pi = 3.14159265358979;
const std::vector<double> turnsTried{0, -4, 4, -8, 8, -12, 12, -16, 16}; // degrees
const std::vector<double> sizesTried{1, 0.9, 1.1};
constexpr std::size_t firstSteps = 6;
constexpr std::size_t startsGrownWhole = 4;

// The peak's offset from the middle of three scores, by the parabola through them.
double peakOffset(float before, float at, float after) {
    const double curvature = before - 2.0 * at + after;
    return curvature < 0 ? std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5) : 0.0;
}

void leanTowardsTheMiddle(cv::Mat& scores, double pull) {
    for (int row = 0; row < scores.rows; ++row)
        for (int column = 0; column < scores.cols; ++column) {
            const double off = std::hypot(row - searchReach, column - searchReach) / searchReach;
            scores.at<float>(row, column) -= static_cast<float>(pull * off * off);
        }
}

} // namespace

bool LandmarkProposer::plausibleSize(const std::vector<std::optional<ComplexPoint>>& placed) const {
    std::vector<double> weights(placed.size(), 0.0);
    Configuration points(placed.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (!placed[i]) continue;
        weights[i] = 1;
        points[i] = *placed[i];
    }
    // The mean has centroid size 1, so the fit's scale is the wing's size in pixels.
    const double size = std::abs(fitSimilarity(mean_, points, weights, Reflection::Never).map.a);
    return std::isfinite(size) && size >= smallestWing && size <= largestWing;
}

struct LandmarkProposer::Attempt {
    std::vector<std::optional<LandmarkGuess>> guesses;
    double score = 0; // mean confidence of the proposed landmarks
};

LandmarkProposer::LandmarkProposer(Configuration mean, std::vector<cv::Mat> templates)
    : mean_(std::move(mean)), templates_(std::move(templates)) {}

LandmarkGuess LandmarkProposer::match(const PicturePyramid& picture, std::size_t landmark, const Similarity& fit,
                                      double pull) const {
    const ComplexPoint expected = fit(mean_[landmark]);
    const Similarity frame = canonicalFrame(fit);
    cv::Mat window;
    samplePatch(picture, expected, frame, templateRadius + searchReach).convertTo(window, CV_32F);
    cv::Mat correlation;
    cv::matchTemplate(window, templates_[landmark], correlation, cv::TM_CCOEFF_NORMED);
    cv::Mat scores = correlation.clone();
    if (pull > 0) leanTowardsTheMiddle(scores, pull);
    cv::Point peak;
    cv::minMaxLoc(scores, nullptr, nullptr, nullptr, &peak);
    double column = peak.x, row = peak.y;
    if (peak.x > 0 && peak.x + 1 < scores.cols)
        column += peakOffset(scores.at<float>(peak.y, peak.x - 1), scores.at<float>(peak.y, peak.x),
                             scores.at<float>(peak.y, peak.x + 1));
    if (peak.y > 0 && peak.y + 1 < scores.rows)
        row += peakOffset(scores.at<float>(peak.y - 1, peak.x), scores.at<float>(peak.y, peak.x),
                          scores.at<float>(peak.y + 1, peak.x));
    return {expected + frame.linear({column - searchReach, searchReach - row}), correlation.at<float>(peak)};
}

LandmarkProposer::Attempt LandmarkProposer::grow(const PicturePyramid& picture,
                                                 const std::vector<std::optional<ComplexPoint>>& placed,
                                                 Reflection reflection, ComplexPoint turn, std::size_t steps) const {
    const std::size_t count = mean_.size();
    Attempt attempt{std::vector<std::optional<LandmarkGuess>>(count), 0};
    std::vector<double> weights(count, 0.0);
    Configuration anchors(count);
    std::vector<std::size_t> pending;
    for (std::size_t i = 0; i < count; ++i) {
        if (!placed[i]) {
            pending.push_back(i);
            continue;
        }
        attempt.guesses[i] = LandmarkGuess{*placed[i], 1.0};
        weights[i] = 1;
        anchors[i] = *placed[i];
    }
    auto distanceToAnchors = [&](std::size_t i) {
        double nearest = std::numeric_limits<double>::infinity();
        for (std::size_t j = 0; j < count; ++j)
            if (weights[j] > 0) nearest = std::min(nearest, std::abs(mean_[i] - mean_[j]));
        return nearest;
    };
    // Outwards from the placed landmarks: each confident match joins the fit for the next.
    double grown = 0;
    for (std::size_t step = 0; !pending.empty(); ++step) {
        if (step == steps) {
            attempt.score = grown / static_cast<double>(step);
            return attempt;
        }
        const auto next = std::min_element(pending.begin(), pending.end(), [&](std::size_t a, std::size_t b) {
            return distanceToAnchors(a) < distanceToAnchors(b);
        });
        const std::size_t landmark = *next;
        pending.erase(next);
        Similarity fit = fitSimilarity(mean_, anchors, weights, reflection).map;
        if (std::count(weights.begin(), weights.end(), 1.0) <= 2) {
            ComplexPoint centre{};
            for (std::size_t j = 0; j < count; ++j) centre += weights[j] * anchors[j];
            centre /= std::count(weights.begin(), weights.end(), 1.0);
            fit.a *= turn;
            fit.b = centre + turn * (fit.b - centre);
        }
        const LandmarkGuess guess = match(picture, landmark, fit, 0);
        attempt.guesses[landmark] = guess;
        grown += guess.confidence;
        if (guess.confidence < confidentMatch) continue;
        weights[landmark] = 1;
        anchors[landmark] = guess.position;
    }
    // A last look at every landmark from the fit of everything confident.
    const Similarity fit = fitSimilarity(mean_, anchors, weights, reflection).map;
    double total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (placed[i]) continue;
        attempt.guesses[i] = match(picture, i, fit, finalPull);
        total += attempt.guesses[i]->confidence;
    }
    attempt.score = total / static_cast<double>(count);
    return attempt;
}

std::vector<std::optional<LandmarkGuess>>
LandmarkProposer::propose(const PicturePyramid& picture, const std::vector<std::optional<ComplexPoint>>& placed) const {
    const auto placedCount = std::count_if(placed.begin(), placed.end(), [](const auto& p) { return p.has_value(); });
    if (placedCount < 2 || templates_.size() != mean_.size() || placed.size() != mean_.size()) return {};
    if (!plausibleSize(placed)) return {};
    // Two landmarks cannot tell a mirrored wing from an upright one; the picture can.
    // Two landmarks near each other leave the wing's turn and size uncertain far from them:
    // a few turns and sizes are tried for the first steps, and the likeliest grown whole.
    const bool uncertain = placedCount == 2;
    std::vector<std::pair<double, std::pair<Reflection, ComplexPoint>>> starts;
    for (const Reflection reflection : {Reflection::Never, Reflection::Always})
        for (const double degrees : uncertain ? turnsTried : std::vector<double>{0})
            for (const double scale : uncertain ? sizesTried : std::vector<double>{1}) {
                const ComplexPoint turn = std::polar(scale, degrees * pi / 180);
                starts.push_back({grow(picture, placed, reflection, turn, firstSteps).score, {reflection, turn}});
            }
    std::sort(starts.begin(), starts.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    starts.resize(std::min(starts.size(), startsGrownWhole));
    Attempt best;
    best.score = -2;
    for (const auto& [score, start] : starts) {
        Attempt attempt = grow(picture, placed, start.first, start.second, placed.size());
        if (attempt.score > best.score) best = std::move(attempt);
    }
    return best.guesses;
}

} // namespace kanat
