#include "view/guide_pointer.h"

#include "assets/guide_boxes.h"

#include <QPainter>

namespace kanat {
namespace {

bool onGuide(int landmark) { return landmark >= 1 && landmark <= static_cast<int>(guideNumberBoxes.size()); }

// The boxes were placed on the guide as drawn; a guide of another size is scaled alike.
QPointF boxCentre(const QPixmap& guide, int landmark) {
    const GuideNumberBox& box = guideNumberBoxes[static_cast<std::size_t>(landmark - 1)];
    return {box.acrossPercent * guide.width() / 100.0, box.downPercent * guide.height() / 100.0};
}

} // namespace

QPixmap guidePointingAt(const QPixmap& guide, int landmark, const std::vector<int>& missing) {
    if (guide.isNull() || (!onGuide(landmark) && missing.empty())) return guide;
    QPixmap pointing = guide;
    QPainter painter(&pointing);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(90, 90, 90), 2));
    for (const int gone : missing) {
        if (!onGuide(gone)) continue;
        const QPointF centre = boxCentre(guide, gone);
        painter.drawLine(centre - QPointF(10, 8), centre + QPointF(10, 8));
        painter.drawLine(centre - QPointF(10, -8), centre + QPointF(10, -8));
    }
    if (onGuide(landmark)) {
        painter.setPen(QPen(QColor(230, 0, 0), 2.5));
        painter.drawRoundedRect(QRectF(boxCentre(guide, landmark) - QPointF(12, 9), QSizeF(24, 18)), 4, 4);
    }
    return pointing;
}

} // namespace kanat
