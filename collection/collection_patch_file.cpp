#include "collection/collection_patch_file.h"

#include "collection/patch_file.h"
#include "collection/picture_pyramid.h"
#include "collection/stored_patches.h"
#include "picture/picture_loader.h"
#include "results/file_names.h"
#include "results/text_file.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

namespace kanat {
namespace {

namespace fs = std::filesystem;

// The wing's squares from the first of the candidate pictures that loads and holds its landmarks.
std::vector<std::uint8_t> cutFromPicture(const std::vector<std::string>& candidates, const CollectionWing& wing,
                                         std::string& foundAt) {
    for (const std::string& path : candidates) {
        std::error_code error;
        if (path.empty() || !fs::is_regular_file(nativePath(path), error)) continue;
        const LoadedPicture loaded = loadPicture(QString::fromStdString(path));
        if (!loaded.ok()) continue;
        const PicturePyramid picture = pyramidOf(loaded.image);
        if (!wing.liesWithin(picture.levels.front().cols, picture.height)) continue; // another picture of the same name
        foundAt = utf8Path(fs::absolute(nativePath(path), error));
        return cutStoredPatches(picture, wing.landmarks);
    }
    return {};
}

// The entry as it is, at the end: appendWhole, made for text, starts a line of its own after a
// last byte that is no line end, which here would put "\r\n" before the entry and spoil it. Torn,
// it is a damaged last entry, which the reader leaves out.
WriteResult appendBinary(const std::string& path, const std::string& bytes) {
    errno = 0;
    std::ofstream file(nativePath(path), std::ios::binary | std::ios::app);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return {file ? 0 : (errno != 0 ? errno : EIO)};
}

std::uintmax_t sizeOf(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(nativePath(path), error);
    return error ? 0 : size;
}

// The file holds exactly the entries with squares, in order, and nothing damaged.
bool inStep(const PatchFileContent& stored, const std::vector<StoredPatches>& entries) {
    if (!stored.intact) return false;
    auto next = stored.entries.begin();
    for (const StoredPatches& entry : entries) {
        if (entry.pixels.empty()) continue;
        if (next == stored.entries.end() || next->id != entry.id || next->specimenKey != entry.specimenKey)
            return false;
        ++next;
    }
    return next == stored.entries.end();
}

} // namespace

CollectionPatchFile::CollectionPatchFile(std::string collectionPath) : collectionPath_(std::move(collectionPath)) {}

int CollectionPatchFile::withPixels() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const StoredPatches& entry) { return !entry.pixels.empty(); }));
}

std::vector<std::string> CollectionPatchFile::update(const std::vector<CollectionWing>& wings,
                                                     const PicturesById& known) {
    const std::string path = patchFilePath(collectionPath_);
    SpecimenKeys inCollection;
    for (const CollectionWing& wing : wings) inCollection.insert({wing.id, wing.key});
    PatchFileContent stored = readPatchFile(path, inCollection);
    // Where each ID's picture was last seen, even for a specimen edited since.
    std::map<std::string, std::string> lastSeenAt;
    std::map<std::pair<std::string, std::uint64_t>, StoredPatches*> byKey;
    for (StoredPatches& entry : stored.entries) {
        lastSeenAt[entry.id] = entry.picturePath;
        if (!entry.pixels.empty()) byKey[{entry.id, entry.specimenKey}] = &entry;
    }
    entries_.clear();
    std::vector<std::string> withoutPicture;
    for (const CollectionWing& wing : wings) {
        if (const auto found = byKey.find({wing.id, wing.key}); found != byKey.end()) {
            entries_.push_back(*found->second); // a copy: two specimens may be alike
            continue;
        }
        StoredPatches entry{wing.id, wing.key, {}, {}};
        const auto given = known.find(wing.id);
        const auto seen = lastSeenAt.find(wing.id);
        entry.pixels = cutFromPicture({given == known.end() ? std::string() : given->second,
                                       seen == lastSeenAt.end() ? std::string() : seen->second,
                                       pictureBeside(collectionPath_, wing.image)},
                                      wing, entry.picturePath);
        if (entry.pixels.empty()) withoutPicture.push_back(wing.id);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> warnings;
    if (!withoutPicture.empty())
        warnings.push_back(std::to_string(withoutPicture.size()) +
                           " kanadın resmi bulunamadı ya da noktalarına uymuyor; öneriler bu kanatlar olmadan "
                           "yapılıyor (" +
                           namedSpecimens(withoutPicture) + ")");
    if (inStep(stored, entries_)) {
        size_ = sizeOf(path);
        return warnings;
    }
    if (const std::string warning = write(); !warning.empty())
        warnings.push_back(warning + "; resimler her açılışta yeniden okunacak");
    return warnings;
}

std::string CollectionPatchFile::add(StoredPatches entry) {
    entries_.push_back(std::move(entry));
    if (entries_.back().pixels.empty()) return {};
    const std::string path = patchFilePath(collectionPath_);
    // Changed behind our back (or torn): a new entry appended there might not be read back.
    if (size_ == 0 || sizeOf(path) != size_) return write();
    const std::string bytes = encodePatchEntry(entries_.back());
    const WriteResult written = appendBinary(path, bytes);
    if (!written.ok()) return "\"" + path + "\" yazılamadı: " + describeWriteError(written.error);
    size_ += bytes.size();
    return {};
}

std::string CollectionPatchFile::write() {
    const std::string path = patchFilePath(collectionPath_);
    std::string bytes = patchFileHeader();
    for (const StoredPatches& entry : entries_)
        if (!entry.pixels.empty()) bytes += encodePatchEntry(entry);
    const WriteResult written = replaceWhole(path, bytes);
    if (!written.ok()) {
        size_ = 0;
        return "\"" + path + "\" yazılamadı: " + describeWriteError(written.error);
    }
    size_ = bytes.size();
    return {};
}

} // namespace kanat
