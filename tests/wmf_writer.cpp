#include "tests/wmf_writer.h"

#include <algorithm>

namespace kanat::test {
namespace {

constexpr std::uint32_t sourceCopy = 0x00CC0020;

void put16(std::string& out, std::int32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, static_cast<std::int32_t>(value & 0xFFFF));
    put16(out, static_cast<std::int32_t>(value >> 16));
}

std::vector<std::int32_t> withRop(std::vector<std::int32_t> words) {
    words.insert(words.begin(),
                 {static_cast<std::int32_t>(sourceCopy & 0xFFFF), static_cast<std::int32_t>(sourceCopy >> 16)});
    return words;
}

std::int32_t low(QRgb colour) { return qRed(colour) | qGreen(colour) << 8; }
std::int32_t high(QRgb colour) { return qBlue(colour); }

} // namespace

WmfWriter::WmfWriter(QRect bounds, int unitsPerInch) : bounds_(bounds), unitsPerInch_(unitsPerInch) {}

WmfWriter& WmfWriter::record(std::uint16_t function, const std::vector<std::int32_t>& words, const std::string& tail) {
    std::string body;
    put16(body, function);
    for (std::int32_t word : words) put16(body, word);
    body += tail;
    if (body.size() % 2) body += '\0';
    const auto size = static_cast<std::uint32_t>(2 + body.size() / 2);
    put32(records_, size);
    records_ += body;
    largestRecord_ = std::max(largestRecord_, size);
    return *this;
}

WmfWriter& WmfWriter::window(QRect logical) {
    record(0x020B, {logical.top(), logical.left()});
    return record(0x020C, {logical.height(), logical.width()});
}

WmfWriter& WmfWriter::stretchDib(QRect to, const QImage& bitmap) {
    return record(0x0F43,
                  withRop({0, bitmap.height(), bitmap.width(), 0, 0, to.height(), to.width(), to.top(), to.left()}),
                  dib(bitmap));
}

WmfWriter& WmfWriter::dibStretchBlt(QRect to, const QImage& bitmap) {
    return record(0x0B41,
                  withRop({bitmap.height(), bitmap.width(), 0, 0, to.height(), to.width(), to.top(), to.left()}),
                  dib(bitmap));
}

WmfWriter& WmfWriter::dibBitBlt(QPoint to, const QImage& bitmap) {
    return record(0x0940, withRop({0, 0, bitmap.height(), bitmap.width(), to.y(), to.x()}), dib(bitmap));
}

WmfWriter& WmfWriter::setDibToDevice(QPoint to, const QImage& bitmap) {
    return record(0x0D33, {0, bitmap.height(), 0, 0, 0, bitmap.height(), bitmap.width(), to.y(), to.x()}, dib(bitmap));
}

WmfWriter& WmfWriter::selectNew(std::uint16_t function, const std::vector<std::int32_t>& words) {
    record(function, words);
    return record(0x012D, {objects_++});
}

WmfWriter& WmfWriter::solidBrush(QColor colour) {
    return selectNew(0x02FC, {0, low(colour.rgb()), high(colour.rgb()), 0});
}

WmfWriter& WmfWriter::nullPen() { return selectNew(0x02FA, {5, 0, 0, 0, 0}); }

WmfWriter& WmfWriter::solidPen(QColor colour, int width) {
    return selectNew(0x02FA, {0, width, 0, low(colour.rgb()), high(colour.rgb())});
}

WmfWriter& WmfWriter::rectangle(QRect area) {
    // Right and bottom are exclusive in a metafile rectangle.
    return record(0x041B, {area.bottom() + 1, area.right() + 1, area.top(), area.left()});
}

WmfWriter& WmfWriter::polygon(const std::vector<QPoint>& corners) {
    std::vector<std::int32_t> words{static_cast<std::int32_t>(corners.size())};
    for (QPoint corner : corners) words.insert(words.end(), {corner.x(), corner.y()});
    return record(0x0324, words);
}

std::string WmfWriter::placeableHeader(QRect bounds, int unitsPerInch) {
    std::string header;
    put32(header, 0x9AC6CDD7);
    put16(header, 0);
    put16(header, bounds.left());
    put16(header, bounds.top());
    put16(header, bounds.left() + bounds.width());
    put16(header, bounds.top() + bounds.height());
    put16(header, unitsPerInch);
    put32(header, 0);
    std::int32_t checksum = 0;
    for (std::size_t i = 0; i < header.size(); i += 2)
        checksum ^= static_cast<unsigned char>(header[i]) | static_cast<unsigned char>(header[i + 1]) << 8;
    put16(header, checksum);
    return header;
}

std::string WmfWriter::bytes(bool withEnd) const {
    std::string records = records_;
    if (withEnd) put32(records, 3), put16(records, 0);
    std::string out = placeableHeader(bounds_, unitsPerInch_);
    put16(out, 1);      // in memory
    put16(out, 9);      // header words
    put16(out, 0x0300); // version
    put32(out, static_cast<std::uint32_t>(9 + records.size() / 2));
    put16(out, objects_);
    put32(out, largestRecord_);
    put16(out, 0);
    return out + records;
}

std::string WmfWriter::dib(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int stride = (rgb.width() * 3 + 3) / 4 * 4;
    std::string out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(rgb.width()));
    put32(out, static_cast<std::uint32_t>(rgb.height()));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(stride * rgb.height()));
    put32(out, 3780), put32(out, 3780), put32(out, 0), put32(out, 0);
    for (int y = rgb.height() - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb pixel = rgb.pixel(x, y);
            row += {static_cast<char>(qBlue(pixel)), static_cast<char>(qGreen(pixel)), static_cast<char>(qRed(pixel))};
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        out += row;
    }
    return out;
}

} // namespace kanat::test
