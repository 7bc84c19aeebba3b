#include "landmarks/press_history.h"

namespace kanat {

void PressHistory::record(CaptureStep step) {
    taken_.push_back(std::move(step));
    takenBack_.clear();
}

void PressHistory::extendLastStep(const Press& after) {
    if (!taken_.empty()) taken_.back().after = after;
}

std::optional<CaptureStep> PressHistory::takeBack() {
    if (taken_.empty()) return std::nullopt;
    takenBack_.push_back(std::move(taken_.back()));
    taken_.pop_back();
    return takenBack_.back();
}

std::optional<CaptureStep> PressHistory::putBack() {
    if (takenBack_.empty()) return std::nullopt;
    taken_.push_back(std::move(takenBack_.back()));
    takenBack_.pop_back();
    return taken_.back();
}

void PressHistory::clear() {
    taken_.clear();
    takenBack_.clear();
}

} // namespace kanat
