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

Press WingCapture::pressAt(ViewPoint at, const ViewGeometry& view) const {
    const CapturedPoint point = capturePoint(static_cast<float>(at.x), static_cast<float>(at.y), view.baseHeight, decimal_);
    return {at, point.x, point.y, true};
}

bool WingCapture::movable(std::size_t index) const {
    return index >= firstMovable_ && index < presses_.size() && presses_[index].marked;
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
    const std::size_t index = presses_.size();
    std::array<std::string, 2> replaced{};
    if (index < landmarkCount) {
        const int n = static_cast<int>(index) + 1;
        replaced = {sheet_.x(n), sheet_.y(n)};
    }
    const Press placed = pressAt(at, view);
    history_.record({CaptureStep::Kind::Press, index, {}, placed, replaced});
    nudging_.reset();
    place(placed);
}

void WingCapture::place(const Press& press) {
    const std::size_t index = presses_.size();
    presses_.push_back(press);
    lineOfPress_.push_back(list_.size());
    list_.push_back(press.x + ";" + press.y);
    if (index < landmarkCount) {
        const int n = static_cast<int>(index) + 1;
        sheet_.x(n) = press.x;
        sheet_.y(n) = press.y;
    }
    lastTouched_ = index;
}

void WingCapture::unplace(const std::array<std::string, 2>& replacedFields) {
    // Nothing is appended behind a press that can still be taken back.
    const std::size_t index = presses_.size() - 1;
    if (index < landmarkCount) {
        const int n = static_cast<int>(index) + 1;
        sheet_.x(n) = replacedFields[0];
        sheet_.y(n) = replacedFields[1];
    }
    list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(lineOfPress_.back()));
    lineOfPress_.pop_back();
    presses_.pop_back();
    lastTouched_.reset();
    if (!presses_.empty() && presses_.size() > firstMovable_) lastTouched_ = presses_.size() - 1;
}

void WingCapture::setPosition(std::size_t index, const Press& moved) {
    presses_[index] = moved;
    list_[lineOfPress_[index]] = moved.x + ";" + moved.y;
    if (index < landmarkCount) {
        const int n = static_cast<int>(index) + 1;
        sheet_.x(n) = moved.x;
        sheet_.y(n) = moved.y;
    }
    lastTouched_ = index;
}

void WingCapture::type(int field, std::string text) {
    sheet_.texts[static_cast<std::size_t>(field - 1)] = std::move(text);
}

bool WingCapture::takeBack() {
    const auto step = history_.takeBack();
    if (!step) return false;
    nudging_.reset();
    if (step->kind == CaptureStep::Kind::Press)
        unplace(step->replacedFields);
    else
        setPosition(step->press, step->before);
    return true;
}

bool WingCapture::putBack() {
    const auto step = history_.putBack();
    if (!step) return false;
    nudging_.reset();
    if (step->kind == CaptureStep::Kind::Press)
        place(step->after);
    else
        setPosition(step->press, step->after);
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
    const Press after = pressAt(clamped(at, view), view);
    if (samePlace(before, after)) {
        presses_[press] = before; // a Ctrl+press on a mark without a drag changes nothing
        return;
    }
    setPosition(press, after);
    history_.record({CaptureStep::Kind::Move, press, before, after, {}});
    nudging_.reset();
}

bool WingCapture::nudge(double dx, double dy, const ViewGeometry& view) {
    if (!lastTouched_ || !movable(*lastTouched_)) return false;
    const std::size_t index = *lastTouched_;
    const Press before = presses_[index];
    const ViewPoint target{before.at.x + dx, before.at.y + dy};
    if (!inside(target, view)) return false;
    const Press after = pressAt(target, view);
    setPosition(index, after);
    // The arrow keys pressed one after another on one landmark are taken back at once.
    if (nudging_ == index)
        history_.extendLastStep(after);
    else
        history_.record({CaptureStep::Kind::Move, index, before, after, {}});
    nudging_ = index;
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
