#include "collection/collection_keypoints.h"

#include "picture/picture_loader.h"
#include "results/file_names.h"

#include <QImage>
#include <QString>

#include <filesystem>

namespace kanat {
namespace {

std::optional<PicturePyramid> firstPicture(const std::vector<std::string>& candidates, const CollectionWing& wing) {
    for (const std::string& path : candidates) {
        std::error_code error;
        if (path.empty() || !std::filesystem::is_regular_file(nativePath(path), error)) continue;
        const LoadedPicture loaded = loadPicture(QString::fromStdString(path));
        if (!loaded.ok()) continue;
        PicturePyramid picture = pyramidOf(loaded.image);
        if (wing.liesWithin(picture.levels.front().cols, picture.height))
            return picture; // not another picture of the same name
    }
    return std::nullopt;
}

} // namespace

std::vector<std::shared_ptr<const WingKeypoints>> collectionKeypoints(const std::string& collectionPath,
                                                                      const std::vector<CollectionWing>& wings,
                                                                      const std::vector<StoredPatches>& patches,
                                                                      KeypointCache& cache) {
    std::vector<std::shared_ptr<const WingKeypoints>> keypoints;
    for (std::size_t i = 0; i < wings.size(); ++i) {
        const CollectionWing& wing = wings[i];
        const std::string seenAt = i < patches.size() ? patches[i].picturePath : std::string();
        keypoints.push_back(cache.keypoints(wing.id, wing.key, wing.landmarks, [&] {
            return firstPicture({seenAt, pictureBeside(collectionPath, wing.image)}, wing);
        }));
    }
    return keypoints;
}

} // namespace kanat
