#include "collection/shape_check.h"

#include <algorithm>
#include <cmath>

namespace kanat {
namespace {

double quantile(const std::vector<double>& sorted, double fraction) {
    const double rank = fraction * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

struct Exchange {
    int first = 0, second = 0;
    double distance = 0;
};

// The exchange of two landmarks that brings the wing nearest the mean.
Exchange bestExchange(const Configuration& wing, const Configuration& mean) {
    Exchange best{0, 0, 2};
    Configuration swapped = wing;
    for (std::size_t a = 0; a < wing.size(); ++a) {
        for (std::size_t b = a + 1; b < wing.size(); ++b) {
            std::swap(swapped[a], swapped[b]);
            const double distance = procrustesDistance(swapped, mean, Reflection::Allowed);
            if (distance < best.distance)
                best = {static_cast<int>(a) + 1, static_cast<int>(b) + 1, distance};
            std::swap(swapped[a], swapped[b]);
        }
    }
    return best;
}

// The landmark farthest from where the mean, fitted to all the others, expects it.
int farthestFromExpected(const Configuration& wing, const Configuration& mean) {
    double farthest = -1;
    int landmark = 0;
    for (std::size_t k = 0; k < wing.size(); ++k) {
        std::vector<double> weights(wing.size(), 1.0);
        weights[k] = 0;
        const Similarity fit = fitSimilarity(mean, wing, weights, Reflection::Allowed).map;
        const double miss = std::abs(fit(mean[k]) - wing[k]);
        if (miss > farthest) {
            farthest = miss;
            landmark = static_cast<int>(k) + 1;
        }
    }
    return landmark;
}

} // namespace

double upperFence(std::vector<double> distances) {
    std::sort(distances.begin(), distances.end());
    const double lower = quantile(distances, 0.25);
    const double upper = quantile(distances, 0.75);
    return upper + 1.5 * (upper - lower);
}

ShapeCheck checkShape(const Configuration& wing, const Configuration& mean, double fence) {
    ShapeCheck check{ShapeVerdict::Sound, procrustesDistance(wing, mean, Reflection::Allowed),
                     fence, 0, 0};
    if (check.distance <= fence) return check;
    const Exchange exchange = bestExchange(wing, mean);
    if (exchange.distance <= fence) {
        check.verdict = ShapeVerdict::Exchanged;
        check.first = exchange.first;
        check.second = exchange.second;
        return check;
    }
    check.verdict = ShapeVerdict::Misplaced;
    check.first = farthestFromExpected(wing, mean);
    return check;
}

} // namespace kanat
