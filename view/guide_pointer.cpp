#include "view/guide_pointer.h"

#include "assets/guide_boxes.h"

#include <QPainter>

namespace kanat {

QPixmap guidePointingAt(const QPixmap& guide, int landmark) {
    if (landmark < 1 || landmark > static_cast<int>(guideNumberBoxes.size()) || guide.isNull()) return guide;
    const GuideNumberBox& box = guideNumberBoxes[static_cast<std::size_t>(landmark - 1)];
    // The boxes were placed on the guide as drawn; a guide of another size is scaled alike.
    const QPointF centre(box.acrossPercent * guide.width() / 100.0, box.downPercent * guide.height() / 100.0);
    QPixmap pointing = guide;
    QPainter painter(&pointing);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(230, 0, 0), 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(centre - QPointF(12, 9), QSizeF(24, 18)), 4, 4);
    return pointing;
}

} // namespace kanat
