#include "view/wing_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kanat {
namespace {

constexpr double markRadius = 2.0;
const QColor markBlue(0, 0, 255);
const QColor proposalOrange(235, 110, 0);

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
    proposals_.clear();
    setFixedSize(outerSize);
    update();
}

QRegion WingView::changedBetween(const std::vector<ViewMark>& before, const std::vector<ViewMark>& after,
                                 bool numbered) const {
    QRegion changed;
    const std::size_t common = std::min(before.size(), after.size());
    for (std::size_t i = 0; i < common; ++i)
        if (!(before[i] == after[i])) changed += markBounds(before[i], numbered) | markBounds(after[i], numbered);
    for (std::size_t i = common; i < before.size(); ++i) changed += markBounds(before[i], numbered);
    for (std::size_t i = common; i < after.size(); ++i) changed += markBounds(after[i], numbered);
    return changed;
}

void WingView::setMarks(std::vector<ViewMark> marks) {
    const QRegion changed = changedBetween(marks_, marks, numbersShown_);
    marks_ = std::move(marks);
    if (!changed.isEmpty()) update(changed);
}

void WingView::setProposals(std::vector<ViewMark> proposals) {
    const QRegion changed = changedBetween(proposals_, proposals, true);
    proposals_ = std::move(proposals);
    if (!changed.isEmpty()) update(changed);
}

void WingView::setNumbersShown(bool shown) {
    if (shown == numbersShown_) return;
    numbersShown_ = shown;
    QRegion changed;
    for (const ViewMark& mark : marks_) changed += markBounds(mark, true);
    update(changed);
}

QRect WingView::markBounds(const ViewMark& mark, bool numbered) const {
    const QPointF offset = contentsRect().topLeft();
    QRectF box(mark.centre + offset - QPointF(markRadius + 3, markRadius + 3),
               QSizeF(2 * markRadius + 6, 2 * markRadius + 6));
    if (numbered && mark.number > 0) box |= numberBox(mark.centre + offset).adjusted(-1, -1, 1, 1);
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
    painter.setFont(numberFont());
    if (numbersShown_)
        for (const ViewMark& mark : marks_)
            if (mark.number > 0)
                painter.drawText(numberBox(mark.centre), Qt::AlignLeft | Qt::AlignVCenter, QString::number(mark.number));
    // A proposal is a cross, in a colour no press has, so that it is never taken for a landmark.
    painter.setPen(QPen(proposalOrange, 1));
    for (const ViewMark& proposal : proposals_) {
        painter.drawLine(proposal.centre - QPointF(markRadius + 1, 0), proposal.centre + QPointF(markRadius + 1, 0));
        painter.drawLine(proposal.centre - QPointF(0, markRadius + 1), proposal.centre + QPointF(0, markRadius + 1));
        painter.drawText(numberBox(proposal.centre), Qt::AlignLeft | Qt::AlignVCenter, QString::number(proposal.number));
    }
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
