#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

namespace kanat {

// A grey or colour JPEG decoded by libjpeg-turbo's own interface straight into the picture's
// memory: the same library Qt's reader uses, with the same accurate DCT and smooth upsampling,
// so the same pixels and format (Grayscale8, RGB32), at the library's own speed instead of
// about a third of it. EXIF orientation is left as stored. Empty whenever the file is left to
// Qt's reader: CMYK or YCCK, a header larger than `byteLimit`, a cut-off file, or anything
// libjpeg-turbo refuses or warns about, so that those keep Qt's answer.
std::optional<QImage> decodeJpegDirectly(const QByteArray& bytes, qint64 byteLimit);

} // namespace kanat
