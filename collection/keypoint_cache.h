#pragma once

#include "collection/wing_keypoints.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kanat {

// The keypoints of the collection's wings, each found once from its picture: kept in memory by
// the wing's ID and specimen key (so that a specimen edited by hand is found again) and, when
// given a path, in a file beside the collection, so that opening the collection again reads no
// picture. A wing's entry is about 70 kB. Safe to use from several threads at once.
class KeypointCache {
public:
    explicit KeypointCache(KeypointSettings settings = {});
    // Reads what the file holds; a missing, damaged or differently made file counts as empty.
    KeypointCache(std::string filePath, KeypointSettings settings);

    using PictureSource = std::function<std::optional<PicturePyramid>()>;
    // The wing's keypoints: at once when known, otherwise found in the picture `picture` gives;
    // none without a picture.
    std::shared_ptr<const WingKeypoints> keypoints(const std::string& id, std::uint64_t key,
                                                   const Configuration& landmarks, const PictureSource& picture);

    // Writes the file anew when a wing was added since it was read; a Turkish warning when it
    // cannot be written.
    std::string save();

    const KeypointSettings& settings() const { return settings_; }

private:
    using Key = std::pair<std::string, std::uint64_t>;
    KeypointSettings settings_;
    std::string path_;
    std::mutex mutex_;
    std::map<Key, std::shared_ptr<const WingKeypoints>> known_;
    bool changed_ = false;
};

// Beside the collection file: its name with ".kanat-keypoints" added.
std::string keypointFilePath(const std::string& collectionPath);

// One wing's keypoints as the file holds them, and back; none from bytes that are not one.
std::string encodeKeypoints(const WingKeypoints& keypoints);
std::optional<WingKeypoints> decodeKeypoints(std::string_view bytes);

} // namespace kanat
