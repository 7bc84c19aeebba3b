#include "collection/placer_wings.h"

#include "collection/collection_patch_file.h"
#include "picture/picture_loader.h"
#include "results/file_names.h"

#include <QImage>
#include <QString>

#include <filesystem>

namespace kanat {
namespace {

bool holds(const PicturePyramid& picture, const Configuration& landmarks) {
    const double width = picture.levels.front().cols;
    for (const ComplexPoint point : landmarks)
        if (point.real() < 0 || point.real() > width || point.imag() < 0 || point.imag() > picture.height) return false;
    return true;
}

std::optional<PicturePyramid> firstPicture(const std::vector<std::string>& candidates, const Configuration& landmarks) {
    for (const std::string& path : candidates) {
        std::error_code error;
        if (path.empty() || !std::filesystem::is_regular_file(path, error)) continue;
        const LoadedPicture loaded = loadPicture(QString::fromStdString(path));
        if (!loaded.ok()) continue;
        PicturePyramid picture = pyramidOf(loaded.image);
        if (holds(picture, landmarks)) return picture; // not another picture of the same name
    }
    return std::nullopt;
}

} // namespace

std::vector<PlacerWing> placerWings(const std::string& collectionPath, const std::vector<CollectionWing>& wings,
                                    const std::vector<StoredPatches>& patches, KeypointCache& cache) {
    std::vector<PlacerWing> placerWings;
    for (std::size_t i = 0; i < wings.size(); ++i) {
        const CollectionWing& wing = wings[i];
        PlacerWing placerWing{wing.landmarks, {}, nullptr};
        std::string seenAt;
        if (i < patches.size()) {
            placerWing.patches = patches[i].pixels;
            seenAt = patches[i].picturePath;
        }
        placerWing.keypoints = cache.keypoints(wing.id, wing.key, wing.landmarks, [&] {
            return firstPicture({seenAt, pictureBeside(collectionPath, wing.image)}, wing.landmarks);
        });
        placerWings.push_back(std::move(placerWing));
    }
    return placerWings;
}

} // namespace kanat
