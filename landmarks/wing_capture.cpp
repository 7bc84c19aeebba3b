#include "landmarks/wing_capture.h"

#include "landmarks/landmark_capture.h"

#include <algorithm>
#include <cmath>

namespace kanat {
namespace {

bool inside(ViewPoint at, const WingCapture::ViewGeometry& view) {
    return at.x >= 0 && at.y >= 0 && at.x <= view.width - 1 && at.y <= view.height - 1;
}

ViewPoint clamped(ViewPoint at, const WingCapture::ViewGeometry& view) {
    return {std::clamp(at.x, 0.0, std::max(0.0, view.width - 1)), std::clamp(at.y, 0.0, std::max(0.0, view.height - 1))};
}

bool samePlace(const Press& a, const Press& b) { return a.at.x == b.at.x && a.at.y == b.at.y; }

} // namespace

Press WingCapture::pressAt(ViewPoint at, const ViewGeometry& view, int landmark) const {
    const CapturedPoint point = capturePoint(static_cast<float>(at.x), static_cast<float>(at.y), view.baseHeight, decimal_);
    return {at, point.x, point.y, true, landmark};
}

bool WingCapture::movable(std::size_t index) const {
    return index >= firstMovable_ && index < presses_.size() && presses_[index].marked;
}

std::optional<std::size_t> WingCapture::pressOf(int landmark) const {
    for (std::size_t i = 0; i < presses_.size(); ++i)
        if (presses_[i].landmark == landmark) return i;
    return std::nullopt;
}

int WingCapture::nextLandmark() const {
    for (int n = 1; n <= landmarkCount; ++n)
        if (!pressOf(n)) return n;
    return 0;
}

std::optional<std::size_t> WingCapture::movableMarkNear(ViewPoint at, double radius) const {
    std::optional<std::size_t> nearest;
    double best = radius;
    for (std::size_t i = firstMovable_; i < presses_.size(); ++i) {
        const double distance = std::hypot(presses_[i].at.x - at.x, presses_[i].at.y - at.y);
        if (presses_[i].marked && distance <= best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

void WingCapture::press(ViewPoint at, const ViewGeometry& view) {
    const int placed = nextLandmark();
    std::array<std::string, 2> replaced{};
    if (placed > 0) replaced = {sheet_.x(placed), sheet_.y(placed)};
    const Press made = pressAt(at, view, placed);
    history_.record({CaptureStep::Kind::Press, presses_.size(), {}, made, replaced, {}, {}});
    nudging_.reset();
    place(made);
}

void WingCapture::writeFields(int landmark, const std::string& x, const std::string& y) {
    if (landmark < 1) return;
    sheet_.x(landmark) = x;
    sheet_.y(landmark) = y;
}

void WingCapture::place(const Press& press) {
    presses_.push_back(press);
    lineOfPress_.push_back(list_.size());
    list_.push_back(press.x + ";" + press.y);
    writeFields(press.landmark, press.x, press.y);
    lastTouched_ = presses_.size() - 1;
}

void WingCapture::unplace(const std::array<std::string, 2>& replacedFields) {
    // Nothing is appended behind a press that can still be taken back.
    writeFields(presses_.back().landmark, replacedFields[0], replacedFields[1]);
    list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(lineOfPress_.back()));
    lineOfPress_.pop_back();
    presses_.pop_back();
    lastTouched_.reset();
    if (!presses_.empty() && presses_.size() > firstMovable_) lastTouched_ = presses_.size() - 1;
}

void WingCapture::setPosition(std::size_t index, const Press& moved) {
    presses_[index] = moved;
    list_[lineOfPress_[index]] = moved.x + ";" + moved.y;
    writeFields(moved.landmark, moved.x, moved.y);
    lastTouched_ = index;
}

CaptureSnapshot WingCapture::snapshot() const { return {presses_, list_, lineOfPress_, sheet_}; }

void WingCapture::restore(const CaptureSnapshot& wing) {
    presses_ = wing.presses;
    list_ = wing.list;
    lineOfPress_ = wing.lineOfPress;
    sheet_ = wing.sheet;
    lastTouched_.reset();
}

void WingCapture::type(int field, std::string text) {
    sheet_.texts[static_cast<std::size_t>(field - 1)] = std::move(text);
}

bool WingCapture::takeBack() {
    const auto step = history_.takeBack();
    if (!step) return false;
    nudging_.reset();
    switch (step->kind) {
    case CaptureStep::Kind::Press: unplace(step->replacedFields); break;
    case CaptureStep::Kind::Move: setPosition(step->press, step->before); break;
    case CaptureStep::Kind::Layout: restore(*step->wingBefore); break;
    }
    return true;
}

bool WingCapture::putBack() {
    const auto step = history_.putBack();
    if (!step) return false;
    nudging_.reset();
    switch (step->kind) {
    case CaptureStep::Kind::Press: place(step->after); break;
    case CaptureStep::Kind::Move: setPosition(step->press, step->after); break;
    case CaptureStep::Kind::Layout: restore(*step->wingAfter); break;
    }
    return true;
}

void WingCapture::dragMark(std::size_t press, ViewPoint at, const ViewGeometry& view) {
    if (!movable(press)) return;
    if (!dragStart_) dragStart_ = presses_[press];
    presses_[press].at = clamped(at, view);
}

void WingCapture::finishMove(std::size_t press, ViewPoint at, const ViewGeometry& view) {
    if (!movable(press)) return;
    const Press before = dragStart_.value_or(presses_[press]);
    dragStart_.reset();
    const Press after = pressAt(clamped(at, view), view, before.landmark);
    if (samePlace(before, after)) {
        presses_[press] = before; // a Ctrl+press on a mark without a drag changes nothing
        return;
    }
    setPosition(press, after);
    history_.record({CaptureStep::Kind::Move, press, before, after, {}, {}, {}});
    nudging_.reset();
}

bool WingCapture::nudge(double dx, double dy, const ViewGeometry& view) {
    if (!lastTouched_ || !movable(*lastTouched_)) return false;
    const std::size_t index = *lastTouched_;
    const Press before = presses_[index];
    const ViewPoint target{before.at.x + dx, before.at.y + dy};
    if (!inside(target, view)) return false;
    const Press after = pressAt(target, view, before.landmark);
    setPosition(index, after);
    // The arrow keys pressed one after another on one landmark are taken back at once.
    if (nudging_ == index)
        history_.extendLastStep(after);
    else
        history_.record({CaptureStep::Kind::Move, index, before, after, {}, {}, {}});
    nudging_ = index;
    return true;
}

bool WingCapture::placeAll(const std::array<std::optional<ViewPoint>, landmarkCount>& places,
                           const ViewGeometry& view) {
    if (!nothingSettled() || presses_.size() > static_cast<std::size_t>(landmarkCount)) return false;
    std::vector<Press> laidOut;
    for (int n = 1; n <= landmarkCount; ++n) {
        const auto held = pressOf(n);
        const auto& given = places[static_cast<std::size_t>(n - 1)];
        if (!held && !given) return false;
        laidOut.push_back(pressAt(held ? presses_[*held].at : *given, view, n));
    }
    auto before = std::make_shared<const CaptureSnapshot>(snapshot());
    // The presses' lines are the list's last: nothing has been appended since they were made.
    if (!lineOfPress_.empty()) list_.resize(lineOfPress_.front());
    presses_.clear();
    lineOfPress_.clear();
    for (const Press& press : laidOut) place(press);
    history_.record({CaptureStep::Kind::Layout, 0, {}, {}, {}, std::move(before),
                     std::make_shared<const CaptureSnapshot>(snapshot())});
    nudging_.reset();
    return true;
}

void WingCapture::settle() {
    firstMovable_ = presses_.size();
    history_.clear();
    lastTouched_.reset();
    dragStart_.reset();
    nudging_.reset();
}

void WingCapture::appendResults(const std::vector<std::string>& lines) {
    settle();
    pressesAtResults_ = presses_.size();
    list_.insert(list_.end(), lines.begin(), lines.end());
}

void WingCapture::coverMarks() {
    for (Press& press : presses_) press.marked = false;
    settle();
}

void WingCapture::refresh() {
    presses_.clear();
    list_.clear();
    lineOfPress_.clear();
    sheet_ = {};
    pressesAtResults_ = 0;
    settle();
}

} // namespace kanat
