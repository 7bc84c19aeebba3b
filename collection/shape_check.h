#pragma once

#include "collection/procrustes.h"

#include <vector>

namespace kanat {

// Q3 + 1.5·IQR of the wings' distances to the mean (quartiles interpolated between ranks):
// a wing beyond it is out of line with its collection. Needs at least one distance.
double upperFence(std::vector<double> distances);

// How far one landmark strays in a collection from where the other landmarks put it: the
// covariance of that miss, in the mean shape's frame (centroid size 1). Landmarks on a long vein
// stray along it more than across it.
struct LandmarkSpread {
    double xx = 0, xy = 0, yy = 0;
};

// What a collection's wings say about a wing's shape.
struct ShapeModel {
    Configuration mean;                 // centred, centroid size 1
    std::vector<double> distances;      // each wing's partialDistance to the mean, on the landmarks it has
    double fence = 0;                   // beyond it a wing is out of line
    std::vector<LandmarkSpread> spread; // one per landmark, from the wings that have it
    std::vector<PartialShape> wings;    // what it was made of: fences on fewer landmarks come from them
};

// The model of configurations of one landmark count; needs at least one, and every landmark had
// by some wing (alignGeneralised).
ShapeModel shapeModelOf(const std::vector<PartialShape>& shapes);
ShapeModel shapeModelOf(const std::vector<Configuration>& shapes);

// The fence for a wing with only the `present` landmarks: the model's wings measured on those
// of them they have, as such a wing is measured. The model's own fence for a complete wing.
double fenceOn(const ShapeModel& model, const LandmarkMask& present);

enum class ShapeVerdict {
    Sound,     // within the fence
    Exchanged, // back within the fence once two landmarks trade places
    Misplaced, // one landmark lies where the others least expect it
};

struct ShapeCheck {
    ShapeVerdict verdict = ShapeVerdict::Sound;
    double distance = 0; // partialDistance to the mean, on the landmarks the wing has
    double fence = 0;
    int first = 0; // Exchanged: the two landmarks (1-based); Misplaced: the landmark
    int second = 0;
};

// The landmark (1-based) that lies farthest from where the others put it, measured against how
// far that landmark strays in the collection: a few pixels off a landmark that never strays
// weighs more than the same off one that often does. Only landmarks the wing has are named.
int leastFitting(const PartialShape& wing, const ShapeModel& model);
int leastFitting(const Configuration& wing, const ShapeModel& model);

// Checks the landmarks a wing has against a collection's shape model: Procrustes on those
// landmarks, against the mean there, and `fence` (fenceOn when not given); an exchange or a
// misplaced landmark is looked for among them alone.
ShapeCheck checkShape(const PartialShape& wing, const ShapeModel& model, double fence);
ShapeCheck checkShape(const PartialShape& wing, const ShapeModel& model);
ShapeCheck checkShape(const Configuration& wing, const ShapeModel& model);

} // namespace kanat
