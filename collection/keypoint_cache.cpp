#include "collection/keypoint_cache.h"

#include "results/file_names.h"
#include "results/text_file.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kanat {
namespace {

constexpr std::string_view magic = "KANATKPT";
constexpr std::uint16_t version = 1;
constexpr int descriptorSize = 128; // SIFT's
// More than any wing needs: a shrunk picture of 4096² pixels and 100,000 keypoints.
constexpr std::uint64_t largestSide = 4096;
constexpr std::uint64_t mostPoints = 100000;
constexpr std::uint64_t longestId = 1024;
constexpr std::uint64_t longestBody =
    2 + longestId + 8 + 6 * 8 + 4 + largestSide * largestSide + 4 + mostPoints * (8 + descriptorSize);

void putNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putReal(std::string& out, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putNumber(out, bits, 8);
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
    std::optional<double> real() {
        const auto bits = number(8);
        if (!bits) return std::nullopt;
        double value = 0;
        std::memcpy(&value, &*bits, sizeof value);
        return value;
    }
    std::optional<std::string_view> run(std::uint64_t size) {
        if (bytes_.size() < size) return std::nullopt;
        const std::string_view part = bytes_.substr(0, size);
        bytes_.remove_prefix(size);
        return part;
    }

private:
    std::string_view bytes_;
};

// FNV-1a, enough to notice a torn or damaged entry.
std::uint64_t checksum(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : bytes) hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    return hash;
}

std::string fileHeader(const KeypointSettings& settings) {
    std::string header(magic);
    putNumber(header, version, 2);
    putReal(header, settings.centroidSize);
    putNumber(header, static_cast<std::uint64_t>(settings.count), 4);
    putReal(header, settings.contrast);
    putReal(header, settings.edge);
    return header;
}

} // namespace

std::string keypointFilePath(const std::string& collectionPath) { return collectionPath + ".kanat-keypoints"; }

std::string encodeKeypoints(const WingKeypoints& keypoints) {
    const ShrunkPicture& picture = keypoints.picture;
    std::string out;
    for (const double value :
         {picture.scaleX, picture.offsetX, picture.scaleY, picture.offsetY, picture.sourceWidth, picture.sourceHeight})
        putReal(out, value);
    putNumber(out, static_cast<std::uint64_t>(picture.grey.cols), 2);
    putNumber(out, static_cast<std::uint64_t>(picture.grey.rows), 2);
    for (int row = 0; row < picture.grey.rows; ++row)
        out.append(picture.grey.ptr<char>(row), static_cast<std::size_t>(picture.grey.cols));
    putNumber(out, keypoints.points.size(), 4);
    for (const cv::Point2f point : keypoints.points) {
        putReal(out, point.x);
        putReal(out, point.y);
    }
    // SIFT's descriptors are whole numbers from 0 to 255 kept as floats: a byte each loses nothing.
    for (int row = 0; row < keypoints.descriptors.rows; ++row)
        for (int k = 0; k < descriptorSize; ++k)
            out += static_cast<char>(cv::saturate_cast<std::uint8_t>(keypoints.descriptors.at<float>(row, k)));
    return out;
}

std::optional<WingKeypoints> decodeKeypoints(std::string_view bytes) {
    ByteReader reader(bytes);
    WingKeypoints keypoints;
    ShrunkPicture& picture = keypoints.picture;
    for (double* value : {&picture.scaleX, &picture.offsetX, &picture.scaleY, &picture.offsetY, &picture.sourceWidth,
                          &picture.sourceHeight}) {
        const auto read = reader.real();
        if (!read || !std::isfinite(*read)) return std::nullopt;
        *value = *read;
    }
    const auto columns = reader.number(2), rows = reader.number(2);
    if (!rows || *columns > largestSide || *rows > largestSide) return std::nullopt;
    const auto pixels = reader.run(*columns * *rows);
    if (!pixels) return std::nullopt;
    picture.grey = cv::Mat(static_cast<int>(*rows), static_cast<int>(*columns), CV_8U);
    std::memcpy(picture.grey.data, pixels->data(), pixels->size());
    const auto count = reader.number(4);
    if (!count || *count > mostPoints || reader.left() != *count * (16 + descriptorSize)) return std::nullopt;
    for (std::uint64_t i = 0; i < *count; ++i) {
        const double x = *reader.real(), y = *reader.real();
        keypoints.points.emplace_back(static_cast<float>(x), static_cast<float>(y));
    }
    keypoints.descriptors = cv::Mat(static_cast<int>(*count), descriptorSize, CV_32F);
    const std::string_view descriptors = *reader.run(*count * descriptorSize);
    for (int row = 0; row < keypoints.descriptors.rows; ++row)
        for (int k = 0; k < descriptorSize; ++k)
            keypoints.descriptors.at<float>(row, k) = static_cast<unsigned char>(
                descriptors[static_cast<std::size_t>(row) * descriptorSize + static_cast<std::size_t>(k)]);
    return keypoints;
}

