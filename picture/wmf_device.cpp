#include "picture/wmf_device.h"

#include <algorithm>
#include <cmath>

namespace kanat {
namespace {

// Far enough outside any canvas to change nothing visible, near enough that the rasteriser's
// fixed-point arithmetic never overflows.
constexpr qreal coordinateLimit = 1 << 22;

// What one drawing call costs beyond its pixels, counted as pixels: a file of a million tiny
// shapes is no less work than one of a few large ones.
constexpr qint64 drawingOverhead = 128;

qreal bounded(qreal value) { return std::clamp(value, -coordinateLimit, coordinateLimit); }

// Filling every pixel eight times over is far more than any real metafile does.
qint64 allowanceFor(const QImage& canvas) { return 8 * qint64{canvas.width()} * canvas.height() + (qint64{1} << 24); }

} // namespace

WmfDevice::WmfDevice(QImage& canvas, QRect window)
    : canvas_(canvas), painter_(&canvas), origin_(window.topLeft()), extent_(window.size()),
      allowance_(allowanceFor(canvas)) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void WmfDevice::setWindowExtent(QSizeF extent) {
    if (extent.width() != 0 && extent.height() != 0) extent_ = extent;
}

QPointF WmfDevice::toDevice(QPointF logical) const {
    return {bounded((logical.x() - origin_.x()) * canvas_.width() / extent_.width()),
            bounded((logical.y() - origin_.y()) * canvas_.height() / extent_.height())};
}

QRectF WmfDevice::toDevice(const QRectF& logical) const {
    return QRectF(toDevice(logical.topLeft()), toDevice(logical.bottomRight())).normalized();
}

QPen WmfDevice::pen(const WmfPen& pen) const {
    if (pen.style == Qt::NoPen) return Qt::NoPen;
    const qreal widest = 2.0 * std::max(canvas_.width(), canvas_.height());
    const qreal width = std::abs(pen.width * canvas_.width() / extent_.width());
    QPen device(pen.colour, width < 1 ? 0 : std::min(width, widest), pen.style, Qt::RoundCap, Qt::RoundJoin);
    return device;
}

bool WmfDevice::fill(const QPainterPath& shape, const QPen& pen, const QBrush& brush) {
    const qreal margin = pen.style() == Qt::NoPen ? 0 : pen.widthF() / 2 + 1;
    if (!chargeArea(shape.boundingRect().adjusted(-margin, -margin, margin, margin))) return false;
    if (!charge(drawingOverhead + shape.elementCount())) return false;
    painter_.setPen(pen);
    painter_.setBrush(brush);
    painter_.drawPath(shape);
    return true;
}

bool WmfDevice::stroke(const QPainterPath& shape, const QPen& pen) { return fill(shape, pen, Qt::NoBrush); }

bool WmfDevice::drawImage(const QRectF& target, const QImage& image, const QRect& source) {
    if (!chargeArea(target)) return false;
    painter_.drawImage(target, image, QRectF(source));
    return true;
}

bool WmfDevice::charge(qint64 pixels) {
    allowance_ -= std::max<qint64>(pixels, 1);
    return allowance_ >= 0;
}

bool WmfDevice::chargeArea(const QRectF& area) {
    const QRectF visible = area.intersected(QRectF(canvas_.rect()));
    return charge(static_cast<qint64>(std::ceil(visible.width()) * std::ceil(visible.height())));
}

} // namespace kanat
