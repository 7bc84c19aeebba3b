// The raster records of a metafile: a bitmap copied, stretched or mirrored into the window.
#include "picture/picture_errors.h"
#include "picture/wmf_bitmap.h"
#include "picture/wmf_player.h"

namespace kanat {
namespace {

constexpr std::uint16_t dibBitBlt = 0x0940;
constexpr std::uint16_t dibStretchBlt = 0x0B41;
constexpr std::uint16_t setDibToDevice = 0x0D33;
constexpr std::uint16_t stretchDib = 0x0F43;
constexpr std::uint16_t paletteColours = 1;

// Where a record's bitmap starts and which of its words say what is drawn where.
struct BitmapLayout {
    std::uint16_t function;
    qint64 bitmapAt;  // words before the bitmap
    qint64 source[4]; // x, y (counted up from the bottom row), width, height
    qint64 target[4]; // x, y, width, height in logical units
    qint64 usageWord; // -1 when the record's colours are always true colours
};

constexpr BitmapLayout layouts[] = {
    {stretchDib, 11, {6, 5, 4, 3}, {10, 9, 8, 7}, 2},
    {dibStretchBlt, 10, {5, 4, 3, 2}, {9, 8, 7, 6}, -1},
    {dibBitBlt, 8, {3, 2, 5, 4}, {7, 6, 5, 4}, -1},
    {setDibToDevice, 9, {4, 3, 6, 5}, {8, 7, 6, 5}, 0},
};

// A bottom-up bitmap (the usual kind) counts the source's y from its last row.
QRect topDownSource(QRect source, QByteArrayView dib, int imageHeight) {
    const ByteView header(dib);
    const bool bottomUp = header.u32(0) == 12 || header.s32(8) > 0;
    if (bottomUp) source.moveTop(imageHeight - source.y() - source.height());
    return source;
}

} // namespace

QString WmfPlayer::playBitmap(const WmfRecord& r) {
    const BitmapLayout* layout = nullptr;
    for (const BitmapLayout& candidate : layouts)
        if (candidate.function == r.function) layout = &candidate;
    if (!layout || r.words() < layout->bitmapAt) return pictureError::damaged();
    // The blit records also come without a bitmap, as a plain fill: one word per function's
    // high byte, nothing more.
    const bool blit = r.function == dibBitBlt || r.function == dibStretchBlt;
    if (blit && r.words() == (r.function >> 8)) return {};
    const auto word = [&](qint64 index) { return static_cast<int>(r.s(index)); };
    const QRect source(word(layout->source[0]), word(layout->source[1]), word(layout->source[2]),
                       word(layout->source[3]));
    const QRectF target(word(layout->target[0]), word(layout->target[1]), word(layout->target[2]),
                        word(layout->target[3]));
    const bool paletteIndexed = layout->usageWord >= 0 && r.u(layout->usageWord) == paletteColours;
    return drawBitmap(r.tail(layout->bitmapAt), paletteIndexed, source, target);
}

QString WmfPlayer::drawBitmap(QByteArrayView dib, bool paletteIndexed, QRect source, QRectF target) {
    const QSize size = dibSize(dib);
    if (pictureError::decodedBytes(size) > byteLimit_) return pictureError::pictureTooLarge(size, byteLimit_);
    // Charged before decoding: many large bitmaps in a small file would otherwise take long.
    if (!device_.charge(pictureError::decodedBytes(size) / 4)) return pictureError::tooComplex();
    const LoadedPicture bitmap = decodeDib(dib, paletteIndexed, byteLimit_);
    if (!bitmap.ok() || bitmap.image.isNull()) return bitmap.error;
    const QRect inImage = topDownSource(source, dib, bitmap.image.height()).intersected(bitmap.image.rect());
    if (inImage.isEmpty() || target.width() == 0 || target.height() == 0) return {};
    const QPointF corner = device_.toDevice(target.topLeft());
    const QPointF opposite = device_.toDevice(target.bottomRight());
    if (corner.x() <= opposite.x() && corner.y() <= opposite.y())
        return device_.drawImage(QRectF(corner, opposite), bitmap.image, inImage) ? QString()
                                                                                  : pictureError::tooComplex();
    return drawMirrored(bitmap.image, inImage, corner, opposite);
}

// A negative width or height in the record, or a window that counts leftwards or upwards,
// turns the bitmap over.
QString WmfPlayer::drawMirrored(const QImage& image, QRect source, QPointF corner, QPointF opposite) {
    if (!device_.charge(qint64{source.width()} * source.height())) return pictureError::tooComplex();
    const QImage turned = image.copy(source).mirrored(opposite.x() < corner.x(), opposite.y() < corner.y());
    const QRectF area = QRectF(corner, opposite).normalized();
    return device_.drawImage(area, turned, turned.rect()) ? QString() : pictureError::tooComplex();
}

} // namespace kanat
