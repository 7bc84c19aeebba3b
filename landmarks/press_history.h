#pragma once

#include "landmarks/press.h"
#include "measure/landmark_sheet.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kanat {

// Everything a wing's presses have written, as it stood at one moment.
struct CaptureSnapshot {
    std::vector<Press> presses;
    std::vector<std::string> list;
    std::vector<std::size_t> lineOfPress;
    LandmarkSheet sheet;
};

// One step the user can take back: a press, which may have replaced the texts of its
// landmark's fields; a move of a press from one place to another; or the whole wing laid out
// anew (proposals accepted), kept as it was before and after.
struct CaptureStep {
    enum class Kind { Press, Move, Layout };
    Kind kind = Kind::Press;
    std::size_t press = 0;
    Press before; // a move's starting place
    Press after;  // the press, or a move's end
    std::array<std::string, 2> replacedFields;
    std::shared_ptr<const CaptureSnapshot> wingBefore, wingAfter;
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
