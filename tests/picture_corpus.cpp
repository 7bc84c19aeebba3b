#include "tests/picture_corpus.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace kanat::test {
namespace {

void put16(QByteArray& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(QByteArray& out, quint32 value) {
    put16(out, static_cast<int>(value & 0xFFFF));
    put16(out, static_cast<int>(value >> 16));
}

void put32BigEndian(QByteArray& out, quint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFF;
    for (char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    QByteArray chunk;
    put32BigEndian(chunk, static_cast<quint32>(data.size()));
    chunk += type + data;
    put32BigEndian(chunk, crc32(type + data));
    return chunk;
}

// The offsets of a PNG's chunks, the signature's end first.
std::vector<qsizetype> pngChunkStarts(const QByteArray& png) {
    std::vector<qsizetype> starts;
    for (qsizetype at = 8; at + 12 <= png.size(); at += 12 + qFromBigEndian<quint32>(png.constData() + at))
        starts.push_back(at);
    return starts;
}

// Nine-bit codes only: a clear code before the table would grow to ten bits.
QByteArray lzwOfIndices(const std::vector<int>& indices) {
    constexpr int clear = 256, end = 257, codesPerClear = 250;
    std::vector<int> codes{clear};
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i > 0 && i % codesPerClear == 0) codes.push_back(clear);
        codes.push_back(indices[i]);
    }
    codes.push_back(end);
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= static_cast<quint32>(code) << count;
        for (count += 9; count >= 8; count -= 8, bits >>= 8) packed += static_cast<char>(bits & 0xFF);
    }
    if (count > 0) packed += static_cast<char>(bits & 0xFF);
    QByteArray blocks;
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray part = packed.mid(at, 255);
        blocks += static_cast<char>(part.size());
        blocks += part;
    }
    return blocks + '\0';
}

QByteArray gifFrame(const QImage& image, std::vector<QRgb>& palette) {
    std::vector<int> indices;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = image.pixel(x, y) | 0xFF000000;
            auto found = std::find(palette.begin(), palette.end(), colour);
            if (found == palette.end()) found = palette.insert(palette.end(), colour);
            indices.push_back(static_cast<int>(found - palette.begin()));
        }
    if (palette.size() > 256) throw std::invalid_argument("a GIF holds 256 colours");
    QByteArray frame(",");
    put16(frame, 0), put16(frame, 0), put16(frame, image.width()), put16(frame, image.height());
    frame += '\0';
    frame += '\x08';
    return frame + lzwOfIndices(indices);
}

} // namespace

QImage colourBlocks(QSize size, int block) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int i = (y / block) * 7 + x / block + 1;
            image.setPixel(x, y, qRgb((i * 67) % 256, (i * 131 + 40) % 256, (i * 199 + 90) % 256));
        }
    return image;
}

bool qtHasTiff() { return QImageWriter::supportedImageFormats().contains("tiff"); }

QByteArray encoded(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality)) throw std::runtime_error(format);
    return bytes;
}

QByteArray gif(const std::vector<QImage>& frames) {
    std::vector<QRgb> palette;
    QByteArray body;
    for (const QImage& frame : frames) body += gifFrame(frame, palette);
    QByteArray file("GIF89a");
    put16(file, frames.front().width()), put16(file, frames.front().height());
    file += '\xF7'; // a colour table of 256 entries follows
    file += QByteArray(2, '\0');
    palette.resize(256, 0);
    for (QRgb colour : palette)
        file.append(static_cast<char>(qRed(colour)))
            .append(static_cast<char>(qGreen(colour)))
            .append(static_cast<char>(qBlue(colour)));
    return file + body + ';';
}

QByteArray withExifOrientation(const QByteArray& jpeg, int orientation) {
    return withExif(jpeg, tiffStructure({{0x0112, 3, {static_cast<quint32>(orientation)}}}));
}

QByteArray tiffStructure(const std::vector<TiffField>& fields, bool bigEndian) {
    const auto put = [bigEndian](QByteArray& out, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * (bigEndian ? bytes - 1 - i : i))) & 0xFF);
    };
    QByteArray tiff(bigEndian ? QByteArray("MM\0*", 4) : QByteArray("II*\0", 4));
    put(tiff, 8, 4);
    put(tiff, static_cast<quint32>(fields.size()), 2);
    const qsizetype dataAt = 8 + 2 + 12 * static_cast<qsizetype>(fields.size()) + 4;
    QByteArray data;
    for (const TiffField& field : fields) {
        const int valueBytes = field.type == 3 ? 2 : 4;
        QByteArray value;
        for (quint32 v : field.values) put(value, v, valueBytes);
        put(tiff, field.tag, 2), put(tiff, field.type, 2);
        put(tiff, static_cast<quint32>(field.type == 5 ? field.values.size() / 2 : field.values.size()), 4);
        if (value.size() <= 4) {
            tiff += value + QByteArray(4 - value.size(), '\0');
        } else {
            put(tiff, static_cast<quint32>(dataAt + data.size()), 4);
            data += value;
        }
    }
    put(tiff, 0, 4); // no second directory
    return tiff + data;
}

QByteArray withExif(const QByteArray& jpeg, const QByteArray& tiff) {
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1");
    segment += static_cast<char>((payload.size() + 2) >> 8);
    segment += static_cast<char>((payload.size() + 2) & 0xFF);
    segment += payload;
    qsizetype at = 2; // after the start marker and, if there, the JFIF block
    if (jpeg.mid(2, 2) == "\xFF\xE0") at = 4 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
    return jpeg.left(at) + segment + jpeg.mid(at);
}

