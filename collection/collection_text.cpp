#include "collection/collection_text.h"

#include "measure/landmark_sheet.h"
#include "measure/number_text.h"
#include "results/code_page_1254.h"

#include <algorithm>
#include <cmath>

namespace kanat {

bool CollectionWing::liesWithin(double width, double height) const {
    for (std::size_t i = 0; i < landmarks.size(); ++i) {
        if (!present.has(i)) continue;
        const ComplexPoint point = landmarks[i];
        if (point.real() < 0 || point.real() > width || point.imag() < 0 || point.imag() > height) return false;
    }
    return true;
}
namespace {

constexpr double farthestCoordinate = 1e7;

} // namespace

std::string namedSpecimens(const std::vector<std::string>& ids) {
    std::string text;
    for (std::size_t i = 0; i < ids.size() && i < 5; ++i) text += (i ? ", ID=" : "ID=") + ids[i];
    return ids.size() > 5 ? text + ", …" : text;
}

std::uint64_t specimenKey(const TpsSpecimen& specimen) {
    std::uint64_t hash = 14695981039346656037ull;
    auto add = [&](std::string_view text) {
        for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        hash = (hash ^ 0xFFu) * 1099511628211ull; // ends each text, so "1 23" differs from "12 3"
    };
    for (const auto& [x, y] : specimen.landmarks) {
        add(x);
        add(y);
    }
    add(specimen.image);
    add(specimen.id);
    return hash;
}

std::vector<std::optional<ComplexPoint>> landmarksOf(const TpsSpecimen& specimen) {
    std::vector<std::optional<ComplexPoint>> points(landmarkCount);
    for (std::size_t i = 0; i < points.size() && i < specimen.landmarks.size(); ++i) {
        const auto& [x, y] = specimen.landmarks[i];
        if (x.empty()) continue;
        const ComplexPoint point{parseLocale(x, '.'), parseLocale(y, '.')};
        // Beyond any picture (or not a number at all): a slip of the pen, not a landmark.
        if (std::abs(point.real()) < farthestCoordinate && std::abs(point.imag()) < farthestCoordinate)
            points[i] = point;
    }
    return points;
}

CollectionText readCollectionText(std::string_view content, const std::string& fileName) {
    CollectionText text;
    std::vector<std::string> otherCounts, unplaced, degenerate;
    const std::vector<TpsSpecimen> specimens = readTps(asUtf8(content), fileName);
    for (std::size_t i = 0; i < specimens.size(); ++i) {
        const TpsSpecimen& specimen = specimens[i];
        const std::string id = specimen.id.empty() ? std::to_string(i + 1) : specimen.id;
        if (specimen.landmarks.size() != static_cast<std::size_t>(landmarkCount)) {
            otherCounts.push_back(id);
            continue;
        }
        const auto points = landmarksOf(specimen);
        CollectionWing wing{id, specimenKey(specimen), specimen.image, Configuration(points.size()),
                            LandmarkMask::all(points.size())};
        for (std::size_t k = 0; k < points.size(); ++k) {
            // Some writers mark a missing landmark with a negative pair (-99 -99, say) rather than -1 -1.
            if (points[k] && points[k]->real() >= 0 && points[k]->imag() >= 0)
                wing.landmarks[k] = *points[k];
            else
                wing.present.remove(k);
        }
        if (wing.present.missing() > static_cast<std::size_t>(mostLandmarksMissing)) {
            unplaced.push_back(id);
            continue;
        }
        // Landmarks all on one spot have no shape to compare or scale a patch by.
        if (centroidSize(wing.landmarks, wing.present) < 1) {
            degenerate.push_back(id);
            continue;
        }
        text.wings.push_back(std::move(wing));
    }
    if (!otherCounts.empty())
        text.warnings.push_back(fileName + ": " + std::to_string(otherCounts.size()) +
                                " örnekte 18'den başka sayıda nokta var, koleksiyona katılmadı (" +
                                namedSpecimens(otherCounts) + ")");
    if (!unplaced.empty())
        text.warnings.push_back(
            fileName + ": " + std::to_string(unplaced.size()) + " örnekte " + std::to_string(mostLandmarksMissing) +
            "'ten fazla nokta eksik ya da geçersiz (-1 -1), koleksiyona katılmadı (" + namedSpecimens(unplaced) + ")");
    if (!degenerate.empty())
        text.warnings.push_back(fileName + ": " + std::to_string(degenerate.size()) +
                                " örnekte noktalar üst üste, koleksiyona katılmadı (" + namedSpecimens(degenerate) +
                                ")");
    return text;
}

void estimateMissing(CollectionWing& wing, const Configuration& mean) {
    if (wing.present.complete() || mean.size() != wing.landmarks.size()) return;
    const Similarity fit = fitSimilarity(mean, wing.landmarks, wing.present.weights(), Reflection::Allowed).map;
    for (std::size_t k = 0; k < wing.landmarks.size(); ++k)
        if (!wing.present.has(k)) wing.landmarks[k] = fit(mean[k]);
}

} // namespace kanat
