#include "view/loupe.h"

#include <QPainter>

#include <cmath>

namespace kanat {

Loupe::Loupe(QWidget* parent) : QWidget(parent) {
    setFixedSize(side, side);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void Loupe::look(const QImage& source, QPointF sourcePoint, double zoom, LoupeMarks marks) {
    const QPoint pixel(static_cast<int>(std::floor(sourcePoint.x())), static_cast<int>(std::floor(sourcePoint.y())));
    if (pixel == pixel_ && zoom == zoom_ && source.cacheKey() == source_.cacheKey() && marks == marks_) return;
    source_ = source;
    pixel_ = pixel;
    zoom_ = zoom;
    marks_ = std::move(marks);
    update();
}

void Loupe::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(64, 64, 64));
    // Whole source pixels around the one under the pointer, whose square sits in the middle.
    const int reach = static_cast<int>(std::ceil(side / zoom_ / 2)) + 1;
    const QRect wanted(pixel_.x() - reach, pixel_.y() - reach, 2 * reach + 1, 2 * reach + 1);
    const QRect taken = wanted & source_.rect();
    const QPointF centre(side / 2.0, side / 2.0);
    if (!taken.isEmpty()) {
        const QPointF corner = centre + (QPointF(taken.topLeft() - pixel_) - QPointF(0.5, 0.5)) * zoom_;
        painter.drawImage(QRectF(corner, QSizeF(taken.width() * zoom_, taken.height() * zoom_)), source_, taken);
    }
    // The marks as the view draws them, at the loupe's scale.
    auto onLoupe = [&](QPointF source) { return centre + (source - QPointF(pixel_) - QPointF(0.5, 0.5)) * zoom_; };
    const double reachOnLoupe = marks_.radius * zoom_;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 255), 2));
    for (const QPointF circle : marks_.circles) painter.drawEllipse(onLoupe(circle), reachOnLoupe, reachOnLoupe);
    painter.setPen(QPen(QColor(235, 110, 0), 2));
    for (const QPointF cross : marks_.crosses) {
        const QPointF at = onLoupe(cross);
        painter.drawLine(at - QPointF(reachOnLoupe, 0), at + QPointF(reachOnLoupe, 0));
        painter.drawLine(at - QPointF(0, reachOnLoupe), at + QPointF(0, reachOnLoupe));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double half = std::max(zoom_ / 2, 1.0);
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.drawRect(QRectF(centre - QPointF(half, half), QSizeF(2 * half, 2 * half)));
    painter.drawLine(QPointF(centre.x(), 0), QPointF(centre.x(), centre.y() - half - 3));
    painter.drawLine(QPointF(centre.x(), centre.y() + half + 3), QPointF(centre.x(), side));
    painter.drawLine(QPointF(0, centre.y()), QPointF(centre.x() - half - 3, centre.y()));
    painter.drawLine(QPointF(centre.x() + half + 3, centre.y()), QPointF(side, centre.y()));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace kanat
