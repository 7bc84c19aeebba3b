#pragma once

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRect>

namespace kanat {

// A metafile's pen, kept in logical units until it draws, since the window may change.
struct WmfPen {
    QColor colour = Qt::black;
    Qt::PenStyle style = Qt::SolidLine;
    int width = 0; // logical units; 0 draws one pixel wide
};

// The picture a metafile draws on: its window (logical units) spread over the whole canvas,
// crisp drawing as the system's own device would do, and an allowance of pixels to touch, so
// that a small file of many large shapes cannot keep the program busy for minutes.
class WmfDevice {
public:
    WmfDevice(QImage& canvas, QRect window);

    void setWindowOrigin(QPointF origin) { origin_ = origin; }
    void setWindowExtent(QSizeF extent);
    QPointF windowOrigin() const { return origin_; }
    QSizeF windowExtent() const { return extent_; }

    QPointF toDevice(QPointF logical) const;
    QRectF toDevice(const QRectF& logical) const;
    QPen pen(const WmfPen& pen) const;

    // Each returns false once the allowance is spent.
    bool fill(const QPainterPath& deviceShape, const QPen& pen, const QBrush& brush);
    bool stroke(const QPainterPath& deviceShape, const QPen& pen);
    bool drawImage(const QRectF& deviceTarget, const QImage& image, const QRect& source);
    bool charge(qint64 pixels);

private:
    bool chargeArea(const QRectF& deviceArea);

    QImage& canvas_;
    QPainter painter_;
    QPointF origin_;
    QSizeF extent_;
    qint64 allowance_;
};

} // namespace kanat
