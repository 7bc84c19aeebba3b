// How the window shows its state: the sheet, the counter, the list, the marks, the guide's
// pointer and the loupe, each updated only where it changed.
#include "app/form1.h"

#include "measure/number_text.h"
#include "view/guide_pointer.h"
#include "view/loupe.h"
#include "view/wing_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <cmath>

namespace kanat {
namespace {

// The loupe stands this far from the pointer, never under it.
constexpr int loupeGap = 24;

} // namespace

void Form1::showCapture() {
    const LandmarkSheet& sheet = capture_.sheet();
    for (std::size_t i = 0; i < sheet.texts.size(); ++i) {
        if (shown_.sheet.texts[i] == sheet.texts[i]) continue;
        shown_.sheet.texts[i] = sheet.texts[i];
        controls_.Text[i + 1]->setText(QString::fromStdString(sheet.texts[i]));
    }
    if (shown_.counter != capture_.counter()) {
        shown_.counter = capture_.counter();
        controls_.Text[43]->setText(QString::fromStdString(formatGeneral(shown_.counter, environment_.decimal)));
    }
    showList();
    std::vector<ViewMark> marks;
    const std::vector<Press>& presses = capture_.presses();
    for (std::size_t i = 0; i < presses.size(); ++i)
        if (presses[i].marked)
            marks.push_back({QPointF(presses[i].at.x, presses[i].at.y), i < landmarkCount ? static_cast<int>(i) + 1 : 0});
    controls_.Picture2->setMarks(std::move(marks));
    showProposals();
    showGuide();
    showStatus();
    // The loupe shows a press, a move or new proposals under a pointer that has not moved.
    if (loupeShown_ && loupe_->isVisible() && pointer_) pointAt(*pointer_);
}

void Form1::showStatus() {
    const QString status = collectionStatus();
    if (statusLine_->text() != status) statusLine_->setText(status);
}

void Form1::showList() {
    const std::vector<std::string>& lines = capture_.listLines();
    QListWidget* list = controls_.List1;
    while (shown_.list.size() > lines.size()) {
        delete list->takeItem(list->count() - 1);
        shown_.list.pop_back();
    }
    for (std::size_t i = 0; i < shown_.list.size(); ++i) {
        if (shown_.list[i] == lines[i]) continue;
        shown_.list[i] = lines[i];
        list->item(static_cast<int>(i))->setText(QString::fromStdString(lines[i]));
    }
    QStringList added;
    for (std::size_t i = shown_.list.size(); i < lines.size(); ++i) added << QString::fromStdString(lines[i]);
    if (added.isEmpty()) return;
    list->addItems(added);
    shown_.list.insert(shown_.list.end(), lines.begin() + static_cast<std::ptrdiff_t>(shown_.list.size()), lines.end());
}

void Form1::showGuide() {
    // The guide points at the landmark the next press places; after the eighteenth at none.
    const int next = capture_.nextLandmark();
    if (next == shown_.guidedLandmark) return;
    shown_.guidedLandmark = next;
    if (guide_.isNull()) guide_ = QPixmap(QStringLiteral(":/assets/landmark-guide.png"));
    controls_.Image7->setPixmap(guidePointingAt(guide_, next));
}

void Form1::pointAt(QPointF position) {
    pointer_ = position;
    if (!loupeShown_ || source_.isNull()) return;
    const QSize area = controls_.Picture2->drawingSize();
    if (area.isEmpty()) return;
    // The source pixel shown under the pointer, and four times the view's scale.
    const double ratioX = double(source_.width()) / area.width();
    const double ratioY = double(source_.height()) / area.height();
    const QPointF sourcePoint((std::floor(position.x()) + 0.5) * ratioX, (std::floor(position.y()) + 0.5) * ratioY);
    // Circles and crosses are centred on view pixels; the loupe shows them over the source
    // pixels that view pixel shows.
    auto inSource = [&](QPointF view) { return QPointF((view.x() + 0.5) * ratioX, (view.y() + 0.5) * ratioY); };
    LoupeMarks marks;
    marks.radius = 2.5 * ratioX;
    for (const Press& press : capture_.presses())
        if (press.marked) marks.circles.push_back(inSource({press.at.x, press.at.y}));
    for (const ViewMark& proposal : controls_.Picture2->proposals()) marks.crosses.push_back(inSource(proposal.centre));
    loupe_->look(source_, sourcePoint, 4.0 / ratioX, std::move(marks));

    const QPoint pointer = controls_.Picture2->mapTo(
        controls_.client, position.toPoint() + controls_.Picture2->contentsRect().topLeft());
    const QRect room = controls_.client->visibleRegion().boundingRect();
    QPoint corner = pointer + QPoint(loupeGap, loupeGap);
    if (corner.x() + Loupe::side > room.right()) corner.setX(pointer.x() - loupeGap - Loupe::side);
    if (corner.y() + Loupe::side > room.bottom()) corner.setY(pointer.y() - loupeGap - Loupe::side);
    loupe_->move(corner);
    loupe_->raise();
    loupe_->show();
}

} // namespace kanat
