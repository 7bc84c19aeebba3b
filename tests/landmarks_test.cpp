// The landmarks of a wing without a window: a press's texts, the counter, source-picture
// positions, and the capture's corrections.
#include "landmarks/landmark_capture.h"
#include "landmarks/source_landmarks.h"
#include "landmarks/wing_capture.h"

#include <gtest/gtest.h>

#include <random>

namespace kanat {
namespace {

TEST(LandmarkCapture, APressGivesXAsASingleAndYCountedUpRoundedHalfToEven) {
    struct Case {
        float x, y;
        double baseHeight;
        char decimal;
        const char* expectedX;
        const char* expectedY;
    };
    const Case cases[] = {
        {10, 20, baseHeightOf(3975), '.', "10", "238"}, // the view of the layout: h = 258.13
        {0, 0, 212.5, '.', "0", "212"},                 // a half goes to the even neighbour
        {0, 0, 213.5, '.', "0", "214"},
        {5, 260, baseHeightOf(3975), '.', "5", "-2"}, // below the base line
        {12.3456789f, 0, 1.25, ',', "12,34568", "1"}, // seven significant digits, the locale's comma
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedX);
        const CapturedPoint point = capturePoint(c.x, c.y, c.baseHeight, c.decimal);
        EXPECT_EQ(point.x, c.expectedX);
        EXPECT_EQ(point.y, c.expectedY);
    }
    EXPECT_EQ(nextCount("0", '.'), "1");
    EXPECT_EQ(nextCount("18", ','), "19");
}

TEST(SourceLandmarks, ViewPositionsBecomeSourcePixelsCountedUpFromTheBottom) {
    LandmarkSheet sheet;
    sheet.x(1) = "10";
    sheet.y(1) = "238";
    sheet.x(2) = "abc"; // typed: reads as 0, as the measurements read it
    const auto points = sourceLandmarks(sheet, ViewOfPicture{258.125, 2, 400});
    ASSERT_TRUE(points[0] && points[1]);
    EXPECT_DOUBLE_EQ(points[0]->x, 20);
    EXPECT_DOUBLE_EQ(points[0]->y, 400 - (258.125 - 238) * 2);
    EXPECT_DOUBLE_EQ(points[1]->x, 0);
    EXPECT_FALSE(points[2]) << "both fields blank: never placed";
    EXPECT_DOUBLE_EQ(sourceLandmarks(sheet, std::nullopt)[0]->y, 238) << "without a picture, the view's pixels";
}

TEST(WingCapture, TakingBackAPressGivesItsFieldsBackAsTheyWere) {
    WingCapture capture('.');
    const WingCapture::ViewGeometry view{100, 50, 50};
    capture.type(1, "typed");
    capture.press({3, 4}, view);
    EXPECT_EQ(capture.sheet().x(1), "3");
    EXPECT_TRUE(capture.takeBack());
    EXPECT_EQ(capture.sheet().x(1), "typed");
    EXPECT_EQ(capture.counter(), 0);
    EXPECT_FALSE(capture.takeBack());
    EXPECT_TRUE(capture.putBack());
    EXPECT_EQ(capture.listLines(), std::vector<std::string>{"3;96"});
}

TEST(WingCapture, OnlyShownMarksOfTheWingInHandMoveAndNudge) {
    WingCapture capture('.');
    const WingCapture::ViewGeometry view{100, 50, 50};
    capture.press({10, 10}, view);
    capture.press({14, 10}, view);
    EXPECT_EQ(capture.movableMarkNear({13, 10}, 6), 1u) << "the nearest";
    EXPECT_FALSE(capture.movableMarkNear({30, 30}, 6));
    EXPECT_FALSE(capture.nudge(40, 0, view)) << "past the view's edge";
    capture.appendResults({"Açı(1-2-5);90"});
    EXPECT_FALSE(capture.movableMarkNear({10, 10}, 6)) << "settled by Hesapla";
    EXPECT_FALSE(capture.nudge(1, 0, view));
    EXPECT_FALSE(capture.takeBack());
    capture.press({20, 20}, view);
    capture.coverMarks();
    EXPECT_FALSE(capture.movableMarkNear({20, 20}, 6)) << "covered by a repaint";
    EXPECT_EQ(capture.counter(), 3);
}

// A model of the sheet that keeps whole states: each step saves the presses as they were, and
// the landmark the arrow keys move is the one a step last changed.
struct SheetModel {
    std::vector<ViewPoint> presses;
    std::vector<std::vector<ViewPoint>> taken, takenBack;
    std::optional<std::size_t> last, nudging;

