#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <ostream>
#include <string>
#include <vector>

// Failures show Qt's strings as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace kanat::test {

// Pictures made on the spot with colours the tests know, and the files that hold them.

// Flat blocks of `block` pixels, each a different colour, so that a lossy format keeps the
// colour of a block's middle.
QImage colourBlocks(QSize size, int block);

// The file Qt's writer makes of `image` ("bmp", "png", "jpeg", "tiff").
QByteArray encoded(const QImage& image, const char* format, int quality = -1);

// A GIF of one frame per image (at most 256 colours, no transparency).
QByteArray gif(const std::vector<QImage>& frames);

// A JPEG whose EXIF block says the camera was turned (orientation 6: a quarter turn).
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);

// The same file claiming another size in its header: a decompression bomb.
QByteArray pngClaiming(QSize size);
QByteArray bmpClaiming(QSize size);
QByteArray gifClaiming(QSize size);
QByteArray jpegClaiming(const QByteArray& jpeg, QSize size);
QByteArray tiffClaiming(const QByteArray& tiff, QSize size);

QByteArray cut(const QByteArray& file, double keptFraction);
QByteArray overwritten(QByteArray file, qsizetype at, const QByteArray& bytes);

// Largest difference of one channel between two pictures of the same size; -1 when the sizes
// differ. With `block`, pixels nearer than `margin` to the edge of a block are left out.
int largestChannelDifference(const QImage& a, const QImage& b, int block = 0, int margin = 0);

void writeFile(const std::string& path, const QByteArray& bytes);

} // namespace kanat::test