QByteArray withJfifDensity(const QByteArray& jpeg, int units, int density) {
    if (jpeg.mid(2, 2) != "\xFF\xE0" || jpeg.mid(6, 5) != QByteArray("JFIF\0", 5))
        throw std::invalid_argument("no JFIF block at the start");
    QByteArray values;
    values += static_cast<char>(units);
    for (int i = 0; i < 2; ++i) values += static_cast<char>(density >> 8), values += static_cast<char>(density & 0xFF);
    return overwritten(jpeg, 13, values);
}

QByteArray withoutJfif(const QByteArray& jpeg) {
    if (jpeg.mid(2, 2) != "\xFF\xE0") throw std::invalid_argument("no JFIF block at the start");
    return jpeg.left(2) + jpeg.mid(4 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5])));
}

QByteArray withoutPngChunk(const QByteArray& png, const QByteArray& type) {
    QByteArray out = png.left(8);
    for (qsizetype at : pngChunkStarts(png)) {
        const qsizetype length = 12 + qFromBigEndian<quint32>(png.constData() + at);
        if (png.mid(at + 4, 4) != type) out += png.mid(at, length);
    }
    return out;
}

QByteArray withPngChunk(const QByteArray& png, const QByteArray& type, const QByteArray& data, bool atEnd) {
    const std::vector<qsizetype> starts = pngChunkStarts(png);
    const qsizetype at = atEnd ? starts.back() : starts.at(1);
    return png.left(at) + pngChunk(type, data) + png.mid(at);
}

QByteArray physData(quint32 perUnit, int unit) {
    QByteArray data;
    put32BigEndian(data, perUnit), put32BigEndian(data, perUnit);
    return data + static_cast<char>(unit);
}

qsizetype tiffEntry(const QByteArray& tiff, quint16 tag) {
    if (!tiff.startsWith("II")) throw std::invalid_argument("little-endian TIFF expected");
    const auto* data = reinterpret_cast<const uchar*>(tiff.constData());
    const quint32 directory = qFromLittleEndian<quint32>(data + 4);
    const quint16 entries = qFromLittleEndian<quint16>(data + directory);
    for (quint16 i = 0; i < entries; ++i)
        if (qFromLittleEndian<quint16>(data + directory + 2 + 12 * i) == tag) return directory + 2 + 12 * i;
    return -1;
}

QByteArray pngClaiming(QSize size) {
    QByteArray header;
    put32BigEndian(header, static_cast<quint32>(size.width()));
    put32BigEndian(header, static_cast<quint32>(size.height()));
    header += QByteArray("\x08\x02\0\0\0", 5);
    const QByteArray rows = qCompress(QByteArray(4096, '\0')).mid(4);
    return QByteArray("\x89PNG\r\n\x1A\n") + pngChunk("IHDR", header) + pngChunk("IDAT", rows) + pngChunk("IEND", {});
}

QByteArray bmpClaiming(QSize size) {
    QByteArray file("BM");
    put32(file, 54 + 4096), put32(file, 0), put32(file, 54);
    put32(file, 40), put32(file, static_cast<quint32>(size.width()));
    put32(file, static_cast<quint32>(size.height()));
    put16(file, 1), put16(file, 24);
    for (int i = 0; i < 6; ++i) put32(file, 0);
    return file + QByteArray(4096, '\x40');
}

QByteArray gifClaiming(QSize size) {
    QByteArray file = gif({colourBlocks({8, 8}, 4)});
    QByteArray claimed;
    put16(claimed, size.width()), put16(claimed, size.height());
    file = overwritten(file, 6, claimed);
    return overwritten(file, 13 + 768 + 5, claimed);
}

QByteArray jpegClaiming(const QByteArray& jpeg, QSize size) {
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    if (frame < 0) throw std::invalid_argument("no baseline frame header");
    QByteArray claimed;
    claimed += static_cast<char>(size.height() >> 8), claimed += static_cast<char>(size.height());
    claimed += static_cast<char>(size.width() >> 8), claimed += static_cast<char>(size.width());
    return overwritten(jpeg, frame + 5, claimed);
}

QByteArray tiffClaiming(const QByteArray& tiff, QSize size) {
    if (!tiff.startsWith("II")) throw std::invalid_argument("little-endian TIFF expected");
    const auto* data = reinterpret_cast<const uchar*>(tiff.constData());
    const quint32 directory = qFromLittleEndian<quint32>(data + 4);
    const quint16 entries = qFromLittleEndian<quint16>(data + directory);
    QByteArray out = tiff;
    for (quint16 i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + 12 * i;
        const quint16 tag = qFromLittleEndian<quint16>(data + entry);
        if (tag != 256 && tag != 257) continue;
        QByteArray longValue;
        put16(longValue, 4), put32(longValue, 1);
        put32(longValue, static_cast<quint32>(tag == 256 ? size.width() : size.height()));
        out = overwritten(out, entry + 2, longValue);
    }
    return out;
}

QByteArray cut(const QByteArray& file, double keptFraction) {
    return file.left(static_cast<qsizetype>(file.size() * keptFraction));
}

QByteArray overwritten(QByteArray file, qsizetype at, const QByteArray& bytes) {
    file.replace(at, bytes.size(), bytes);
    return file;
}

int largestChannelDifference(const QImage& a, const QImage& b, int block, int margin) {
    if (a.size() != b.size()) return -1;
    const auto nearEdge = [&](int v) { return block > 0 && (v % block < margin || v % block >= block - margin); };
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (nearEdge(x) || nearEdge(y)) continue;
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max(
                {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

void writeFile(const std::string& path, const QByteArray& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
}

} // namespace kanat::test
