#pragma once

#include "collection/wing_keypoints.h"

#include <optional>
#include <vector>

namespace kanat {

// When a collection wing's keypoints are taken to have found the new wing.
struct RegistrationLimits {
    double ratio = 0.8;         // a match must be this much nearer than the next best (Lowe)
    double ransacDistance = 3;  // shrunk pixels a keypoint may lie off the similarity
    int fewestInliers = 6;      // fewer agreeing matches than these are chance
    double smallestScale = 0.4; // of the wing against the size the picture's size led us to
    double largestScale = 2.5;  // expect; beyond these the similarity is a false one
};

// A collection wing's landmarks carried onto the new picture by the similarity on which its
// keypoints and the picture's agree.
struct RegistrationCandidate {
    Configuration landmarks; // source TPS pixels of the new picture
    int inliers = 0;
};

// None when too few matches agree, the scale is beyond the limits or a landmark would lie outside
// the picture.
std::optional<RegistrationCandidate> registerWing(const WingKeypoints& wing, const Configuration& wingLandmarks,
                                                  const WingKeypoints& picture, const RegistrationLimits& limits = {});

struct Consensus {
    Configuration landmarks; // the inlier-weighted mean of the agreeing candidates
    int inliers = 0;         // of those candidates together
    int wings = 0;           // how many agree
};

// The candidates that agree with one another, their landmarks apart by at most `tolerance` of
// the centroid size (root mean square), the group with the most inliers winning; none without
// candidates.
std::optional<Consensus> consensusOf(const std::vector<RegistrationCandidate>& candidates, double tolerance);

} // namespace kanat
