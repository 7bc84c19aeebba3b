#include "collection/procrustes.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kanat {
namespace {

// Σ conj(z)·m: the cosine of the angle between two centred shapes, and the rotation between them.
ComplexPoint innerProduct(const Configuration& z, const Configuration& m) {
    ComplexPoint sum{};
    for (std::size_t i = 0; i < z.size(); ++i) sum += std::conj(z[i]) * m[i];
    return sum;
}

Configuration mirrored(const Configuration& shape) {
    Configuration turned(shape.size());
    std::transform(shape.begin(), shape.end(), turned.begin(), [](ComplexPoint z) { return std::conj(z); });
    return turned;
}

struct Turn {
    ComplexPoint rotation; // Σ conj(z)·m of the turned shape
    bool reflected = false;
};

Turn bestTurn(const Configuration& shape, const Configuration& mean, Reflection reflection) {
    const Turn kept{innerProduct(shape, mean), false};
    if (reflection == Reflection::Never) return kept;
    const Turn turned{innerProduct(mirrored(shape), mean), true};
    if (reflection == Reflection::Always) return turned;
    return std::abs(turned.rotation) > std::abs(kept.rotation) ? turned : kept;
}

double squaredDistance(const Configuration& a, const Configuration& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::norm(a[i] - b[i]);
    return sum;
}

ComplexPoint centreOn(const Configuration& shape, const LandmarkMask& present) {
    ComplexPoint sum{};
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (present.has(i)) sum += shape[i];
    return present.count() == 0 ? sum : sum / static_cast<double>(present.count());
}

// Centred on the landmarks it has and scaled to centroid size 1 there; the others are set to 0.
PartialShape normalisedOn(const PartialShape& shape) {
    const ComplexPoint centre = centreOn(shape.points, shape.present);
    const double size = centroidSize(shape.points, shape.present);
    PartialShape result{Configuration(shape.points.size()), shape.present};
    for (std::size_t i = 0; i < shape.points.size(); ++i)
        if (shape.present.has(i) && size > 0) result.points[i] = (shape.points[i] - centre) / size;
    return result;
}

// The first wing with the most landmarks, those it lacks carried over from the other wings
// fitted onto it on the landmarks they share.
Configuration startingMean(const std::vector<PartialShape>& unit) {
    const auto most = std::max_element(unit.begin(), unit.end(), [](const PartialShape& a, const PartialShape& b) {
        return a.present.count() < b.present.count();
    });
    PartialShape start = *most;
    for (const PartialShape& shape : unit) {
        if (start.present.complete()) break;
        const LandmarkMask shared = start.present & shape.present;
        if (shared.count() < 2 || shared == shape.present) continue;
        const Similarity fit = fitSimilarity(shape.points, start.points, shared.weights(), Reflection::Allowed).map;
        for (std::size_t i = 0; i < start.points.size(); ++i)
            if (!start.present.has(i) && shape.present.has(i)) {
                start.points[i] = fit(shape.points[i]);
                start.present.add(i);
            }
    }
    if (!start.present.complete()) throw std::invalid_argument("alignGeneralised: a landmark that no wing has");
    return normalised(start.points);
}

} // namespace

PartialShape completeShape(Configuration points) {
    const std::size_t count = points.size();
    return {std::move(points), LandmarkMask::all(count)};
}

SimilarityFit fitSimilarity(const Configuration& from, const Configuration& to, const std::vector<double>& weights,
                            Reflection reflection) {
    double total = 0;
    ComplexPoint fromCentre{}, toCentre{};
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (weights[i] == 0) continue;
        total += weights[i];
        fromCentre += weights[i] * from[i];
        toCentre += weights[i] * to[i];
    }
    if (total <= 0) return {};
    fromCentre /= total;
    toCentre /= total;
    double spread = 0, target = 0;
    ComplexPoint kept{}, turned{};
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (weights[i] == 0) continue;
        const ComplexPoint x = from[i] - fromCentre;
        const ComplexPoint y = to[i] - toCentre;
        spread += weights[i] * std::norm(x);
        target += weights[i] * std::norm(y);
        kept += weights[i] * std::conj(x) * y;
        turned += weights[i] * x * y;
    }
    // One landmark (or all on one spot) fixes only where the shape goes.
    if (spread <= 0) return {Similarity{{1, 0}, toCentre - fromCentre, false}, target};
    const bool reflect =
        reflection == Reflection::Always || (reflection == Reflection::Allowed && std::abs(turned) > std::abs(kept));
    const ComplexPoint cross = reflect ? turned : kept;
    Similarity map{cross / spread, {}, reflect};
    map.b = toCentre - map.linear(fromCentre);
    return {map, std::max(0.0, target - std::norm(cross) / spread)};
}

