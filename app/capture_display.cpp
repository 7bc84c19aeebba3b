#include "app/capture_display.h"

#include "measure/number_text.h"
#include "view/guide_pointer.h"
#include "view/loupe.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <cmath>

namespace kanat {
namespace {

// The loupe stands this far from the pointer, never under it.
constexpr int loupeGap = 24;

} // namespace

CaptureDisplay::CaptureDisplay(const WindowControls& controls, char decimal)
    : controls_(controls), decimal_(decimal), loupe_(new Loupe(controls.client)) {}

void CaptureDisplay::show(const WingCapture& capture, std::vector<ViewMark> proposals, const QString& status) {
    const LandmarkSheet& sheet = capture.sheet();
    for (std::size_t i = 0; i < sheet.texts.size(); ++i) {
        if (sheet_.texts[i] == sheet.texts[i]) continue;
        sheet_.texts[i] = sheet.texts[i];
        controls_.coordinateFields[i]->setText(QString::fromStdString(sheet.texts[i]));
    }
    if (counter_ != capture.counter()) {
        counter_ = capture.counter();
        controls_.counterField->setText(QString::fromStdString(formatGeneral(counter_, decimal_)));
    }
    showList(capture.listLines());
    std::vector<ViewMark> marks;
    const std::vector<Press>& presses = capture.presses();
    for (std::size_t i = 0; i < presses.size(); ++i)
        if (presses[i].marked)
            marks.push_back(
                {QPointF(presses[i].at.x, presses[i].at.y), i < landmarkCount ? static_cast<int>(i) + 1 : 0});
    controls_.wingView->setMarks(std::move(marks));
    controls_.wingView->setProposals(std::move(proposals));
    std::vector<int> missing;
    for (const Press& press : capture.presses())
        if (press.missing && press.landmark > 0) missing.push_back(press.landmark);
    showGuide(capture.nextLandmark(), std::move(missing));
    if (controls_.statusLine->text() != status) controls_.statusLine->setText(status);
    // The loupe shows a press, a move or new proposals under a pointer that has not moved.
    if (loupeShown_ && loupe_->isVisible() && pointer_)
        pointAt(pointer_->position, pointer_->picture, pointer_->view, capture);
}

void CaptureDisplay::typed(int field, const std::string& text) {
    sheet_.texts[static_cast<std::size_t>(field - 1)] = text;
}

void CaptureDisplay::showList(const std::vector<std::string>& lines) {
    QListWidget* list = controls_.resultList;
    while (list_.size() > lines.size()) {
        delete list->takeItem(list->count() - 1);
        list_.pop_back();
    }
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (list_[i] == lines[i]) continue;
        list_[i] = lines[i];
        list->item(static_cast<int>(i))->setText(QString::fromStdString(lines[i]));
    }
    QStringList added;
    for (std::size_t i = list_.size(); i < lines.size(); ++i) added << QString::fromStdString(lines[i]);
    if (added.isEmpty()) return;
    list->addItems(added);
    list_.insert(list_.end(), lines.begin() + static_cast<std::ptrdiff_t>(list_.size()), lines.end());
}

void CaptureDisplay::showGuide(int next, std::vector<int> missing) {
    // The guide points at the landmark the next press places (after the eighteenth at none) and
    // crosses out the landmarks marked missing.
    if (next == guidedLandmark_ && missing == crossedOut_) return;
    guidedLandmark_ = next;
    crossedOut_ = std::move(missing);
    if (guide_.isNull()) guide_ = QPixmap(QStringLiteral(":/assets/landmark-guide.png"));
    controls_.guidePicture->setPixmap(guidePointingAt(guide_, next, crossedOut_));
}

void CaptureDisplay::toggleNumbers() {
    numbersShown_ = !numbersShown_;
    controls_.wingView->setNumbersShown(numbersShown_);
}

void CaptureDisplay::toggleLoupe() {
    loupeShown_ = !loupeShown_;
    controls_.wingView->setMouseTracking(loupeShown_);
    if (!loupeShown_) loupe_->hide();
}

void CaptureDisplay::pointerLeft() { loupe_->hide(); }

void CaptureDisplay::pointAt(QPointF position, const QImage& picture, const std::optional<ViewOfPicture>& view,
                             const WingCapture& capture) {
    pointer_ = Pointer{position, picture, view};
    if (!loupeShown_ || picture.isNull() || !view) return;
    // A view pixel shows the picture around the middle of the source pixels it covers; in the
    // picture's own rows, y counts down.
    auto inPicture = [&](QPointF at) {
        const TpsPoint point = view->toPicture({std::floor(at.x()) + 0.5, std::floor(at.y()) + 0.5});
        return QPointF(point.x, view->pictureHeight - point.y);
    };
    LoupeMarks marks;
    marks.radius = 2.5 * view->ratio;
    for (const Press& press : capture.presses())
        if (press.marked) marks.circles.push_back(inPicture({press.at.x, press.at.y}));
    for (const ViewMark& proposal : controls_.wingView->proposals())
        marks.crosses.push_back(inPicture(proposal.centre));
    loupe_->look(picture, inPicture(position), 4.0 / view->ratio, std::move(marks));

    const QPoint pointer =
        controls_.wingView->mapTo(controls_.client, position.toPoint() + controls_.wingView->contentsRect().topLeft());
    const QRect room = controls_.client->visibleRegion().boundingRect();
    QPoint corner = pointer + QPoint(loupeGap, loupeGap);
    if (corner.x() + Loupe::side > room.right()) corner.setX(pointer.x() - loupeGap - Loupe::side);
    if (corner.y() + Loupe::side > room.bottom()) corner.setY(pointer.y() - loupeGap - Loupe::side);
    loupe_->move(corner);
    loupe_->raise();
    loupe_->show();
}

} // namespace kanat
