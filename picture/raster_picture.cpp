#include "picture/raster_picture.h"

#include "picture/jpeg_decoder.h"
#include "picture/picture_errors.h"
#include "picture/raster_completeness.h"
#include "picture/stated_resolution.h"

#include <QBuffer>
#include <QImageReader>

namespace kanat {
namespace {

LoadedPicture decodePixels(PictureFormat format, const QByteArray& bytes, qint64 byteLimit) {
    if (format == PictureFormat::Jpeg)
        if (std::optional<QImage> image = decodeJpegDirectly(bytes, byteLimit)) return {std::move(*image), {}};
    if (!QImageReader::supportedImageFormats().contains(qtFormatName(format)))
        return {{}, pictureError::noReaderHere(qtFormatName(format))};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, qtFormatName(format));
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    QSize size = reader.size();
    if (!size.isValid() && format == PictureFormat::Bmp) size = bmpClaimedSize(bytes);
    if (!size.isValid() || size.isEmpty()) return {{}, pictureError::damaged()};
    if (pictureError::decodedBytes(size) > byteLimit) return {{}, pictureError::pictureTooLarge(size, byteLimit)};
    if (!rasterLooksComplete(format, bytes)) return {{}, pictureError::damaged()};
    // Qt's own ceiling (128 MB by default) would refuse photographs we accept.
    QImageReader::setAllocationLimit(static_cast<int>((byteLimit + (1 << 20) - 1) >> 20));
    QImage image = reader.read();
    if (image.isNull()) return {{}, pictureError::damaged()};
    return {std::move(image), {}};
}

} // namespace

LoadedPicture decodeRaster(PictureFormat format, const QByteArray& bytes, qint64 byteLimit) {
    LoadedPicture picture = decodePixels(format, bytes, byteLimit);
    if (picture.ok()) picture.statedPixelsPerMm = readStatedPixelsPerMm(format, bytes);
    return picture;
}

} // namespace kanat
