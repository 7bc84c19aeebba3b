#pragma once

#include "picture/wmf_device.h"
#include "picture/wmf_records.h"

#include <QString>

#include <set>
#include <variant>
#include <vector>

namespace kanat {

// Plays the records that raster and simple drawing metafiles use: the window, pens and
// brushes, rectangles, ellipses, polygons and lines, and bitmaps (StretchDIB, DIBStretchBlt,
// DIBBitBlt, SetDIBitsToDevice). Text, regions, palettes and clipping are passed over.
class WmfPlayer {
public:
    WmfPlayer(QImage& canvas, QRect window, qint64 byteLimit);

    // Empty when the record was drawn or passed over; otherwise why the picture cannot be
    // shown (a record too short for its own kind, an unreadable bitmap, too much work).
    QString play(const WmfRecord& record);

private:
    struct State {
        QPointF windowOrigin; // kept here only while saved; the device holds the window in force
        QSizeF windowExtent;
        WmfPen pen;
        QBrush brush{Qt::white};
        Qt::FillRule fillRule = Qt::OddEvenFill;
        QPointF position;
    };
    using Object = std::variant<std::monostate, WmfPen, QBrush>;

    QString playDrawing(const WmfRecord& record);
    QString playState(const WmfRecord& record);
    QString playBitmap(const WmfRecord& record);
    QString drawBitmap(QByteArrayView dib, bool paletteIndexed, QRect source, QRectF target);
    QString drawMirrored(const QImage& image, QRect source, QPointF corner, QPointF opposite);
    QString draw(const QPainterPath& deviceShape, bool filled);
    QString polygons(const WmfRecord& record, qint64 firstCount, qint64 polygonCount, bool filled);
    QString patternFill(const WmfRecord& record);
    void create(Object object);
    void select(std::uint16_t index);
    void remove(std::uint16_t index);
    void save();
    void restore(int which);

    WmfDevice device_;
    qint64 byteLimit_;
    State state_;
    std::vector<State> saved_;
    std::vector<std::optional<Object>> objects_;
    std::set<std::uint16_t> freeSlots_;
};

} // namespace kanat