SimilarityFit fitSimilarity(const Configuration& from, const Configuration& to, Reflection reflection) {
    return fitSimilarity(from, to, std::vector<double>(from.size(), 1.0), reflection);
}

ComplexPoint centroid(const Configuration& shape) {
    ComplexPoint sum{};
    for (const ComplexPoint z : shape) sum += z;
    return shape.empty() ? sum : sum / static_cast<double>(shape.size());
}

double centroidSize(const Configuration& shape) {
    const ComplexPoint centre = centroid(shape);
    double sum = 0;
    for (const ComplexPoint z : shape) sum += std::norm(z - centre);
    return std::sqrt(sum);
}

double centroidSize(const Configuration& shape, const LandmarkMask& present) {
    const ComplexPoint centre = centreOn(shape, present);
    double sum = 0;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (present.has(i)) sum += std::norm(shape[i] - centre);
    return std::sqrt(sum);
}

Configuration normalised(const Configuration& shape) {
    const ComplexPoint centre = centroid(shape);
    const double size = centroidSize(shape);
    Configuration result(shape.size());
    for (std::size_t i = 0; i < shape.size(); ++i) result[i] = size > 0 ? (shape[i] - centre) / size : ComplexPoint{};
    return result;
}

double procrustesDistance(const Configuration& shape, const Configuration& mean, Reflection reflection) {
    const double cosine = std::abs(bestTurn(normalised(shape), normalised(mean), reflection).rotation);
    return std::sqrt(std::max(0.0, 1.0 - cosine * cosine));
}

double partialDistance(const PartialShape& shape, const Configuration& mean, Reflection reflection) {
    const std::size_t present = shape.present.count();
    if (present < 3) return 0;
    const Similarity fit = fitSimilarity(shape.points, mean, shape.present.weights(), reflection).map;
    // Summed directly: the fit's residual, a difference of two sums, would lose half the digits near 0.
    double sum = 0;
    for (std::size_t i = 0; i < mean.size(); ++i)
        if (shape.present.has(i)) sum += std::norm(fit(shape.points[i]) - mean[i]);
    const double all = static_cast<double>(mean.size());
    return std::sqrt(sum * (2 * all - 4) / (2 * static_cast<double>(present) - 4));
}

LandmarkMask heldByAny(const std::vector<PartialShape>& shapes) {
    LandmarkMask held = LandmarkMask::all(shapes.empty() ? 0 : shapes.front().points.size());
    for (std::size_t i = 0; i < held.size(); ++i)
        if (std::none_of(shapes.begin(), shapes.end(), [&](const PartialShape& shape) { return shape.present.has(i); }))
            held.remove(i);
    return held;
}

ProcrustesAlignment alignGeneralised(const std::vector<PartialShape>& shapes) {
    std::vector<PartialShape> unit;
    std::vector<std::vector<double>> weights;
    unit.reserve(shapes.size());
    for (const auto& shape : shapes) {
        unit.push_back(normalisedOn(shape));
        weights.push_back(shape.present.weights());
    }
    ProcrustesAlignment result;
    result.mean = startingMean(unit);
    const std::size_t count = result.mean.size();
    // Each round fits every wing onto the mean on the landmarks it has and averages each landmark
    // over the wings that have it; a few rounds settle it.
    for (int round = 0; round < 100; ++round) {
        Configuration sum(count);
        std::vector<int> holders(count, 0);
        for (std::size_t w = 0; w < unit.size(); ++w) {
            const Similarity fit = fitSimilarity(unit[w].points, result.mean, weights[w], Reflection::Allowed).map;
            for (std::size_t i = 0; i < count; ++i)
                if (unit[w].present.has(i)) {
                    sum[i] += fit(unit[w].points[i]);
                    ++holders[i];
                }
        }
        for (std::size_t i = 0; i < count; ++i) sum[i] /= static_cast<double>(holders[i]);
        Configuration next = normalised(sum);
        const double change = squaredDistance(next, result.mean);
        result.mean = std::move(next);
        if (change < 1e-20) break;
    }
    for (std::size_t w = 0; w < unit.size(); ++w) {
        result.distances.push_back(partialDistance(unit[w], result.mean, Reflection::Allowed));
        result.reflected.push_back(
            fitSimilarity(unit[w].points, result.mean, weights[w], Reflection::Allowed).map.reflected);
    }
    return result;
}

ProcrustesAlignment alignGeneralised(const std::vector<Configuration>& shapes) {
    std::vector<PartialShape> complete;
    complete.reserve(shapes.size());
    for (const Configuration& shape : shapes) complete.push_back(completeShape(shape));
    return alignGeneralised(complete);
}

} // namespace kanat
