#include "ico_file.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <map>

namespace kanat {
namespace {

constexpr int iconDirSize = 6;
constexpr int iconDirEntrySize = 16;
constexpr int bitmapInfoHeaderSize = 40;
constexpr int paletteColours = 256;

void put16(QByteArray& out, int value) {
    out.append(2, '\0');
    qToLittleEndian<quint16>(quint16(value), out.data() + out.size() - 2);
}

void put32(QByteArray& out, qint64 value) {
    out.append(4, '\0');
    qToLittleEndian<quint32>(quint32(value), out.data() + out.size() - 4);
}

// DIB rows are padded to whole 32-bit words.
int rowBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

bool isTransparent(QRgb pixel) { return qAlpha(pixel) < 128; }

// Rows of a DIB run from the bottom of the picture to its top.
QByteArray andMask(const QImage& image) {
    QByteArray mask;
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes(image.width(), 1), '\0');
        for (int x = 0; x < image.width(); ++x)
            if (isTransparent(image.pixel(x, y))) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        mask += row;
    }
    return mask;
}

QByteArray bgraPixels(const QImage& image) {
    QByteArray pixels;
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x) put32(pixels, image.pixel(x, y));
    return pixels;
}

// Under the AND mask the picture is black, so that the screen shows through unchanged.
QRgb opaqueColour(QRgb pixel) { return isTransparent(pixel) ? qRgb(0, 0, 0) : pixel | 0xff000000; }

int distance(QRgb a, QRgb b) {
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

// The 256 most frequent colours; an icon has few colours beyond its antialiased edges, and
// those rare ones take the nearest colour kept.
std::vector<QRgb> palette(const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[opaqueColour(image.pixel(x, y))];
    std::vector<std::pair<QRgb, int>> byCount(counts.begin(), counts.end());
    std::stable_sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<QRgb> colours;
    for (size_t i = 0; i < byCount.size() && i < paletteColours; ++i) colours.push_back(byCount[i].first);
    return colours;
}

std::uint8_t nearestIndex(const std::vector<QRgb>& colours, QRgb colour) {
    const auto nearest = std::min_element(colours.begin(), colours.end(),
                                          [&](QRgb a, QRgb b) { return distance(a, colour) < distance(b, colour); });
    return std::uint8_t(nearest - colours.begin());
}

QByteArray paletteAndIndices(const QImage& image) {
    const std::vector<QRgb> colours = palette(image);
    QByteArray out;
    for (size_t i = 0; i < paletteColours; ++i) put32(out, i < colours.size() ? colours[i] & 0xffffff : 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes(image.width(), 8), '\0');
        for (int x = 0; x < image.width(); ++x) row[x] = char(nearestIndex(colours, opaqueColour(image.pixel(x, y))));
        out += row;
    }
    return out;
}

QByteArray dib(const IconPicture& picture) {
    const QImage image = picture.image.convertToFormat(QImage::Format_ARGB32);
    const bool paletted = picture.bitsPerPixel == 8;
    const QByteArray colours = paletted ? paletteAndIndices(image) : bgraPixels(image);
    const QByteArray mask = andMask(image);
    const int paletteBytes = paletted ? 4 * paletteColours : 0;

    QByteArray out;
    put32(out, bitmapInfoHeaderSize);
    put32(out, image.width());
    put32(out, 2 * image.height()); // the colour rows and the mask rows
    put16(out, 1);                  // planes
    put16(out, picture.bitsPerPixel);
    put32(out, 0); // uncompressed
    put32(out, colours.size() - paletteBytes + mask.size());
    put32(out, 0); // no resolution
    put32(out, 0);
    put32(out, paletted ? paletteColours : 0);
    put32(out, 0);
    return out + colours + mask;
}

} // namespace

QByteArray icoFile(const std::vector<IconPicture>& pictures) {
    QByteArray directory;
    put16(directory, 0); // reserved
    put16(directory, 1); // an icon, not a cursor
    put16(directory, int(pictures.size()));

    QByteArray images;
    qint64 offset = iconDirSize + iconDirEntrySize * qint64(pictures.size());
    for (const IconPicture& picture : pictures) {
        Q_ASSERT(picture.bitsPerPixel == 8 || picture.bitsPerPixel == 32);
        Q_ASSERT(picture.image.width() == picture.image.height());
        const QByteArray bitmap = dib(picture);
        const int size = picture.image.width();
        directory.append(char(size % 256)); // 256 is written as 0
        directory.append(char(size % 256));
        directory.append('\0'); // palette colours; 0 when there are 256 or none
        directory.append('\0');
        put16(directory, 1);
        put16(directory, picture.bitsPerPixel);
        put32(directory, bitmap.size());
        put32(directory, offset);
        offset += bitmap.size();
        images += bitmap;
    }
    return directory + images;
}

} // namespace kanat
