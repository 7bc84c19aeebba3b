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
            if (distance < best.distance) best = {static_cast<int>(a) + 1, static_cast<int>(b) + 1, distance};
            std::swap(swapped[a], swapped[b]);
        }
    }
    return best;
}

// Where landmark k of `wing` lies against where its other landmarks put it, in the mean's frame.
ComplexPoint missOf(const Configuration& wing, const Configuration& mean, std::size_t k) {
    std::vector<double> weights(wing.size(), 1.0);
    weights[k] = 0;
    return fitSimilarity(wing, mean, weights, Reflection::Allowed).map(wing[k]) - mean[k];
}

// A little of each landmark's own spread, added to both axes, keeps a spread measured on few
// wings from calling a miss across a vein improbable.
constexpr double spreadFloor = 0.1;

double unlikeliness(ComplexPoint miss, const LandmarkSpread& spread) {
    const double floor = spreadFloor * (spread.xx + spread.yy) / 2;
    const double a = spread.xx + floor, b = spread.xy, c = spread.yy + floor;
    const double x = miss.real(), y = miss.imag();
    const double determinant = a * c - b * b;
    if (!(determinant > 0)) return std::norm(miss);
    return (c * x * x - 2 * b * x * y + a * y * y) / determinant;
}

} // namespace

double upperFence(std::vector<double> distances) {
    std::sort(distances.begin(), distances.end());
    const double lower = quantile(distances, 0.25);
    const double upper = quantile(distances, 0.75);
    return upper + 1.5 * (upper - lower);
}

ShapeModel shapeModelOf(const std::vector<Configuration>& shapes) {
    ProcrustesAlignment alignment = alignGeneralised(shapes);
    ShapeModel model{std::move(alignment.mean), std::move(alignment.distances), 0, {}};
    model.fence = upperFence(model.distances);
    model.spread.resize(model.mean.size());
    for (const Configuration& shape : shapes)
        for (std::size_t k = 0; k < model.mean.size(); ++k) {
            const ComplexPoint miss = missOf(shape, model.mean, k);
            model.spread[k].xx += miss.real() * miss.real();
            model.spread[k].xy += miss.real() * miss.imag();
            model.spread[k].yy += miss.imag() * miss.imag();
        }
    for (LandmarkSpread& spread : model.spread) {
        spread.xx /= static_cast<double>(shapes.size());
        spread.xy /= static_cast<double>(shapes.size());
        spread.yy /= static_cast<double>(shapes.size());
    }
    return model;
}

int leastFitting(const Configuration& wing, const ShapeModel& model) {
    double worst = -1;
    int landmark = 0;
    for (std::size_t k = 0; k < wing.size(); ++k) {
        const double score = unlikeliness(missOf(wing, model.mean, k), model.spread[k]);
        if (score > worst) {
            worst = score;
            landmark = static_cast<int>(k) + 1;
        }
    }
    return landmark;
}

ShapeCheck checkShape(const Configuration& wing, const ShapeModel& model) {
    ShapeCheck check{ShapeVerdict::Sound, procrustesDistance(wing, model.mean, Reflection::Allowed), model.fence, 0, 0};
    if (check.distance <= model.fence) return check;
    const Exchange exchange = bestExchange(wing, model.mean);
    if (exchange.distance <= model.fence) {
        check.verdict = ShapeVerdict::Exchanged;
        check.first = exchange.first;
        check.second = exchange.second;
        return check;
    }
    check.verdict = ShapeVerdict::Misplaced;
    check.first = leastFitting(wing, model);
    return check;
}

} // namespace kanat