KeypointCache::KeypointCache(KeypointSettings settings) : settings_(settings) {}

KeypointCache::KeypointCache(std::string filePath, KeypointSettings settings)
    : settings_(settings), path_(std::move(filePath)) {
    std::ifstream file(nativePath(path_), std::ios::binary);
    const std::string header = fileHeader(settings_);
    std::string bytes(header.size(), '\0');
    if (!file.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) || bytes != header) {
        changed_ = true; // made otherwise, or no file: written anew
        return;
    }
    std::string lead(12, '\0');
    while (file.read(lead.data(), static_cast<std::streamsize>(lead.size()))) {
        ByteReader reader(lead);
        const std::uint64_t size = *reader.number(4), sum = *reader.number(8);
        // A length that cannot be: nothing after it is trusted.
        if (size > longestBody) break;
        bytes.resize(size);
        if (!file.read(bytes.data(), static_cast<std::streamsize>(size))) break;
        ByteReader body(bytes);
        const auto idSize = body.number(2);
        const auto id = idSize && *idSize <= longestId ? body.run(*idSize) : std::nullopt;
        const auto key = id ? body.number(8) : std::nullopt;
        auto keypoints =
            key && checksum(bytes) == sum ? decodeKeypoints(bytes.substr(bytes.size() - body.left())) : std::nullopt;
        if (!keypoints) {
            changed_ = true; // damaged: written anew without it
            continue;
        }
        known_[{std::string(*id), *key}] = std::make_shared<const WingKeypoints>(std::move(*keypoints));
    }
    if (!file.eof() || file.gcount() > 0) changed_ = true; // torn or damaged: written anew
}

std::shared_ptr<const WingKeypoints> KeypointCache::keypoints(const std::string& id, std::uint64_t key,
                                                              const Configuration& landmarks,
                                                              const PictureSource& picture) {
    {
        const std::lock_guard lock(mutex_);
        if (const auto found = known_.find({id, key}); found != known_.end()) return found->second;
    }
    // Found outside the lock: reading a picture and its keypoints takes a while.
    const std::optional<PicturePyramid> pyramid = picture ? picture() : std::nullopt;
    if (!pyramid || pyramid->levels.empty()) return nullptr;
    auto found = std::make_shared<const WingKeypoints>(collectionWingKeypoints(*pyramid, landmarks, settings_));
    const std::lock_guard lock(mutex_);
    changed_ = true;
    return known_.try_emplace({id, key}, std::move(found)).first->second;
}

std::string KeypointCache::save() {
    const std::lock_guard lock(mutex_);
    if (path_.empty() || !changed_) return {};
    std::string bytes = fileHeader(settings_);
    for (const auto& [key, keypoints] : known_) {
        if (key.first.size() > longestId) continue; // no ID a user wrote; found again next time
        std::string body;
        putNumber(body, key.first.size(), 2);
        body += key.first;
        putNumber(body, key.second, 8);
        body += encodeKeypoints(*keypoints);
        putNumber(bytes, body.size(), 4);
        putNumber(bytes, checksum(body), 8);
        bytes += body;
    }
    const WriteResult written = replaceWhole(path_, bytes);
    if (!written.ok()) return "\"" + path_ + "\" yazılamadı: " + describeWriteError(written.error);
    changed_ = false;
    return {};
}

} // namespace kanat
