#include "picture/wmf_picture.h"

#include "picture/picture_errors.h"
#include "picture/wmf_player.h"
#include "picture/wmf_records.h"

namespace kanat {
namespace {

// Metafile coordinates are 16-bit; a wider canvas would only magnify them.
constexpr int sideLimit = 32767;

QString playAll(QImage& canvas, const ByteView& file, const WmfFrame& frame, qint64 byteLimit) {
    WmfPlayer player(canvas, frame.bounds, byteLimit);
    WmfRecordReader reader(file, frame.firstRecord);
    while (const auto record = reader.next())
        if (QString error = player.play(*record); !error.isEmpty()) return error;
    return {};
}

} // namespace

LoadedPicture decodeWmf(const QByteArray& bytes, qint64 byteLimit) {
    const ByteView file(bytes);
    const std::optional<WmfFrame> frame = readWmfFrame(file);
    if (!frame) return {{}, pictureError::damaged()};
    const QSize size = frame->size;
    if (size.width() > sideLimit || size.height() > sideLimit || pictureError::decodedBytes(size) > byteLimit)
        return {{}, pictureError::pictureTooLarge(size, byteLimit)};
    QImage canvas(size, QImage::Format_RGB32);
    if (canvas.isNull()) return {{}, pictureError::outOfMemory()};
    canvas.fill(Qt::white);
    if (QString error = playAll(canvas, file, *frame, byteLimit); !error.isEmpty()) return {{}, error};
    return {std::move(canvas), {}};
}

} // namespace kanat
