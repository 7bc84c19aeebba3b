#include "view/wing_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kanat {
namespace {

constexpr double markRadius = 2.0;
const QColor markBlue(0, 0, 255);

QFont numberFont() {
    QFont font;
    font.setPixelSize(10);
    font.setBold(true);
    return font;
}

// A landmark's number stands to the upper right of its circle.
QRectF numberBox(QPointF centre) { return {centre + QPointF(3, -13), QSizeF(16, 11)}; }

} // namespace

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

void WingView::setMarks(std::vector<ViewMark> marks) {
    QRegion changed;
    const std::size_t common = std::min(marks.size(), marks_.size());
    for (std::size_t i = 0; i < common; ++i)
        if (!(marks[i] == marks_[i])) changed += markBounds(marks_[i]) | markBounds(marks[i]);
    for (std::size_t i = common; i < marks_.size(); ++i) changed += markBounds(marks_[i]);
    for (std::size_t i = common; i < marks.size(); ++i) changed += markBounds(marks[i]);
    marks_ = std::move(marks);
    if (!changed.isEmpty()) update(changed);
}

void WingView::setNumbersShown(bool shown) {
    if (shown == numbersShown_) return;
    numbersShown_ = shown;
    QRegion changed;
    for (const ViewMark& mark : marks_) changed += markBounds(mark);
    update(changed);
}

QRect WingView::markBounds(const ViewMark& mark) const {
    const QPointF offset = contentsRect().topLeft();
    QRectF box(mark.centre + offset - QPointF(markRadius + 2, markRadius + 2),
               QSizeF(2 * markRadius + 4, 2 * markRadius + 4));
    if (numbersShown_ && mark.number > 0) box |= numberBox(mark.centre + offset).adjusted(-1, -1, 1, 1);
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
    painter.setClipRect(area & exposed);
    painter.translate(area.topLeft());
    painter.setPen(QPen(markBlue, 1));
    painter.setBrush(Qt::NoBrush);
    for (const ViewMark& mark : marks_) painter.drawEllipse(mark.centre, markRadius, markRadius);
    if (!numbersShown_) return;
    painter.setFont(numberFont());
    for (const ViewMark& mark : marks_)
        if (mark.number > 0)
            painter.drawText(numberBox(mark.centre), Qt::AlignLeft | Qt::AlignVCenter, QString::number(mark.number));
}

QPointF WingView::inDrawingArea(QPointF widgetPosition) const {
    return widgetPosition - QPointF(contentsRect().topLeft());
}

std::optional<QPointF> WingView::drawingPosition(QPointF widgetPosition) const {
    const QPointF position = inDrawingArea(widgetPosition);
    // The border is no part of the picture: a press there places nothing.
    const QSize area = drawingSize();
    if (position.x() < 0 || position.y() < 0 || position.x() >= area.width() || position.y() >= area.height())
        return std::nullopt;
    return position;
}

void WingView::mousePressEvent(QMouseEvent* event) {
    if (const auto position = drawingPosition(event->position())) emit pressed(*position, event->modifiers());
    event->accept();
}

void WingView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a left double click is not another landmark; other buttons have no
    // double click, so their second press counts.
    if (const auto position = drawingPosition(event->position())) {
        if (event->button() == Qt::LeftButton)
            emit doubleClicked(*position, event->modifiers());
        else
            emit pressed(*position, event->modifiers());
    }
    event->accept();
}

void WingView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = inDrawingArea(event->position());
    if (event->buttons() != Qt::NoButton) emit dragged(position);
    emit pointerMoved(position);
    event->accept();
}

void WingView::mouseReleaseEvent(QMouseEvent* event) {
    emit released(inDrawingArea(event->position()));
    event->accept();
}

void WingView::leaveEvent(QEvent* event) {
    emit pointerLeft();
    QFrame::leaveEvent(event);
}

} // namespace kanat
