#include "picture/wmf_bitmap.h"

#include "picture/byte_view.h"
#include "picture/picture_errors.h"
#include "picture/raster_picture.h"

#include <cstdlib>
#include <optional>

namespace kanat {
namespace {

constexpr qint64 fileHeaderBytes = 14;
constexpr std::uint32_t bitFields = 3;
constexpr std::uint32_t alphaBitFields = 6;

// Where the pixels start behind the header and the colour table.
std::optional<qint64> pixelOffset(const ByteView& dib) {
    const std::uint32_t header = dib.u32(0);
    if (header == 12) {
        const int bits = dib.u16(10);
        return header + (bits <= 8 ? 3 * (qint64{1} << bits) : 0);
    }
    if (header < 40 || !dib.has(0, header)) return std::nullopt;
    const int bits = dib.u16(14);
    const std::uint32_t compression = dib.u32(16), used = dib.u32(32);
    const qint64 colours = used != 0 ? used : (bits <= 8 ? qint64{1} << bits : 0);
    qint64 masks = 0;
    if (header == 40 && compression == bitFields) masks = 12;
    if (header == 40 && compression == alphaBitFields) masks = 16;
    const qint64 offset = header + masks + 4 * colours;
    return offset <= dib.size() ? std::optional(offset) : std::nullopt;
}

void putU32(QByteArray& out, qint64 value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

} // namespace

QSize dibSize(QByteArrayView bytes) {
    const ByteView dib(bytes);
    if (dib.u32(0) == 12 && dib.has(0, 12)) return QSize(dib.u16(4), dib.u16(6));
    if (dib.u32(0) < 40 || !dib.has(0, dib.u32(0))) return {};
    // The most negative height has no positive counterpart in an int; it is absurd anyway.
    const std::int32_t height = dib.s32(8);
    return QSize(dib.s32(4), height == INT32_MIN ? INT32_MAX : std::abs(height));
}

LoadedPicture decodeDib(QByteArrayView bytes, bool paletteIndexed, qint64 byteLimit) {
    if (paletteIndexed) return {};
    const std::optional<qint64> offset = pixelOffset(ByteView(bytes));
    if (!offset) return {{}, pictureError::damaged()};
    QByteArray file("BM");
    file.reserve(fileHeaderBytes + bytes.size());
    putU32(file, fileHeaderBytes + bytes.size());
    putU32(file, 0);
    putU32(file, fileHeaderBytes + *offset);
    file.append(bytes);
    return decodeRaster(PictureFormat::Bmp, file, byteLimit);
}

} // namespace kanat