    void record() {
        taken.push_back(presses);
        takenBack.clear();
        nudging.reset();
    }
    void press(ViewPoint at) {
        record();
        presses.push_back(at);
        last = presses.size() - 1;
    }
    void move(std::size_t which, ViewPoint to) {
        record();
        presses[which] = to;
        last = which;
    }
    void nudge(ViewPoint by, const WingCapture::ViewGeometry& view) {
        if (!last) return;
        const ViewPoint to{presses[*last].x + by.x, presses[*last].y + by.y};
        if (to.x < 0 || to.y < 0 || to.x >= view.width || to.y >= view.height) return;
        if (nudging != last) record();
        presses[*last] = to;
        nudging = last;
    }
    void travel(std::vector<std::vector<ViewPoint>>& from, std::vector<std::vector<ViewPoint>>& to) {
        if (from.empty()) return;
        to.push_back(presses);
        const std::vector<ViewPoint> next = from.back();
        from.pop_back();
        last.reset();
        if (next.size() != presses.size()) {
            if (!next.empty()) last = next.size() - 1;
        } else {
            for (std::size_t i = 0; i < next.size(); ++i)
                if (!(next[i] == presses[i])) last = i;
        }
        presses = next;
        nudging.reset();
    }
    void takeBack() { travel(taken, takenBack); }
    void putBack() { travel(takenBack, taken); }
};

// Counter, sheet, list and marks all tell of exactly these presses, in this order.
void expectPresses(const WingCapture& capture, const std::vector<ViewPoint>& presses,
                   const WingCapture::ViewGeometry& view) {
    ASSERT_EQ(capture.counter(), int(presses.size()));
    ASSERT_EQ(capture.listLines().size(), presses.size());
    for (std::size_t i = 0; i < presses.size(); ++i) {
        const CapturedPoint point = capturePoint(float(presses[i].x), float(presses[i].y), view.baseHeight, '.');
        ASSERT_EQ(capture.presses()[i].at, presses[i]) << "press " << i + 1;
        ASSERT_EQ(capture.listLines()[i], point.x + ";" + point.y) << "press " << i + 1;
        if (i < 18) {
            ASSERT_EQ(capture.sheet().x(int(i) + 1), point.x);
            ASSERT_EQ(capture.sheet().y(int(i) + 1), point.y);
        }
    }
    for (std::size_t n = presses.size() + 1; n <= 18; ++n)
        ASSERT_EQ(capture.sheet().x(int(n)) + capture.sheet().y(int(n)), "");
}

TEST(WingCapture, AnySequenceOfCorrectionsLeavesOneTruthAndTheSheetFreshPressesWouldLeave) {
    const WingCapture::ViewGeometry view{baseHeightOf(4560), 400, 300};
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        auto somewhere = [&] { return ViewPoint{double(random() % 400), double(random() % 300)}; };
        WingCapture capture('.');
        SheetModel model;
        for (int action = 0; action < 400; ++action) {
            switch (random() % 15) {
            case 0:
                capture.refresh();
                model = SheetModel{};
                break;
            case 1:
            case 5:
            case 6:
            case 9: {
                const ViewPoint at = somewhere();
                capture.press(at, view);
                model.press(at);
                break;
            }
            case 2:
            case 7:
                capture.takeBack();
                model.takeBack();
                break;
            case 3:
                capture.putBack();
                model.putBack();
                break;
            case 4:
            case 8:
            case 10: {
                if (model.presses.empty()) break;
                // The nearest mark is taken hold of, the latest of marks on one spot.
                std::size_t which = random() % model.presses.size();
                for (std::size_t i = which + 1; i < model.presses.size(); ++i)
                    if (model.presses[i] == model.presses[which]) which = i;
                const ViewPoint from = model.presses[which];
                const ViewPoint to{from.x + double(random() % 61) - 30, from.y + double(random() % 61) - 30};
                const auto held = capture.movableMarkNear(from, 6);
                ASSERT_EQ(held, which);
                capture.dragMark(*held, to, view);
                capture.finishMove(*held, to, view);
                const ViewPoint dropped{std::clamp(to.x, 0.0, 399.0), std::clamp(to.y, 0.0, 299.0)};
                if (!(dropped == from)) model.move(which, dropped);
                break;
            }
            default: {
                const ViewPoint arrows[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                const ViewPoint by = arrows[random() % 4];
                capture.nudge(by.x, by.y, view);
                model.nudge(by, view);
                break;
            }
            }
            ASSERT_NO_FATAL_FAILURE(expectPresses(capture, model.presses, view)) << "after action " << action;
        }
        WingCapture fresh('.');
        for (const ViewPoint& at : model.presses) fresh.press(at, view);
        EXPECT_EQ(capture.sheet(), fresh.sheet());
        EXPECT_EQ(capture.listLines(), fresh.listLines());
    }
}

} // namespace
} // namespace kanat
