#pragma once

#include "picture/picture_format.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace kanat {

// The resolution a picture file states for its pixels, in pixels per millimetre; none when it
// states none. Only the horizontal resolution is read: lengths are measured under one scale for
// both directions, and the lab's scale is one number.
//   PNG   its pHYs chunk, when the unit is the metre;
//   BMP   the pixels per metre of its info header (0 says nothing);
//   TIFF  XResolution and ResolutionUnit of the first directory (inch when no unit is given);
//   JPEG  the JFIF density in dots per inch or per centimetre or, without one, XResolution and
//         ResolutionUnit of the EXIF block.
// GIF knows only an aspect ratio; a metafile's pixels are drawn at 96 an inch by our own choice.
// Only the header bytes are walked, up to the first image data, never past the buffer.
std::optional<double> readStatedPixelsPerMm(PictureFormat format, const QByteArray& bytes);

// A stated resolution as the user reads it, in whole dots per inch ("2400 dpi", and 118 dots a
// centimetre, 299.72 dpi, reads "300 dpi"); below half a dpi, where the whole number would say 0,
// in up to three decimals with the locale's `decimal`.
QString resolutionText(double pixelsPerMm, char decimal);

// True for the resolutions that writers put in when nobody set one, 72 and 96 dpi (within
// 0.5 %): they say nothing of the wing's scale.
bool isPlaceholderResolution(double pixelsPerMm);

} // namespace kanat
