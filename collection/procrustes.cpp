#include "collection/procrustes.h"

#include <algorithm>
#include <cmath>

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

// The full Procrustes distance, summed directly: 1 − |c|² would lose half the digits near 0.
double fullDistance(const Configuration& unitShape, const Configuration& unitMean, const Turn& turn) {
    double sum = 0;
    for (std::size_t i = 0; i < unitShape.size(); ++i) {
        const ComplexPoint point = turn.reflected ? std::conj(unitShape[i]) : unitShape[i];
        sum += std::norm(turn.rotation * point - unitMean[i]);
    }
    return std::sqrt(sum);
}

} // namespace

SimilarityFit fitSimilarity(const Configuration& from, const Configuration& to, const std::vector<double>& weights,
                            Reflection reflection) {
    double total = 0;
    ComplexPoint fromCentre{}, toCentre{};
    for (std::size_t i = 0; i < from.size(); ++i) {
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

ProcrustesAlignment alignGeneralised(const std::vector<Configuration>& shapes) {
    std::vector<Configuration> unit;
    unit.reserve(shapes.size());
    for (const auto& shape : shapes) unit.push_back(normalised(shape));
    ProcrustesAlignment result;
    result.mean = unit.front();
    // Each round fits every wing onto the mean and averages them; a few rounds settle it.
    for (int round = 0; round < 100; ++round) {
        Configuration sum(result.mean.size());
        for (const auto& shape : unit) {
            const Turn turn = bestTurn(shape, result.mean, Reflection::Allowed);
            const Configuration& source = turn.reflected ? mirrored(shape) : shape;
            for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += turn.rotation * source[i];
        }
        Configuration next = normalised(sum);
        const double change = squaredDistance(next, result.mean);
        result.mean = std::move(next);
        if (change < 1e-20) break;
    }
    for (const auto& shape : unit) {
        const Turn turn = bestTurn(shape, result.mean, Reflection::Allowed);
        result.distances.push_back(fullDistance(shape, result.mean, turn));
        result.reflected.push_back(turn.reflected);
    }
    return result;
}

} // namespace kanat
