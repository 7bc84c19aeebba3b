#include "view/wing_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace kanat {
namespace {

constexpr double markRadius = 2.0;
const QColor markBlue(0, 0, 255);
const QColor proposalOrange(235, 110, 0);
const QColor doubtfulRed(220, 0, 40);
const QColor rulerGreen(0, 170, 60);

QFont numberFont() {
    QFont font;
    font.setPixelSize(10);
    font.setBold(true);
    return font;
}

// A landmark's number stands to the upper right of its circle, or where there is room.
constexpr QSizeF numberSize(20, 11);
constexpr QPointF numberPlaces[] = {{3, -13}, {3, 2}, {-23, -13}, {-23, 2}};

} // namespace

WingView::WingView(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(borderWidth);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WingView::paintPicture(const QImage& source, QSize outerSize, double scale) {
    source_ = source;
    scale_ = scale > 0 ? scale : 1;
    painted_ = true;
    marks_.clear();
    proposals_.clear();
    shownMarks_.clear();
    shownProposals_.clear();
    ruler_.clear();
    setFixedSize(outerSize);
    update();
}

std::vector<WingView::Labelled> WingView::labelled(const std::vector<ViewMark>& marks, bool numbered,
                                                   std::vector<QRectF>& taken) const {
    const QRectF area(QPointF(0, 0), QSizeF(drawingSize()));
    std::vector<Labelled> laidOut;
    for (const ViewMark& mark : marks) {
        if (!numbered || mark.number <= 0) {
            laidOut.push_back({mark, {}});
            continue;
        }
        auto boxAt = [&](QPointF place) { return QRectF(mark.centre + place, numberSize); };
        auto inside = [&](const QRectF& box) { return area.contains(box); };
        auto clear = [&](const QRectF& box) {
            return std::none_of(taken.begin(), taken.end(), [&](const QRectF& other) { return other.intersects(box); });
        };
        QRectF chosen;
        for (const QPointF place : numberPlaces)
            if (inside(boxAt(place)) && clear(boxAt(place))) {
                chosen = boxAt(place);
                break;
            }
        if (chosen.isNull())
            for (const QPointF place : numberPlaces)
                if (inside(boxAt(place))) {
                    chosen = boxAt(place);
                    break;
                }
        if (chosen.isNull()) chosen = boxAt(numberPlaces[0]);
        taken.push_back(chosen);
        laidOut.push_back({mark, chosen});
    }
    return laidOut;
}

void WingView::layOut(std::vector<ViewMark> marks, std::vector<ViewMark> proposals) {
    marks_ = std::move(marks);
    proposals_ = std::move(proposals);
    std::vector<QRectF> taken;
    std::vector<Labelled> shownMarks = labelled(marks_, numbersShown_, taken);
    std::vector<Labelled> shownProposals = labelled(proposals_, true, taken);
    const QRegion changed = changedBetween(shownMarks_, shownMarks) + changedBetween(shownProposals_, shownProposals);
    shownMarks_ = std::move(shownMarks);
    shownProposals_ = std::move(shownProposals);
    if (!changed.isEmpty()) update(changed);
}

std::vector<QRectF> WingView::proposalLabels() const {
    std::vector<QRectF> labels;
    for (const Labelled& shown : shownProposals_) labels.push_back(shown.label);
    return labels;
}

QRegion WingView::changedBetween(const std::vector<Labelled>& before, const std::vector<Labelled>& after) const {
    QRegion changed;
    const std::size_t common = std::min(before.size(), after.size());
    for (std::size_t i = 0; i < common; ++i)
        if (!(before[i] == after[i])) changed += bounds(before[i]) | bounds(after[i]);
    for (std::size_t i = common; i < before.size(); ++i) changed += bounds(before[i]);
    for (std::size_t i = common; i < after.size(); ++i) changed += bounds(after[i]);
    return changed;
}

void WingView::setMarks(std::vector<ViewMark> marks) { layOut(std::move(marks), proposals_); }

void WingView::setProposals(std::vector<ViewMark> proposals) { layOut(marks_, std::move(proposals)); }

void WingView::setRuler(std::vector<QPointF> ends) {
    if (ends == ruler_) return;
    ruler_ = std::move(ends);
    update();
}

void WingView::setNumbersShown(bool shown) {
    if (shown == numbersShown_) return;
    numbersShown_ = shown;
    layOut(marks_, proposals_);
}

QRect WingView::bounds(const Labelled& shown) const {
    const QPointF offset = contentsRect().topLeft();
    QRectF box(shown.mark.centre + offset - QPointF(markRadius + 3, markRadius + 3),
               QSizeF(2 * markRadius + 6, 2 * markRadius + 6));
    if (!shown.label.isNull()) box |= shown.label.translated(offset).adjusted(-1, -1, 1, 1);
    return box.toAlignedRect();
}

void WingView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    const QRect area = contentsRect();
    painter.fillRect(exposed, palette().window());
    if (painted_ && !source_.isNull() && !area.isEmpty()) {
        // Only the part of the scaled picture that is exposed is drawn, straight from the source.
        const QRectF shown(area.topLeft(), QSizeF(source_.width() * scale_, source_.height() * scale_));
        const QRectF target = QRectF(exposed & area) & shown;
        if (!target.isEmpty()) {
            const QRectF from((target.left() - area.left()) / scale_, (target.top() - area.top()) / scale_,
                              target.width() / scale_, target.height() / scale_);
            painter.drawImage(target, source_, from);
        }
    }
    drawFrame(&painter);
    painter.setClipRect(area & exposed);
    painter.translate(area.topLeft());
    painter.setPen(QPen(markBlue, 1));
    painter.setBrush(Qt::NoBrush);
    painter.setFont(numberFont());
    for (const Labelled& shown : shownMarks_) {
        painter.drawEllipse(shown.mark.centre, markRadius, markRadius);
        if (!shown.label.isNull())
            painter.drawText(shown.label, Qt::AlignLeft | Qt::AlignVCenter, QString::number(shown.mark.number));
    }
    painter.setPen(QPen(rulerGreen, 1));
    for (const QPointF end : ruler_) {
        painter.drawLine(end - QPointF(5, 5), end + QPointF(5, 5));
        painter.drawLine(end - QPointF(5, -5), end + QPointF(5, -5));
    }
    if (ruler_.size() == 2) painter.drawLine(ruler_[0], ruler_[1]);
    // A proposal is a cross, in a colour no press has, so that it is never taken for a landmark;
    // one worth a look is red, its number followed by a question mark.
    for (const Labelled& shown : shownProposals_) {
        painter.setPen(QPen(shown.mark.doubtful ? doubtfulRed : proposalOrange, 1));
        const QPointF centre = shown.mark.centre;
        painter.drawLine(centre - QPointF(markRadius + 1, 0), centre + QPointF(markRadius + 1, 0));
        painter.drawLine(centre - QPointF(0, markRadius + 1), centre + QPointF(0, markRadius + 1));
        const QString number =
            QString::number(shown.mark.number) + (shown.mark.doubtful ? QStringLiteral("?") : QString());
        painter.drawText(shown.label, Qt::AlignLeft | Qt::AlignVCenter, number);
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
