#include "picture/stated_resolution.h"

#include "measure/number_text.h"
#include "picture/byte_view.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace kanat {
namespace {

constexpr double mmPerInch = 25.4;

// What a file states may be anything; a stated resolution is a positive number.
std::optional<double> positive(double pixelsPerMm) {
    if (std::isfinite(pixelsPerMm) && pixelsPerMm > 0) return pixelsPerMm;
    return std::nullopt;
}

std::uint16_t bigEndian16(const ByteView& file, qint64 at) {
    return static_cast<std::uint16_t>(file.u8(at) << 8 | file.u8(at + 1));
}

std::uint32_t bigEndian32(const ByteView& file, qint64 at) {
    return static_cast<std::uint32_t>(bigEndian16(file, at)) << 16 | bigEndian16(file, at + 2);
}

std::optional<double> bmpPixelsPerMm(const ByteView& file) {
    // The old 12-byte header of OS/2 has no resolution; every later one has it at the same place.
    if (file.u32(14) < 40 || !file.has(14, 40)) return std::nullopt;
    return positive(file.s32(38) / 1000.0);
}

std::uint32_t pngCrc(QByteArrayView bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (char byte : bytes) {
        crc ^= static_cast<std::uint8_t>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// Qt's reader gives 3780 dots a metre (96 dpi) to a PNG without pHYs, which would read as a file
// that says 96 dpi; the chunk itself tells the two apart. pHYs comes before the image data.
std::optional<double> pngPixelsPerMm(const ByteView& file) {
    constexpr qint64 physBytes = 9;
    constexpr std::uint8_t metre = 1; // 0: an aspect ratio only
    for (qint64 at = 8; file.has(at, 12);) {
        const qint64 length = bigEndian32(file, at);
        const QByteArrayView type = file.bytes(at + 4, 4);
        if (type.startsWith("IDAT") || type.startsWith("IEND") || !file.has(at + 8, length + 4)) break;
        if (type.startsWith("pHYs")) {
            // A damaged chunk is passed over, as the PNG library passes it over.
            if (length != physBytes || pngCrc(file.bytes(at + 4, 4 + length)) != bigEndian32(file, at + 8 + length) ||
                file.u8(at + 16) != metre)
                return std::nullopt;
            return positive(bigEndian32(file, at + 8) / 1000.0);
        }
        at += 12 + length;
    }
    return std::nullopt;
}

// A TIFF structure, in a TIFF file or in a JPEG's EXIF block, in either byte order; offsets
// count from its first byte, and a read outside it gives 0 as ByteView's do.
class TiffStructure {
public:
    explicit TiffStructure(QByteArrayView bytes) : file_(bytes), bigEndian_(file_.u16(0) == 0x4D4D) {}

    bool sound() const { return (file_.u16(0) == 0x4949 || bigEndian_) && u16(2) == 42; }
    bool has(qint64 at, qint64 count) const { return file_.has(at, count); }
    std::uint16_t u16(qint64 at) const { return bigEndian_ ? bigEndian16(file_, at) : file_.u16(at); }
    std::uint32_t u32(qint64 at) const { return bigEndian_ ? bigEndian32(file_, at) : file_.u32(at); }

private:
    ByteView file_;
    bool bigEndian_;
};

// XResolution and ResolutionUnit of the first directory: the first picture of a TIFF, the main
// picture of an EXIF block.
std::optional<double> tiffPixelsPerMm(QByteArrayView bytes) {
    constexpr std::uint16_t xResolutionTag = 282, resolutionUnitTag = 296;
    constexpr std::uint16_t shortType = 3, longType = 4, rationalType = 5;
    constexpr std::uint32_t inch = 2, centimetre = 3; // 1: no absolute unit
    constexpr qint64 entryBytes = 12;
    const TiffStructure tiff(bytes);
    if (!tiff.sound()) return std::nullopt;
    const qint64 directory = tiff.u32(4), entries = tiff.u16(directory);
    // A cut-off directory might have lost the unit, and the resolution would be misread.
    if (!tiff.has(directory, 2 + entries * entryBytes)) return std::nullopt;
    std::optional<double> perUnit;
    std::optional<std::uint32_t> unit;
    for (qint64 entry = directory + 2; entry < directory + 2 + entries * entryBytes; entry += entryBytes) {
        const std::uint16_t tag = tiff.u16(entry), type = tiff.u16(entry + 2);
        const std::uint32_t count = tiff.u32(entry + 4);
        if (tag == xResolutionTag && !perUnit && type == rationalType && count == 1) {
            const qint64 value = tiff.u32(entry + 8);
            if (!tiff.has(value, 8)) return std::nullopt;
            perUnit = double(tiff.u32(value)) / tiff.u32(value + 4); // over 0 it is no number, refused below
        } else if (tag == resolutionUnitTag && !unit && count == 1 && (type == shortType || type == longType)) {
            unit = type == shortType ? tiff.u16(entry + 8) : tiff.u32(entry + 8);
        }
    }
    if (!perUnit) return std::nullopt;
    if (unit.value_or(inch) == inch) return positive(*perUnit / mmPerInch);
    if (unit == centimetre) return positive(*perUnit / 10);
    return std::nullopt;
}

// The JFIF block after its name: version (2 bytes), units, horizontal and vertical density.
std::optional<double> jfifPixelsPerMm(const ByteView& jfif) {
    constexpr std::uint8_t dotsPerInch = 1, dotsPerCm = 2; // 0: an aspect ratio only
    if (!jfif.has(0, 7)) return std::nullopt;
    const std::uint8_t units = jfif.u8(2);
    const std::uint16_t density = bigEndian16(jfif, 3);
    if (units == dotsPerInch) return positive(density / mmPerInch);
    if (units == dotsPerCm) return positive(density / 10.0);
    return std::nullopt;
}

// Walks the segments before the first scan, as the decoder reads them, without looking at the
// compressed data; the JFIF density decides, and the EXIF block speaks only without one.
std::optional<double> jpegPixelsPerMm(const ByteView& file) {
    constexpr std::uint8_t startOfScan = 0xDA, endOfImage = 0xD9, app0 = 0xE0, app1 = 0xE1;
    const QByteArrayView jfifName("JFIF\0", 5), exifName("Exif\0\0", 6);
    std::optional<QByteArrayView> jfif, exif;
    for (qint64 at = 2; file.has(at, 4);) {
        const std::uint8_t marker = file.u8(at + 1);
        if (file.u8(at) != 0xFF || marker == 0xFF) { // stray or fill bytes between segments
            ++at;
            continue;
        }
        if (marker == startOfScan || marker == endOfImage) break;
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2; // markers without a length
            continue;
        }
        const qint64 length = bigEndian16(file, at + 2);
        if (length < 2 || !file.has(at + 2, length)) break;
        const QByteArrayView payload = file.bytes(at + 4, length - 2);
        if (marker == app0 && !jfif && payload.startsWith(jfifName)) jfif = payload.sliced(jfifName.size());
        if (marker == app1 && !exif && payload.startsWith(exifName)) exif = payload.sliced(exifName.size());
        at += 2 + length;
    }
    if (jfif)
        if (std::optional<double> density = jfifPixelsPerMm(ByteView(*jfif))) return density;
    if (exif) return tiffPixelsPerMm(*exif);
    return std::nullopt;
}

} // namespace

std::optional<double> readStatedPixelsPerMm(PictureFormat format, const QByteArray& bytes) {
    const ByteView file(bytes);
    switch (format) {
    case PictureFormat::Png: return pngPixelsPerMm(file);
    case PictureFormat::Bmp: return bmpPixelsPerMm(file);
    case PictureFormat::Tiff: return tiffPixelsPerMm(bytes);
    case PictureFormat::Jpeg: return jpegPixelsPerMm(file);
    case PictureFormat::Gif:
    case PictureFormat::Wmf:
    case PictureFormat::Unknown: break;
    }
    return std::nullopt;
}

QString resolutionText(double pixelsPerMm, char decimal) {
    const double dpi = pixelsPerMm * mmPerInch;
    const double shown = dpi >= 0.5 ? std::round(dpi) : roundHalfEven(dpi, 3);
    return QString::fromStdString(formatGeneral(shown, decimal)) + QStringLiteral(" dpi");
}

bool isPlaceholderResolution(double pixelsPerMm) {
    const double dpi = pixelsPerMm * mmPerInch;
    for (const double placeholder : std::array{72.0, 96.0})
        if (std::abs(dpi - placeholder) <= placeholder * 0.005) return true;
    return false;
}

} // namespace kanat
