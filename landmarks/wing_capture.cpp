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
    return {std::clamp(at.x, 0.0, std::max(0.0, view.width - 1)),
            std::clamp(at.y, 0.0, std::max(0.0, view.height - 1))};
}

bool samePlace(const Press& a, const Press& b) { return a.at.x == b.at.x && a.at.y == b.at.y; }

std::string lineOf(const Press& press) { return press.x + ";" + press.y; }

} // namespace

Press WingCapture::pressAt(ViewPoint at, const ViewGeometry& view, int landmark) const {
    const CapturedPoint point =
        capturePoint(static_cast<float>(at.x), static_cast<float>(at.y), view.baseHeight, decimal_);
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

WingCapture::Movable WingCapture::movableNow() const {
    const auto firstPress = presses_.begin() + static_cast<std::ptrdiff_t>(firstMovable_);
    const auto firstLine = list_.begin() + static_cast<std::ptrdiff_t>(settledLines_);
    return {{firstPress, presses_.end()}, {firstLine, list_.end()}, sheet_, lastTouched_};
}

void WingCapture::restore(const Movable& from, const Movable& to) {
    presses_.resize(firstMovable_);
    presses_.insert(presses_.end(), to.presses.begin(), to.presses.end());
    list_.resize(settledLines_);
    list_.insert(list_.end(), to.lines.begin(), to.lines.end());
    for (std::size_t i = 0; i < sheet_.texts.size(); ++i)
        if (from.sheet.texts[i] != to.sheet.texts[i]) sheet_.texts[i] = to.sheet.texts[i];
    // The arrow keys go on with the press the step changed: the last one when presses came or
    // went, else the one it moved.
    lastTouched_.reset();
    if (from.presses.size() != to.presses.size()) {
        if (!to.presses.empty()) lastTouched_ = presses_.size() - 1;
        return;
    }
    for (std::size_t i = 0; i < to.presses.size(); ++i)
        if (!samePlace(from.presses[i], to.presses[i])) lastTouched_ = firstMovable_ + i;
}

void WingCapture::record(Movable before, std::optional<std::size_t> nudged) {
    taken_.push_back({std::move(before), movableNow()});
    takenBack_.clear();
    nudgeRun_ = nudged;
}

void WingCapture::place(const Press& press) {
    presses_.push_back(press);
    list_.push_back(lineOf(press));
    if (press.landmark > 0) {
        sheet_.x(press.landmark) = press.x;
        sheet_.y(press.landmark) = press.y;
    }
    lastTouched_ = presses_.size() - 1;
}

void WingCapture::setPosition(std::size_t index, const Press& moved) {
    presses_[index] = moved;
    list_[settledLines_ + (index - firstMovable_)] = lineOf(moved);
    if (moved.landmark > 0) {
        sheet_.x(moved.landmark) = moved.x;
        sheet_.y(moved.landmark) = moved.y;
    }
    lastTouched_ = index;
}

void WingCapture::press(ViewPoint at, const ViewGeometry& view) {
    Movable before = movableNow();
    place(pressAt(at, view, nextLandmark()));
    record(std::move(before));
}

void WingCapture::markMissing() {
    Movable before = movableNow();
    const std::string mark(missingMark);
    place(Press{{}, mark, mark, false, nextLandmark(), true});
    record(std::move(before));
}

void WingCapture::type(int field, std::string text) {
    std::string& typed = sheet_.texts[static_cast<std::size_t>(field - 1)];
    if (typed == text) return;
    typed = std::move(text);
    typedSinceResults_ = true;
}

bool WingCapture::takeBack() {
    if (taken_.empty()) return false;
    nudgeRun_.reset();
    restore(taken_.back().after, taken_.back().before);
    takenBack_.push_back(std::move(taken_.back()));
    taken_.pop_back();
    return true;
}

bool WingCapture::putBack() {
    if (takenBack_.empty()) return false;
    nudgeRun_.reset();
    restore(takenBack_.back().before, takenBack_.back().after);
    taken_.push_back(std::move(takenBack_.back()));
    takenBack_.pop_back();
    return true;
}

void WingCapture::dragMark(std::size_t press, ViewPoint at, const ViewGeometry& view) {
    if (!movable(press)) return;
    if (!dragStart_) dragStart_ = movableNow();
    presses_[press].at = clamped(at, view);
}

void WingCapture::finishMove(std::size_t press, ViewPoint at, const ViewGeometry& view) {
    if (!movable(press)) return;
    Movable before = dragStart_.value_or(movableNow());
    dragStart_.reset();
    const Press& started = before.presses[press - firstMovable_];
    const Press after = pressAt(clamped(at, view), view, started.landmark);
    if (samePlace(started, after)) {
        presses_[press] = started; // a Ctrl+press on a mark without a drag changes nothing
        return;
    }
    setPosition(press, after);
    record(std::move(before));
}

bool WingCapture::nudge(double dx, double dy, const ViewGeometry& view) {
    if (!lastTouched_ || !movable(*lastTouched_)) return false;
    const std::size_t index = *lastTouched_;
    const ViewPoint target{presses_[index].at.x + dx, presses_[index].at.y + dy};
    if (!inside(target, view)) return false;
    Movable before = movableNow();
    // Typing in the sheet since the last nudge counts as something between.
    const bool continues = nudgeRun_ == index && taken_.back().after == before;
    setPosition(index, pressAt(target, view, presses_[index].landmark));
    if (continues)
        taken_.back().after = movableNow();
    else
        record(std::move(before), index);
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
        if (held && presses_[*held].missing)
            laidOut.push_back(presses_[*held]); // stays missing
        else
            laidOut.push_back(pressAt(held ? presses_[*held].at : *given, view, n));
    }
    Movable before = movableNow();
    presses_.clear();
    list_.resize(settledLines_);
    for (const Press& press : laidOut) place(press);
    lastTouched_.reset();
    record(std::move(before));
    return true;
}

void WingCapture::settle() {
    firstMovable_ = presses_.size();
    settledLines_ = list_.size();
    taken_.clear();
    takenBack_.clear();
    lastTouched_.reset();
    dragStart_.reset();
    nudgeRun_.reset();
}

void WingCapture::appendResults(const std::vector<std::string>& lines) {
    list_.insert(list_.end(), lines.begin(), lines.end());
    pressesAtResults_ = presses_.size();
    typedSinceResults_ = false;
    settle();
}

void WingCapture::coverMarks() {
    for (Press& press : presses_) press.marked = false;
    settle();
}

void WingCapture::refresh() {
    presses_.clear();
    list_.clear();
    sheet_ = {};
    pressesAtResults_ = 0;
    typedSinceResults_ = false;
    settle();
}

} // namespace kanat
