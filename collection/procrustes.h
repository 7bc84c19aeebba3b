#pragma once

#include "collection/landmark_mask.h"

#include <complex>
#include <vector>

namespace kanat {

// A landmark as a complex number x + iy: a similarity of the plane is then z -> a·z + b.
using ComplexPoint = std::complex<double>;
// The landmarks of one wing in their fixed order.
using Configuration = std::vector<ComplexPoint>;

// A wing's landmarks with those it has; the points of the others are never read.
struct PartialShape {
    Configuration points;
    LandmarkMask present;
};

PartialShape completeShape(Configuration points);

// Never: turn and scale only; Allowed: the mirrored fit when it fits better; Always: mirrored.
enum class Reflection { Never, Allowed, Always };

// z -> a·z + b, or a·conj(z) + b for a wing photographed mirrored.
struct Similarity {
    ComplexPoint a{1, 0};
    ComplexPoint b{0, 0};
    bool reflected = false;

    ComplexPoint operator()(ComplexPoint z) const { return a * (reflected ? std::conj(z) : z) + b; }
    // The same map without its translation, for offsets.
    ComplexPoint linear(ComplexPoint offset) const { return a * (reflected ? std::conj(offset) : offset); }
};

struct SimilarityFit {
    Similarity map;
    double residual = 0; // sum of weighted squared distances left after the fit
};

// The least-squares similarity taking `from` onto `to`, each landmark weighted (a weight of 0
// leaves it out, its points unread). With Reflection::Allowed the mirrored fit is taken when it fits better.
SimilarityFit fitSimilarity(const Configuration& from, const Configuration& to, const std::vector<double>& weights,
                            Reflection reflection);
SimilarityFit fitSimilarity(const Configuration& from, const Configuration& to, Reflection reflection);

ComplexPoint centroid(const Configuration& shape);
double centroidSize(const Configuration& shape);
// Of the landmarks a wing has alone.
double centroidSize(const Configuration& shape, const LandmarkMask& present);
// Centred on the origin and scaled to centroid size 1.
Configuration normalised(const Configuration& shape);

// The full Procrustes distance between two shapes (0 alike, 1 at most), a mirror image counting
// as alike when reflection is allowed.
double procrustesDistance(const Configuration& shape, const Configuration& mean, Reflection reflection);

// The full Procrustes distance of a wing to a mean shape (centred, centroid size 1) on the
// landmarks the wing has: the wing is fitted onto the mean's landmarks there and the squared
// misfit summed in the mean's own frame, so a missing landmark takes away its share of the misfit
// but not of the scale. Each landmark brings two coordinates and the fit takes four (place, turn
// and size), so under like scatter the sum grows as 2·present − 4: it is scaled by
// (2·all − 4)/(2·present − 4) to stand beside a complete wing's, which it equals for a complete
// wing. Needs three landmarks; 0 with fewer.
double partialDistance(const PartialShape& shape, const Configuration& mean, Reflection reflection);

struct ProcrustesAlignment {
    Configuration mean;            // centred, centroid size 1, turned like the first wing with the most landmarks
    std::vector<double> distances; // each wing's partialDistance to the mean
    std::vector<bool> reflected;   // wings that matched the mean only as a mirror image
};

// Generalised Procrustes alignment of configurations of one landmark count; needs at least one.
// Mirrored wings are turned over to match the others. Wings lacking landmarks are each fitted on
// the landmarks they have, and each landmark of the mean is the average over the wings that
// have it, round after round; every landmark must be had by some wing (std::invalid_argument
// otherwise), and every wing must have three not on one spot.
ProcrustesAlignment alignGeneralised(const std::vector<PartialShape>& shapes);
ProcrustesAlignment alignGeneralised(const std::vector<Configuration>& shapes);

// The landmarks that at least one of the wings has.
LandmarkMask heldByAny(const std::vector<PartialShape>& shapes);

} // namespace kanat
