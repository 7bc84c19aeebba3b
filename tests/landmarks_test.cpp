// The landmarks of a wing without a window: a press's texts, the counter, source-picture
// positions, and the capture's corrections.
#include "landmarks/landmark_capture.h"
#include "landmarks/source_landmarks.h"
#include "landmarks/wing_capture.h"

#include <gtest/gtest.h>

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
        {5, 260, baseHeightOf(3975), '.', "5", "-2"},   // below the base line
        {12.3456789f, 0, 1.25, ',', "12,34568", "1"},   // seven significant digits, the locale's comma
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
    const auto points = sourceLandmarks(sheet, ViewOfPicture{258.125, 2, 2, 400});
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

} // namespace
} // namespace kanat
