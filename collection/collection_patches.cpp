#include "collection/collection_patches.h"

#include "collection/landmark_templates.h"
#include "collection/patch_file.h"
#include "picture/picture_loader.h"
#include "results/file_names.h"
#include "results/text_file.h"

#include <QImage>
#include <QString>

#include <filesystem>
#include <map>
#include <set>

namespace kanat {
namespace {

namespace fs = std::filesystem;

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

std::uintmax_t sizeOf(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

PatchFileWrite writeWhole(const std::string& patchPath, const std::vector<PatchEntry>& entries) {
    std::string bytes = patchFileHeader();
    for (const PatchEntry& entry : entries)
        if (!entry.pixels.empty()) bytes += encodePatchEntry(entry);
    const WriteResult written = replaceWhole(patchPath, bytes);
    if (!written.ok())
        return {0, "\"" + patchPath + "\" yazılamadı: " + describeWriteError(written.error)};
    return {bytes.size(), {}};
}

// What the patch file knows: the squares of each wing by its key, and where each ID's picture
// was last seen, even for a specimen edited since.
struct PatchFileKnowledge {
    std::map<std::pair<std::string, std::uint64_t>, const PatchEntry*> byKey;
    std::map<std::string, std::string> lastSeenAt;
};

PatchFileKnowledge knowledgeOf(const PatchFileContent& stored) {
    PatchFileKnowledge knowledge;
    for (const PatchEntry& entry : stored.entries) {
        if (!entry.pixels.empty()) knowledge.byKey[{entry.id, entry.specimenKey}] = &entry;
        knowledge.lastSeenAt[entry.id] = entry.picturePath;
    }
    return knowledge;
}

PatchEntry entryFor(const CollectionWing& wing, const PatchFileKnowledge& knowledge,
                    const std::string& collectionPath, const PicturesById& known) {
    if (const auto found = knowledge.byKey.find({wing.id, wing.key});
        found != knowledge.byKey.end())
        return *found->second;
    const auto seen = knowledge.lastSeenAt.find(wing.id);
    const auto given = known.find(wing.id);
    PatchEntry entry{wing.id, wing.key, {}, {}};
    entry.pixels =
        cutFromPicture({given == known.end() ? std::string() : given->second,
                        seen == knowledge.lastSeenAt.end() ? std::string() : seen->second,
                        pictureBeside(collectionPath, wing.image)},
                       wing, entry.picturePath);
    return entry;
}

// The file holds exactly the entries with squares, in order, and nothing damaged.
bool inStep(const PatchFileContent& stored, const std::vector<PatchEntry>& entries) {
    if (!stored.intact) return false;
    auto next = stored.entries.begin();
    for (const PatchEntry& entry : entries) {
        if (entry.pixels.empty()) continue;
        if (next == stored.entries.end() || next->id != entry.id ||
            next->specimenKey != entry.specimenKey)
            return false;
        ++next;
    }
    return next == stored.entries.end();
}

} // namespace

CollectionPatches updatePatchFile(const std::string& collectionPath,
                                  const std::vector<CollectionWing>& wings,
                                  const PicturesById& known) {
    const std::string patchPath = patchFilePath(collectionPath);
    std::set<std::pair<std::string, std::uint64_t>> inCollection;
    for (const CollectionWing& wing : wings)
        inCollection.insert({wing.id, wing.key});
    const PatchFileContent stored = readPatchFile(patchPath, [&](const PatchEntry& entry) {
        return inCollection.count({entry.id, entry.specimenKey}) > 0;
    });
    const PatchFileKnowledge knowledge = knowledgeOf(stored);
    CollectionPatches patches;
    std::vector<std::string> withoutPicture;
    for (const CollectionWing& wing : wings) {
        patches.entries.push_back(entryFor(wing, knowledge, collectionPath, known));
        if (patches.entries.back().pixels.empty()) withoutPicture.push_back(wing.id);
    }
    if (!withoutPicture.empty())
        patches.warnings.push_back(std::to_string(withoutPicture.size()) +
                                   " kanadın resmi bulunamadı ya da noktalarına uymuyor; öneriler "
                                   "bu kanatlar olmadan yapılıyor (" +
                                   namedSpecimens(withoutPicture) + ")");
    if (inStep(stored, patches.entries)) {
        patches.fileSize = sizeOf(patchPath);
        return patches;
    }
    const PatchFileWrite written = writeWhole(patchPath, patches.entries);
    patches.fileSize = written.fileSize;
    if (!written.warning.empty())
        patches.warnings.push_back(written.warning + "; resimler her açılışta yeniden okunacak");
    return patches;
}

PatchFileWrite savePatchEntry(const std::string& collectionPath,
                              const std::vector<PatchEntry>& entries, std::uintmax_t knownSize) {
    const std::string patchPath = patchFilePath(collectionPath);
    // Changed behind our back (or torn): a new entry appended there might not be read back.
    if (knownSize == 0 || sizeOf(patchPath) != knownSize) return writeWhole(patchPath, entries);
    const std::string entry = encodePatchEntry(entries.back());
    const WriteResult written = appendWhole(patchPath, entry);
    if (!written.ok())
        return {knownSize,
                "\"" + patchPath + "\" yazılamadı: " + describeWriteError(written.error)};
    return {knownSize + entry.size(), {}};
}

} // namespace kanat
