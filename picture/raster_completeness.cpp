#include "picture/raster_completeness.h"

#include "picture/byte_view.h"

#include <cstdlib>
#include <optional>

namespace kanat {
namespace {

constexpr std::uint32_t bmpRle8 = 1;
constexpr std::uint32_t bmpRle4 = 2;

// Walks the run-length pairs of a compressed BMP until its end mark, or until the last line
// ends where the file does (some writers leave the end mark out).
bool rleComplete(const ByteView& file, qint64 at, qint64 height, bool fourBits) {
    qint64 lines = 0;
    while (file.has(at, 2)) {
        const int count = file.u8(at), code = file.u8(at + 1);
        at += 2;
        if (count != 0) continue;
        if (code == 0)
            ++lines;
        else if (code == 1)
            return true;
        else if (code == 2)
            at += 2;
        else {
            const qint64 literal = fourBits ? (code + 1) / 2 : code;
            at += (literal + 1) / 2 * 2;
        }
    }
    return at == file.size() && lines >= height;
}

struct BmpHeader {
    qint64 width = 0, height = 0, bitCount = 0;
    std::uint32_t compression = 0;
};

// The old 12-byte header of OS/2 or the 40 bytes and more of every later kind.
std::optional<BmpHeader> bmpHeader(const ByteView& file) {
    const std::uint32_t size = file.u32(14);
    if ((size != 12 && size < 40) || !file.has(14, size)) return std::nullopt;
    if (size == 12) return BmpHeader{file.u16(18), file.u16(20), file.u16(24), 0};
    return BmpHeader{file.s32(18), std::abs(qint64{file.s32(22)}), file.u16(28), file.u32(30)};
}

bool bmpComplete(const ByteView& file) {
    const qint64 pixelsAt = file.u32(10);
    const std::optional<BmpHeader> header = bmpHeader(file);
    if (!header || pixelsAt < 14 + 12 || pixelsAt > file.size()) return false;
    const auto [width, height, bitCount, compression] = *header;
    if (width <= 0 || height <= 0 || bitCount == 0) return false;
    if (compression == bmpRle8 || compression == bmpRle4)
        return rleComplete(file, pixelsAt, height, compression == bmpRle4);
    const qint64 stride = (width * bitCount + 31) / 32 * 4;
    if (stride > file.size() || height > file.size()) return false;
    return file.has(pixelsAt, stride * height);
}

std::uint16_t bigEndian16(const ByteView& file, qint64 at) {
    return static_cast<std::uint16_t>(file.u8(at) << 8 | file.u8(at + 1));
}

// Entropy-coded data stuffs every 0xFF that it holds with a zero, and restart markers sit in
// it; the next other marker ends it.
qint64 afterScanData(const QByteArray& bytes, qint64 at) {
    for (qsizetype ff; (ff = bytes.indexOf('\xFF', at)) >= 0 && ff + 1 < bytes.size(); at = ff + 1) {
        const auto next = static_cast<std::uint8_t>(bytes[ff + 1]);
        if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7)) return ff;
    }
    return -1;
}

// Follows the segments of the main picture to its end marker; whatever a phone appends after
// it (a second picture, a video) is not looked at.
bool jpegComplete(const QByteArray& bytes) {
    const ByteView file(bytes);
    qint64 at = 2;
    int scans = 0;
    while (file.has(at, 2)) {
        const std::uint8_t marker = file.u8(at + 1);
        if (file.u8(at) != 0xFF || marker == 0xFF) { // stray or fill bytes between segments
            ++at;
            continue;
        }
        if (marker == 0xD9) return scans > 0;
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2; // markers without a length
            continue;
        }
        const qint64 length = bigEndian16(file, at + 2);
        if (length < 2 || !file.has(at + 2, length)) return false;
        at += 2 + length;
        if (marker == 0xDA && (++scans > jpegScanLimit || (at = afterScanData(bytes, at)) < 0)) return false;
    }
    return false;
}

qint64 afterSubBlocks(const ByteView& file, qint64 at) {
    while (file.has(at, 1) && file.u8(at) != 0) at += 1 + file.u8(at);
    return file.has(at, 1) ? at + 1 : -1;
}

qint64 colourTableBytes(std::uint8_t flags) { return (flags & 0x80) ? 3 * (qint64{2} << (flags & 7)) : 0; }

// Follows the blocks up to the end of the first frame's compressed data.
bool gifComplete(const ByteView& file) {
    qint64 at = 13 + colourTableBytes(file.u8(10));
    while (file.has(at, 1)) {
        const std::uint8_t block = file.u8(at);
        if (block == 0x21) {
            at = afterSubBlocks(file, at + 2);
            if (at < 0) return false;
        } else if (block == 0x2C) {
            if (!file.has(at, 11)) return false;
            at += 10 + colourTableBytes(file.u8(at + 9));
            return file.has(at, 1) && afterSubBlocks(file, at + 1) > 0;
        } else {
            return false;
        }
    }
    return false;
}

} // namespace

QSize bmpClaimedSize(const QByteArray& bytes) {
    const std::optional<BmpHeader> header = bmpHeader(ByteView(bytes));
    if (!header || header->width > INT32_MAX || header->height > INT32_MAX) return {};
    return QSize(static_cast<int>(header->width), static_cast<int>(header->height));
}

bool rasterLooksComplete(PictureFormat format, const QByteArray& bytes) {
    const ByteView file(bytes);
    switch (format) {
    case PictureFormat::Bmp: return bmpComplete(file);
    case PictureFormat::Jpeg: return jpegComplete(bytes);
    case PictureFormat::Gif: return gifComplete(file);
    default: return true;
    }
}

} // namespace kanat
