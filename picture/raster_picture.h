#pragma once

#include "picture/picture_format.h"
#include "picture/picture_loader.h"

namespace kanat {

// A BMP, JPEG, GIF, PNG or TIFF file decoded by Qt's readers: its size is checked against
// `byteLimit` before a pixel is decoded, and its EXIF orientation is left as stored so that
// pixel positions match what other tools report. A decoded picture carries the resolution its
// file states.
LoadedPicture decodeRaster(PictureFormat format, const QByteArray& bytes, qint64 byteLimit);

} // namespace kanat
