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

// Whether this build's Qt reads and writes TIFF: the Windows build's has no TIFF plugin.
bool qtHasTiff();

// The file Qt's writer makes of `image` ("bmp", "png", "jpeg", "tiff").
QByteArray encoded(const QImage& image, const char* format, int quality = -1);

// A GIF of one frame per image (at most 256 colours, no transparency).
QByteArray gif(const std::vector<QImage>& frames);

// A JPEG whose EXIF block says the camera was turned (orientation 6: a quarter turn).
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);

// One entry of a TIFF directory: its tag, its type (3 SHORT, 4 LONG, 5 RATIONAL) and its values,
// two to a rational.
struct TiffField {
    quint16 tag;
    quint16 type;
    std::vector<quint32> values;
};

// A TIFF structure of one directory in either byte order, as an EXIF block holds it.
QByteArray tiffStructure(const std::vector<TiffField>& fields, bool bigEndian = false);

// The JPEG with `tiff` as its EXIF block, after its JFIF block when it has one.
QByteArray withExif(const QByteArray& jpeg, const QByteArray& tiff);

// The JPEG with the density of the JFIF block it starts with set: `units` 0 (an aspect ratio
// only), 1 (dots per inch) or 2 (dots per centimetre).
QByteArray withJfifDensity(const QByteArray& jpeg, int units, int density);
QByteArray withoutJfif(const QByteArray& jpeg);

// The PNG without its chunks of `type`, or with one more put in after the header chunk (or
// before the end chunk, `atEnd`).
QByteArray withoutPngChunk(const QByteArray& png, const QByteArray& type);
QByteArray withPngChunk(const QByteArray& png, const QByteArray& type, const QByteArray& data, bool atEnd = false);

// What a pHYs chunk holds: pixels per unit across and down, and the unit (1 the metre, 0 none).
QByteArray physData(quint32 perUnit, int unit);

// Where the entry of `tag` starts in the first directory of a little-endian TIFF; -1 without.
qsizetype tiffEntry(const QByteArray& tiff, quint16 tag);

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
