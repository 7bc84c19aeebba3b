#pragma once

namespace kanat {

// What the last correlation pass saw of one landmark.
struct LandmarkEvidence {
    // The mean of the collection's patches' correlations at the chosen place (1 at most).
    double correlation = 0;
    // How far that peak stands above the best value a few pixels away from it; low along a
    // thick vein, where the match hardly changes as it slides.
    double margin = 0;
    // The share of the collection's patches whose own best place is within a pixel and a half.
    double agreement = 0;
    // How far the landmark lies from where the others put it by the collection's shape, in the
    // collection's own spread of that landmark.
    double shapeOffset = 0;
};

// Below or above these a landmark is shown to be checked.
struct ConfidenceRule {
    double leastCorrelation;
    double leastMargin;
    double leastAgreement;
    double mostShapeOffset;
};

// Set on the repository's real wings, each placed from collections of the others (kanat-bench
// --registration): of the landmarks passing it, 3 in 2,579 were more than 5 px off, and a wing
// had about 2.6 to check: 14 on the thick leading-edge vein always, 7 mostly, 6 half the time,
// all for their low margin. The correlation, agreement and shape bounds catch nothing there;
// they guard against a landmark on the wrong vein junction, whose margin may look fine.
inline constexpr ConfidenceRule calibratedRule{0.3, 0.03, 0.3, 5.0};

bool needsCheck(const LandmarkEvidence& evidence, const ConfidenceRule& rule = calibratedRule);

// One number from 0 to 1 for the window to show: each piece of evidence against its own bound,
// the weakest counting; 0.5 is where a landmark starts to need a look.
double confidenceOf(const LandmarkEvidence& evidence, const ConfidenceRule& rule = calibratedRule);

} // namespace kanat
