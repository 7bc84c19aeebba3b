#pragma once

#include <QByteArray>

namespace kanat {

enum class PictureFormat { Unknown, Bmp, Jpeg, Gif, Png, Tiff, Wmf };

// The format that a file's first bytes announce, whatever its name says.
PictureFormat sniffPictureFormat(const QByteArray& bytes);

// The name Qt's image readers know the format by; empty for WMF and Unknown.
QByteArray qtFormatName(PictureFormat format);

} // namespace kanat
