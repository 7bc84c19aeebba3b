#include "picture/wmf_records.h"

#include <cmath>
#include <cstdlib>

namespace kanat {
namespace {

constexpr std::uint32_t placeableKey = 0x9AC6CDD7;
constexpr qint64 placeableBytes = 22;
constexpr qint64 headerBytes = 18;
constexpr std::uint16_t setWindowOrg = 0x020B;
constexpr std::uint16_t setWindowExt = 0x020C;
constexpr int pixelsPerInch = 96;

bool soundHeader(const ByteView& file, qint64 at) {
    const std::uint16_t type = file.u16(at), words = file.u16(at + 2), version = file.u16(at + 4);
    return file.has(at, headerBytes) && (type == 1 || type == 2) && words == 9 &&
           (version == 0x0100 || version == 0x0300);
}

struct RecordCheck {
    bool sound = false;
    std::optional<QPoint> windowOrigin;
    std::optional<QSize> windowExtent;
};

RecordCheck checkRecords(const ByteView& file, qint64 firstRecord) {
    RecordCheck check;
    WmfRecordReader reader(file, firstRecord);
    while (const auto record = reader.next()) {
        if (record->words() < 2) continue;
        if (record->function == setWindowOrg && !check.windowOrigin)
            check.windowOrigin = QPoint(record->s(1), record->s(0));
        if (record->function == setWindowExt && !check.windowExtent)
            check.windowExtent = QSize(record->s(1), record->s(0));
    }
    check.sound = !reader.broken();
    return check;
}

int pixels(int units, int unitsPerInch) {
    return std::max(1, static_cast<int>(std::lround(double(units) * pixelsPerInch / unitsPerInch)));
}

// A rectangle from two corners in either order; empty when it has no area.
QRect spanned(int x1, int y1, int x2, int y2) {
    return QRect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1));
}

} // namespace

std::optional<WmfRecord> WmfRecordReader::next() {
    if (broken_ || at_ < 0) return std::nullopt;
    const qint64 bytes = qint64{file_.u32(at_)} * 2;
    if (!file_.has(at_, 6) || bytes < 6 || !file_.has(at_, bytes)) {
        broken_ = true;
        return std::nullopt;
    }
    WmfRecord record{file_.u16(at_ + 4), ByteView(file_.bytes(at_ + 6, bytes - 6))};
    at_ = record.function == 0 ? -1 : at_ + bytes;
    if (record.function == 0) return std::nullopt;
    return record;
}

std::optional<WmfFrame> readWmfFrame(const ByteView& file) {
    const bool placeable = file.u32(0) == placeableKey;
    const qint64 header = placeable ? placeableBytes : 0;
    if (!soundHeader(file, header)) return std::nullopt;
    WmfFrame frame;
    frame.firstRecord = header + headerBytes;
    const RecordCheck check = checkRecords(file, frame.firstRecord);
    if (!check.sound) return std::nullopt;
    if (placeable) {
        const int unitsPerInch = file.u16(14);
        frame.bounds = spanned(file.s16(6), file.s16(8), file.s16(10), file.s16(12));
        if (unitsPerInch == 0 || frame.bounds.isEmpty()) return std::nullopt;
        frame.size = QSize(pixels(frame.bounds.width(), unitsPerInch), pixels(frame.bounds.height(), unitsPerInch));
        return frame;
    }
    if (!check.windowExtent) return std::nullopt;
    const QPoint origin = check.windowOrigin.value_or(QPoint());
    const QSize extent = *check.windowExtent;
    frame.bounds = spanned(origin.x(), origin.y(), origin.x() + extent.width(), origin.y() + extent.height());
    if (frame.bounds.isEmpty()) return std::nullopt;
    frame.size = frame.bounds.size();
    return frame;
}

} // namespace kanat
