#pragma once

#include "picture/picture_format.h"

#include <QByteArray>
#include <QSize>

namespace kanat {

// Whether a BMP, JPEG or GIF file holds all the data its own structure announces. Qt's readers
// show a cut-off BMP, JPEG or GIF with a grey or empty remainder instead of failing, which
// would give wrong colours without a word; PNG and TIFF carry checks of their own.
bool rasterLooksComplete(PictureFormat format, const QByteArray& bytes);

// The size a BMP file's header claims: Qt's reader does not even tell it past 16384 x 16384
// pixels, and a refusal should still say how large the picture would have been.
QSize bmpClaimedSize(const QByteArray& bytes);

// More scans than this make a progressive JPEG decode the whole picture again and again.
inline constexpr int jpegScanLimit = 100;

} // namespace kanat
