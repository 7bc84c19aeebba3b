#include "collection/patch_file.h"

#include "collection/stored_patches.h"
#include "measure/landmark_sheet.h"
#include "results/file_names.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

namespace kanat {
namespace {

constexpr std::string_view magic = "KANATPCH";
constexpr std::uint16_t version = 1;
// Longer IDs and paths than these are no ID or path a user wrote.
constexpr std::size_t longestId = 1024;
constexpr std::size_t longestPath = 4096;
constexpr std::size_t pixelBytes = landmarkCount * storedPatchBytes;
constexpr std::size_t longestBody = 2 + longestId + 8 + 2 + longestPath + pixelBytes;

// FNV-1a over eight-byte words, then the bytes left: quick enough for megabytes of patches.
std::uint64_t checksum(std::string_view bytes) {
    constexpr std::uint64_t prime = 1099511628211ull;
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        hash = (hash ^ word) * prime;
        hash ^= hash >> 29;
    }
    for (; i < bytes.size(); ++i) hash = (hash ^ static_cast<unsigned char>(bytes[i])) * prime;
    return hash;
}

void putNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Reads little-endian numbers and byte runs, refusing to read past the end.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    std::size_t left() const { return bytes_.size(); }
    std::optional<std::uint64_t> number(int size) {
        if (bytes_.size() < static_cast<std::size_t>(size)) return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) value |= std::uint64_t{static_cast<unsigned char>(bytes_[i])} << (8 * i);
        bytes_.remove_prefix(static_cast<std::size_t>(size));
        return value;
    }
    std::optional<std::string_view> run(std::size_t size) {
        if (bytes_.size() < size) return std::nullopt;
        const std::string_view part = bytes_.substr(0, size);
        bytes_.remove_prefix(size);
        return part;
    }

private:
    std::string_view bytes_;
};

std::optional<std::string_view> sizedText(ByteReader& reader, std::size_t longest) {
    const auto size = reader.number(2);
    if (!size || *size > longest) return std::nullopt;
    return reader.run(*size);
}

std::optional<StoredPatches> entryOf(std::string_view body) {
    ByteReader reader(body);
    const auto id = sizedText(reader, longestId);
    const auto key = reader.number(8);
    const auto path = key ? sizedText(reader, longestPath) : std::nullopt;
    if (!id || !path || reader.left() != pixelBytes) return std::nullopt;
    const auto pixels = reader.run(pixelBytes);
    return StoredPatches{std::string(*id), *key, std::string(*path),
                         std::vector<std::uint8_t>(pixels->begin(), pixels->end())};
}

} // namespace

std::string patchFilePath(const std::string& collectionPath) { return collectionPath + ".kanat-patches"; }

std::string patchFileHeader() {
    std::string header(magic);
    putNumber(header, version, 2);
    putNumber(header, landmarkCount, 2);
    putNumber(header, storedPatchSide, 2);
    putNumber(header, static_cast<std::uint64_t>(canonicalCentroidSize), 2);
    return header;
}

std::string encodePatchEntry(const StoredPatches& entry) {
    std::string body;
    putNumber(body, std::min(entry.id.size(), longestId), 2);
    body += entry.id.substr(0, longestId);
    putNumber(body, entry.specimenKey, 8);
    // A path too long to keep is only a hint lost: the picture is also looked for beside the
    // collection.
    const std::string path = entry.picturePath.size() <= longestPath ? entry.picturePath : std::string();
    putNumber(body, path.size(), 2);
    body += path;
    body.append(reinterpret_cast<const char*>(entry.pixels.data()), entry.pixels.size());
    std::string out;
    putNumber(out, body.size(), 4);
    putNumber(out, checksum(body), 8);
    return out + body;
}

namespace {

// `wanted` null: every entry's squares are kept.
PatchFileContent readEntries(std::istream& in, const SpecimenKeys* wanted) {
    const std::string header = patchFileHeader();
    std::string bytes(header.size(), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) || bytes != header) return {};
    PatchFileContent content{{}, true};
    std::string lead(12, '\0');
    while (in.read(lead.data(), static_cast<std::streamsize>(lead.size()))) {
        ByteReader reader(lead);
        const std::uint64_t size = *reader.number(4);
        const std::uint64_t sum = *reader.number(8);
        bytes.resize(size <= longestBody ? size : 0);
        if (size > longestBody || !in.read(bytes.data(), static_cast<std::streamsize>(size))) {
            content.intact = false; // truncated, or a length that cannot be: nothing after it is trusted
            return content;
        }
        auto entry = checksum(bytes) == sum ? entryOf(bytes) : std::nullopt;
        if (!entry) {
            content.intact = false;
            continue;
        }
        if (wanted && wanted->count({entry->id, entry->specimenKey}) == 0) entry->pixels = {};
        content.entries.push_back(std::move(*entry));
    }
    // A few bytes after the last whole entry: a write that was cut short.
    if (in.gcount() > 0) content.intact = false;
    return content;
}

} // namespace

PatchFileContent readPatchFile(std::istream& in, const SpecimenKeys& wanted) { return readEntries(in, &wanted); }

PatchFileContent readPatchFile(const std::string& path, const SpecimenKeys& wanted) {
    std::ifstream file(nativePath(path), std::ios::binary);
    if (!file) return {};
    return readPatchFile(file, wanted);
}

PatchFileContent parsePatchFile(std::string_view bytes) {
    std::istringstream in{std::string(bytes)};
    return readEntries(in, nullptr);
}

} // namespace kanat
