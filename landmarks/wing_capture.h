#pragma once

#include "landmarks/press.h"
#include "measure/landmark_sheet.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kanat {

// What the window shows of one wing's digitising: the press counter, the landmark sheet, the
// result list and the marks on the view. It is the one place this state lives; the window's
// controls only show it. Presses since the last "Hesapla", picture repaint or "Yenile" can be
// taken back, put back, moved and nudged, and the sheet, the list and the marks always read as
// if the presses had been made at their final positions.
//
// Press n places landmark n, and nothing after the eighteenth.
class WingCapture {
public:
    // What a press depends on besides its position: the view's base height h (y = h − Y) and
    // its drawing area, which a moved landmark never leaves.
    struct ViewGeometry {
        double baseHeight = 0;
        double width = 0;
        double height = 0;
    };

    explicit WingCapture(char decimal) : decimal_(decimal) {}

    int counter() const { return static_cast<int>(presses_.size()); }
    const LandmarkSheet& sheet() const { return sheet_; }
    const std::vector<std::string>& listLines() const { return list_; }
    const std::vector<Press>& presses() const { return presses_; }
    // The press an arrow key moves: the one placed, moved or put back last.
    std::optional<std::size_t> lastTouched() const { return lastTouched_; }
    // The shown mark within `radius` of `at` that can still be moved, nearest first.
    std::optional<std::size_t> movableMarkNear(ViewPoint at, double radius) const;
    // Presses made since the last results were appended (or since "Yenile"), or a landmark
    // typed since then.
    bool placedSinceResults() const { return presses_.size() > pressesAtResults_ || typedSinceResults_; }
    // No press has been settled: every press is of the wing in hand.
    bool nothingSettled() const { return firstMovable_ == 0; }
    // The landmark the next press places; 0 when all 18 are held.
    int nextLandmark() const;
    // The press that holds landmark n (1 to 18), if any.
    std::optional<std::size_t> pressOf(int landmark) const;
    bool canTakeBack() const { return !taken_.empty(); }
    bool canPutBack() const { return !takenBack_.empty(); }

    void press(ViewPoint at, const ViewGeometry& view);
    // Marks the next landmark as not there on the wing: its fields and its list line hold the
    // missing mark, the counter goes on; one step, which moves, nudges and proposals pass over.
    void markMissing();
    // Lays the wing out as 18 presses in landmark order: each held landmark where it is, the
    // others at `places`, as presses there would. One step to take back; false (and nothing
    // done) unless every landmark is held or given and nothing is settled.
    bool placeAll(const std::array<std::optional<ViewPoint>, landmarkCount>& places, const ViewGeometry& view);
    // The user typed `text` into coordinate field `field` (1 to 36: the x field of landmark n
    // is 2n − 1, its y field 2n).
    void type(int field, std::string text);
    bool takeBack();
    bool putBack();
    // A drag shows the mark at `at` only; its end places the landmark there as a press would.
    void dragMark(std::size_t press, ViewPoint at, const ViewGeometry& view);
    void finishMove(std::size_t press, ViewPoint at, const ViewGeometry& view);
    bool nudge(double dx, double dy, const ViewGeometry& view);

    // "Hesapla" appends its lines; what came before can no longer be taken back or moved.
    void appendResults(const std::vector<std::string>& lines);
    // The picture was painted again: the marks are covered and the presses are settled.
    void coverMarks();
    void refresh(); // "Yenile"

private:
    // What a step can change: the presses not yet settled, their list lines, the sheet, and the
    // press the arrow keys move. A step keeps it as it was before and after.
    struct Movable {
        std::vector<Press> presses;
        std::vector<std::string> lines;
        LandmarkSheet sheet;
        std::optional<std::size_t> lastTouched;
        bool operator==(const Movable&) const = default;
    };
    struct Step {
        Movable before, after;
    };

    Press pressAt(ViewPoint at, const ViewGeometry& view, int landmark) const;
    bool movable(std::size_t index) const;
    Movable movableNow() const;
    // Makes `to` the state; of the sheet, only the fields the step itself changed from `from`,
    // so that a landmark typed meanwhile stays.
    void restore(const Movable& from, const Movable& to);
    void record(Movable before, std::optional<std::size_t> nudged = std::nullopt);
    void place(const Press& press);
    void setPosition(std::size_t index, const Press& moved);
    void settle();

    char decimal_;
    std::vector<Press> presses_;
    std::vector<std::string> list_;
    LandmarkSheet sheet_;
    std::vector<Step> taken_, takenBack_;
    std::size_t firstMovable_ = 0; // presses before this one are settled
    std::size_t settledLines_ = 0; // and so are the list's lines before this one
    std::size_t pressesAtResults_ = 0;
    bool typedSinceResults_ = false;
    std::optional<std::size_t> lastTouched_;
    std::optional<Movable> dragStart_; // the state before a drag began
    // The press whose nudges the last step holds, while nothing else has been done since: the
    // arrow keys pressed one after another on one landmark are one step.
    std::optional<std::size_t> nudgeRun_;
};

} // namespace kanat
