#include "collection/collection_patches.h"

#include "collection/landmark_templates.h"
#include "collection/patch_file.h"
#include "picture/picture_loader.h"
#include "results/text_file.h"

#include <QImage>
#include <QString>

#include <filesystem>
#include <map>

namespace kanat {
namespace {

namespace fs = std::filesystem;

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool holdsLandmarks(const PicturePyramid& picture, const Configuration& landmarks) {
    const double width = picture.levels.front().cols;
    for (const PlanePoint point : landmarks)
        if (point.real() < 0 || point.real() > width || point.imag() < 0 ||
            point.imag() > picture.height)
            return false;
    return true;
}

// The wing's squares from the first of the candidate pictures that loads and holds its landmarks.
std::vector<std::uint8_t> cutFromPicture(const std::vector<std::string>& candidates,
                                         const CollectionWing& wing, std::string& foundAt) {
    for (const std::string& path : candidates) {
        std::error_code error;
        if (path.empty() || !fs::is_regular_file(path, error)) continue;
        const LoadedPicture loaded = loadPicture(QString::fromStdString(path));
        if (!loaded.ok()) continue;
        const PicturePyramid picture = pyramidOf(loaded.image);
        if (!holdsLandmarks(picture, wing.landmarks)) continue; // another picture of the same name
        foundAt = fs::absolute(path, error).string();
        return cutStoredPatches(picture, wing.landmarks);
    }
    return {};
}

std::string someIds(const std::vector<std::string>& ids) {
    std::string text;
    for (std::size_t i = 0; i < ids.size() && i < 5; ++i)
        text += (i ? ", ID=" : "ID=") + ids[i];
    return ids.size() > 5 ? text + ", …" : text;
}

} // namespace

std::string pictureBeside(const std::string& collectionPath, const std::string& image) {
    if (image.empty()) return {};
    const fs::path folder = fs::path(collectionPath).parent_path();
    const fs::path asGiven = fs::path(image).is_absolute() ? fs::path(image) : folder / image;
    std::error_code error;
    if (fs::exists(asGiven, error)) return asGiven.string();
    return (folder / fileNameOf(image)).string();
}

CollectionPatches updatePatchFile(const std::string& collectionPath,
                                  const std::vector<CollectionWing>& wings) {
    const std::string patchPath = patchFilePath(collectionPath);
    PatchFileContent stored = readPatchFile(patchPath);
    std::map<std::pair<std::string, std::uint64_t>, const PatchEntry*> byKey;
    std::map<std::string, std::string>
        lastSeenAt; // the picture of an ID, even of an edited specimen
    for (const PatchEntry& entry : stored.entries) {
        byKey[{entry.id, entry.specimenKey}] = &entry;
        lastSeenAt[entry.id] = entry.picturePath;
    }
    CollectionPatches patches;
    std::vector<PatchEntry> kept;
    std::vector<std::string> withoutPicture;
    for (const CollectionWing& wing : wings) {
        if (const auto found = byKey.find({wing.id, wing.key}); found != byKey.end()) {
            patches.pixels.push_back(found->second->pixels);
            kept.push_back(*found->second);
            continue;
        }
        std::string foundAt;
        const auto seen = lastSeenAt.find(wing.id);
        auto pixels = cutFromPicture({seen == lastSeenAt.end() ? std::string() : seen->second,
                                      pictureBeside(collectionPath, wing.image)},
                                     wing, foundAt);
        if (pixels.empty())
            withoutPicture.push_back(wing.id);
        else
            kept.push_back({wing.id, wing.key, foundAt, pixels});
        patches.pixels.push_back(std::move(pixels));
    }
    if (!withoutPicture.empty())
        patches.warnings.push_back(
            std::to_string(withoutPicture.size()) +
            " kanadın resmi bulunamadı ya da noktalarına uymuyor; öneriler bu kanatlar olmadan "
            "yapılıyor (" +
            someIds(withoutPicture) + ")");
    const bool inStep = stored.intact && kept.size() == stored.entries.size() &&
                        std::equal(kept.begin(), kept.end(), stored.entries.begin(),
                                   [](const auto& a, const auto& b) {
                                       return a.id == b.id && a.specimenKey == b.specimenKey;
                                   });
    if (inStep) return patches;
    std::string bytes = patchFileHeader();
    for (const PatchEntry& entry : kept)
        bytes += encodePatchEntry(entry);
    const WriteResult written = replaceWhole(patchPath, bytes);
    if (!written.ok())
        patches.warnings.push_back("\"" + patchPath +
                                   "\" yazılamadı: " + describeWriteError(written.error) +
                                   "; resimler her açılışta yeniden okunacak");
    return patches;
}

std::string appendToPatchFile(const std::string& collectionPath, const CollectionWing& wing,
                              const std::vector<std::uint8_t>& pixels,
                              const std::string& picturePath) {
    const std::string patchPath = patchFilePath(collectionPath);
    std::error_code error;
    const std::string entry =
        encodePatchEntry({wing.id, wing.key, fs::absolute(picturePath, error).string(), pixels});
    // Behind a torn or damaged entry a new one could not be read back: such a file is written anew.
    const PatchFileContent existing = readPatchFile(patchPath);
    WriteResult written;
    if (existing.intact) {
        written = appendWhole(patchPath, entry);
    } else {
        std::string bytes = patchFileHeader();
        for (const PatchEntry& sound : existing.entries)
            bytes += encodePatchEntry(sound);
        written = replaceWhole(patchPath, bytes + entry);
    }
    if (written.ok()) return {};
    return "\"" + patchPath + "\" yazılamadı: " + describeWriteError(written.error);
}

} // namespace kanat
