#pragma once

#include "picture/byte_view.h"

#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

namespace kanat {

// One record of a metafile: its function number and its parameter words.
struct WmfRecord {
    std::uint16_t function = 0;
    ByteView params{QByteArrayView()};

    qint64 words() const { return params.size() / 2; }
    std::int16_t s(qint64 word) const { return params.s16(2 * word); }
    std::uint16_t u(qint64 word) const { return params.u16(2 * word); }
    std::uint32_t u32(qint64 word) const { return params.u32(2 * word); }
    // The bytes after the first `word` parameter words: the bitmap of a raster record.
    QByteArrayView tail(qint64 word) const { return params.bytes(2 * word, params.size() - 2 * word); }
};

// Walks the records of a metafile one after the other, never past the file's end.
class WmfRecordReader {
public:
    WmfRecordReader(const ByteView& file, qint64 firstRecord) : file_(file), at_(firstRecord) {}

    // The next record, or nothing at the end record or at a record that cannot be (then
    // `broken` tells which).
    std::optional<WmfRecord> next();
    bool broken() const { return broken_; }

private:
    ByteView file_;
    qint64 at_;
    bool broken_ = false;
};

// What the headers and the first records say of the whole picture.
struct WmfFrame {
    QRect bounds;           // in logical units: the area that becomes the picture
    QSize size;             // the picture's natural size in pixels
    qint64 firstRecord = 0; // offset of the first record after the headers
};

// Reads the placeable header (bounds and units per inch, shown at 96 pixels an inch) or, for
// a metafile without one, its window with one logical unit a pixel; then checks that every
// record fits and that the end record is there. Nothing when the file is not a sound metafile.
std::optional<WmfFrame> readWmfFrame(const ByteView& file);

} // namespace kanat
