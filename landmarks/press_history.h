#pragma once

#include "landmarks/press.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kanat {

// One step the user can take back: a press, which may have replaced the texts of its
// landmark's fields, or a move of a press from one place to another.
struct CaptureStep {
    enum class Kind { Press, Move };
    Kind kind = Kind::Press;
    std::size_t press = 0;
    Press before; // a move's starting place
    Press after;  // the press, or a move's end
    std::array<std::string, 2> replacedFields;
};

// Steps taken and taken back, newest last. A new step forgets what was taken back.
class PressHistory {
public:
    void record(CaptureStep step);
    // A run of nudges of one landmark, with nothing else between, is one step.
    void extendLastStep(const Press& after);
    std::optional<CaptureStep> takeBack();
    std::optional<CaptureStep> putBack();
    bool canTakeBack() const { return !taken_.empty(); }
    bool canPutBack() const { return !takenBack_.empty(); }
    void clear();

private:
    std::vector<CaptureStep> taken_;
    std::vector<CaptureStep> takenBack_;
};

} // namespace kanat
