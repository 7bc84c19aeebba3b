#pragma once

#include <complex>
#include <vector>

namespace kanat {

// A landmark as a complex number x + iy: a similarity of the plane is then z -> a·z + b.
using ComplexPoint = std::complex<double>;
// The landmarks of one wing in their fixed order.
using Configuration = std::vector<ComplexPoint>;

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
// leaves it out). With Reflection::Allowed the mirrored fit is taken when it fits better.
SimilarityFit fitSimilarity(const Configuration& from, const Configuration& to, const std::vector<double>& weights,
                            Reflection reflection);
SimilarityFit fitSimilarity(const Configuration& from, const Configuration& to, Reflection reflection);

ComplexPoint centroid(const Configuration& shape);
double centroidSize(const Configuration& shape);
// Centred on the origin and scaled to centroid size 1.
Configuration normalised(const Configuration& shape);

// The full Procrustes distance between two shapes (0 alike, 1 at most), a mirror image counting
// as alike when reflection is allowed.
double procrustesDistance(const Configuration& shape, const Configuration& mean, Reflection reflection);

struct ProcrustesAlignment {
    Configuration mean;            // centred, centroid size 1, in the first wing's orientation
    std::vector<double> distances; // each wing's full Procrustes distance to the mean
    std::vector<bool> reflected;   // wings that matched the mean only as a mirror image
};

// Generalised Procrustes alignment of complete configurations of one landmark count; needs at
// least one. Mirrored wings are turned over to match the others.
ProcrustesAlignment alignGeneralised(const std::vector<Configuration>& shapes);

} // namespace kanat
