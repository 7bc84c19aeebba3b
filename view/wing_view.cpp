#include "view/wing_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kanat {
namespace {
constexpr double markRadius = 2.0;
}

WingView::WingView(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(borderWidth);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WingView::paintPicture(const QImage& source, QSize outerSize) {
    source_ = source;
    painted_ = true;
    marks_.clear();
    setFixedSize(outerSize);
    update();
}

void WingView::clearDrawing() {
    marks_.clear();
    update();
}

void WingView::drawCircle(QPointF centre) {
    marks_.push_back(centre);
    update(markBounds(centre));
}

QRect WingView::markBounds(QPointF centre) const {
    const QPointF offset = contentsRect().topLeft();
    const QRectF box(centre + offset - QPointF(markRadius + 2, markRadius + 2),
                     QSizeF(2 * markRadius + 4, 2 * markRadius + 4));
    return box.toAlignedRect();
}

void WingView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    const QRect area = contentsRect();
    painter.fillRect(exposed, palette().window());
    if (painted_ && !source_.isNull() && !area.isEmpty()) {
        // Only the part of the scaled picture that is exposed is drawn, straight from the source.
        const QRect target = exposed & area;
        const double sx = double(source_.width()) / area.width();
        const double sy = double(source_.height()) / area.height();
        const QRectF from((target.left() - area.left()) * sx, (target.top() - area.top()) * sy,
                          target.width() * sx, target.height() * sy);
        painter.drawImage(QRectF(target), source_, from);
    }
    drawFrame(&painter);
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    painter.setPen(QPen(QColor(0, 0, 255), 1));
    painter.setBrush(Qt::NoBrush);
    for (const QPointF& centre : marks_) painter.drawEllipse(centre, markRadius, markRadius);
}

std::optional<QPointF> WingView::drawingPosition(QPointF widgetPosition) const {
    const QPointF position = widgetPosition - QPointF(contentsRect().topLeft());
    // The border is no part of the picture: a press there places nothing.
    const QSize area = drawingSize();
    if (position.x() < 0 || position.y() < 0 || position.x() >= area.width() || position.y() >= area.height())
        return std::nullopt;
    return position;
}

void WingView::mousePressEvent(QMouseEvent* event) {
    if (const auto position = drawingPosition(event->position())) emit pressed(*position);
    event->accept();
}

void WingView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a left double click is not another landmark; other buttons have no
    // double click, so their second press counts.
    if (event->button() != Qt::LeftButton)
        if (const auto position = drawingPosition(event->position())) emit pressed(*position);
    event->accept();
}

} // namespace kanat
