#pragma once

#include "collection/picture_pyramid.h"

#include <optional>

namespace kanat {

// A proposed place for a landmark and how well its neighbourhood matched the collection's
// (the normalised cross-correlation, 1 for a perfect match).
struct LandmarkGuess {
    ComplexPoint position;
    double confidence = 0;
};

// Proposes the unplaced landmarks of a wing: the collection's mean shape fitted to the placed
// ones says roughly where each lies; the mean neighbourhood of that landmark, searched nearby,
// says exactly. The landmarks nearest the placed ones go first, and each confident match
// steadies the fit for the next.
class LandmarkProposer {
public:
    LandmarkProposer(Configuration mean, std::vector<cv::Mat> templates);

    // One entry per landmark: the placed ones are returned as they are (confidence 1); none
    // without at least two placed landmarks.
    std::vector<std::optional<LandmarkGuess>> propose(const PicturePyramid& picture,
                                                      const std::vector<std::optional<ComplexPoint>>& placed) const;

private:
    struct Attempt;
    bool plausibleSize(const std::vector<std::optional<ComplexPoint>>& placed) const;
    Attempt grow(const PicturePyramid& picture, const std::vector<std::optional<ComplexPoint>>& placed,
                 Reflection reflection, ComplexPoint turn, std::size_t steps) const;
    LandmarkGuess match(const PicturePyramid& picture, std::size_t landmark, const Similarity& fit, double pull) const;

    Configuration mean_;
    std::vector<cv::Mat> templates_;
};

} // namespace kanat
