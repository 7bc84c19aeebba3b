#include "collection/shape_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// The exchange of two of the wing's landmarks that brings it nearest the mean.
Exchange bestExchange(const PartialShape& wing, const Configuration& mean) {
    Exchange best{0, 0, std::numeric_limits<double>::infinity()};
    PartialShape swapped = wing;
    for (std::size_t a = 0; a < wing.points.size(); ++a) {
        if (!wing.present.has(a)) continue;
        for (std::size_t b = a + 1; b < wing.points.size(); ++b) {
            if (!wing.present.has(b)) continue;
            std::swap(swapped.points[a], swapped.points[b]);
            const double distance = partialDistance(swapped, mean, Reflection::Allowed);
            if (distance < best.distance) best = {static_cast<int>(a) + 1, static_cast<int>(b) + 1, distance};
            std::swap(swapped.points[a], swapped.points[b]);
        }
    }
    return best;
}

// Where landmark k of `wing` lies against where its other landmarks put it, in the mean's frame.
ComplexPoint missOf(const PartialShape& wing, const Configuration& mean, std::size_t k) {
    std::vector<double> weights = wing.present.weights();
    weights[k] = 0;
    return fitSimilarity(wing.points, mean, weights, Reflection::Allowed).map(wing.points[k]) - mean[k];
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

ShapeModel shapeModelOf(const std::vector<PartialShape>& shapes) {
    ProcrustesAlignment alignment = alignGeneralised(shapes);
    ShapeModel model{std::move(alignment.mean), std::move(alignment.distances), 0, {}, shapes};
    model.fence = upperFence(model.distances);
    const std::size_t count = model.mean.size();
    model.spread.resize(count);
    std::vector<int> holders(count, 0);
    for (const PartialShape& shape : shapes)
        for (std::size_t k = 0; k < count; ++k) {
            if (!shape.present.has(k)) continue;
            const ComplexPoint miss = missOf(shape, model.mean, k);
            model.spread[k].xx += miss.real() * miss.real();
            model.spread[k].xy += miss.real() * miss.imag();
            model.spread[k].yy += miss.imag() * miss.imag();
            ++holders[k];
        }
    for (std::size_t k = 0; k < count; ++k) {
        const double wings = std::max(holders[k], 1);
        model.spread[k].xx /= wings;
        model.spread[k].xy /= wings;
        model.spread[k].yy /= wings;
    }
    return model;
}

ShapeModel shapeModelOf(const std::vector<Configuration>& shapes) {
    std::vector<PartialShape> complete;
    complete.reserve(shapes.size());
    for (const Configuration& shape : shapes) complete.push_back(completeShape(shape));
    return shapeModelOf(complete);
}

double fenceOn(const ShapeModel& model, const LandmarkMask& present) {
    if (present.complete()) return model.fence;
    std::vector<double> distances;
    for (const PartialShape& wing : model.wings) {
        const LandmarkMask shared = wing.present & present;
        if (shared.count() >= 3)
            distances.push_back(partialDistance({wing.points, shared}, model.mean, Reflection::Allowed));
    }
    return distances.empty() ? model.fence : upperFence(std::move(distances));
}

int leastFitting(const PartialShape& wing, const ShapeModel& model) {
    double worst = -1;
    int landmark = 0;
    for (std::size_t k = 0; k < wing.points.size(); ++k) {
        if (!wing.present.has(k)) continue;
        const double score = unlikeliness(missOf(wing, model.mean, k), model.spread[k]);
        if (score > worst) {
            worst = score;
            landmark = static_cast<int>(k) + 1;
        }
    }
    return landmark;
}

int leastFitting(const Configuration& wing, const ShapeModel& model) {
    return leastFitting(completeShape(wing), model);
}

ShapeCheck checkShape(const PartialShape& wing, const ShapeModel& model, double fence) {
    ShapeCheck check{ShapeVerdict::Sound, partialDistance(wing, model.mean, Reflection::Allowed), fence, 0, 0};
    if (check.distance <= fence) return check;
    const Exchange exchange = bestExchange(wing, model.mean);
    if (exchange.distance <= fence) {
        check.verdict = ShapeVerdict::Exchanged;
        check.first = exchange.first;
        check.second = exchange.second;
        return check;
    }
    check.verdict = ShapeVerdict::Misplaced;
    check.first = leastFitting(wing, model);
    return check;
}

ShapeCheck checkShape(const PartialShape& wing, const ShapeModel& model) {
    return checkShape(wing, model, fenceOn(model, wing.present));
}

ShapeCheck checkShape(const Configuration& wing, const ShapeModel& model) {
    return checkShape(completeShape(wing), model, model.fence);
}

} // namespace kanat
