#pragma once

#include "picture/picture_loader.h"

#include <QByteArrayView>
#include <QSize>

namespace kanat {

// The device-independent bitmap that a raster record of a metafile carries, decoded by Qt's
// BMP reader behind a file header made for it. A bitmap whose colours index a palette that the
// metafile does not keep gives no image and no error: the record is left undrawn.
LoadedPicture decodeDib(QByteArrayView dib, bool paletteIndexed, qint64 byteLimit);

// The size a bitmap's header claims, before anything is decoded; empty when it has no header.
QSize dibSize(QByteArrayView dib);

} // namespace kanat
