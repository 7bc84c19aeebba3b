#include "collection/placement_confidence.h"
#include "collection/wing_registration.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace kanat {
namespace {

TEST(PlacementParts, TheConfidenceRuleMarksWhatFallsShortOfAnyBound) {
    struct Case {
        const char* name;
        LandmarkEvidence evidence; // correlation, margin, agreement, shape offset
        bool toCheck;
    };
    const Case cases[] = {
        {"a clear junction", {0.8, 0.10, 0.9, 1.0}, false},
        {"just at every bound", {0.3, 0.03, 0.3, 5.0}, false},
        {"along a thick vein: no margin", {0.9, 0.01, 0.9, 1.0}, true},
        {"a weak match", {0.25, 0.10, 0.9, 1.0}, true},
        {"the collection's patches disagree", {0.8, 0.10, 0.2, 1.0}, true},
        {"far off the collection's shape", {0.8, 0.10, 0.9, 6.0}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(needsCheck(c.evidence), c.toCheck);
        // The number shown agrees with the mark: below one half exactly when to be checked.
        const double confidence = confidenceOf(c.evidence);
        EXPECT_GE(confidence, 0);
        EXPECT_LE(confidence, 1);
        EXPECT_EQ(confidence < 0.5, c.toCheck) << confidence;
    }
    EXPECT_LT(confidenceOf({0.9, 0.01, 0.9, 1.0}), confidenceOf({0.9, 0.025, 0.9, 1.0}));
}

RegistrationCandidate candidate(ComplexPoint shift, int inliers) {
    RegistrationCandidate made{{}, inliers};
    for (int i = 0; i < 18; ++i) made.landmarks.push_back(ComplexPoint(30.0 * (i % 6), 40.0 * (i / 6)) + shift);
    return made; // centroid size about 150
}

TEST(PlacementParts, TheAgreeingCandidatesWinByTheirInliersTogether) {
    struct Case {
        const char* name;
        std::vector<RegistrationCandidate> candidates;
        ComplexPoint expectedShift;
        int wings;
    };
    const Case cases[] = {
        {"one", {candidate({5, 5}, 10)}, {5, 5}, 1},
        // Two that agree (4 px apart, within 3% of their size of about 260) outweigh a stronger
        // one elsewhere.
        {"two against one", {candidate({0, 0}, 20), candidate({4, 0}, 20), candidate({80, 0}, 30)}, {2, 0}, 2},
        {"one strong against two weak",
         {candidate({0, 0}, 5), candidate({4, 0}, 5), candidate({80, 0}, 30)},
         {80, 0},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto consensus = consensusOf(c.candidates, 0.03);
        ASSERT_TRUE(consensus);
        EXPECT_EQ(consensus->wings, c.wings);
        EXPECT_NEAR(std::abs(consensus->landmarks[0] - c.expectedShift), 0, 1e-9);
    }
    EXPECT_FALSE(consensusOf({}, 0.03));
}

// A dark dot in a picture is found again at the shrunk picture's darkest pixel, whatever the
// shrinking, the halving it starts from and a mirror.
TEST(PlacementParts, ShrunkPicturesKeepWhereThingsAre) {
    cv::Mat picture(1200, 1600, CV_8U, cv::Scalar(220));
    const cv::Point2d dot(1013, 387); // pixel (column, row), y down
    cv::circle(picture, cv::Point(1013, 387), 6, cv::Scalar(20), cv::FILLED);
    cv::GaussianBlur(picture, picture, {0, 0}, 3);
    const PicturePyramid pyramid = pyramidOf(picture);
    const ComplexPoint tps(dot.x, picture.rows - dot.y);
    for (const double scale : {1.0, 0.6, 0.33, 0.12}) {
        for (const bool mirror : {false, true}) {
            SCOPED_TRACE(std::to_string(scale) + (mirror ? " mirrored" : ""));
            ShrunkPicture shrunk = shrunkPicture(pyramid, scale);
            if (mirror) shrunk = mirroredPicture(shrunk);
            EXPECT_NEAR(shrunk.scale(), scale, 0.01);
            cv::Point darkest;
            cv::minMaxLoc(shrunk.grey, nullptr, nullptr, &darkest, nullptr);
            const cv::Point2d at = shrunk.toShrunk(tps);
            EXPECT_NEAR(at.x, darkest.x, 0.75);
            EXPECT_NEAR(at.y, darkest.y, 0.75);
            EXPECT_NEAR(std::abs(shrunk.toSource(at) - tps), 0, 1e-9);
        }
    }
}

} // namespace
} // namespace kanat
