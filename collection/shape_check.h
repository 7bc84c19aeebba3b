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
    std::vector<double> distances;      // each wing's full Procrustes distance to the mean
    double fence = 0;                   // beyond it a wing is out of line
    std::vector<LandmarkSpread> spread; // one per landmark
};

// The model of complete configurations of one landmark count; needs at least one.
ShapeModel shapeModelOf(const std::vector<Configuration>& shapes);

enum class ShapeVerdict {
    Sound,     // within the fence
    Exchanged, // back within the fence once two landmarks trade places
    Misplaced, // one landmark lies where the others least expect it
};

struct ShapeCheck {
    ShapeVerdict verdict = ShapeVerdict::Sound;
    double distance = 0; // full Procrustes distance to the mean
    double fence = 0;
    int first = 0; // Exchanged: the two landmarks (1-based); Misplaced: the landmark
    int second = 0;
};

// The landmark (1-based) that lies farthest from where the others put it, measured against how
// far that landmark strays in the collection: a few pixels off a landmark that never strays
// weighs more than the same off one that often does.
int leastFitting(const Configuration& wing, const ShapeModel& model);

// Checks one wing's complete landmarks against a collection's shape model.
ShapeCheck checkShape(const Configuration& wing, const ShapeModel& model);

} // namespace kanat
