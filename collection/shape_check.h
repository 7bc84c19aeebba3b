#pragma once

#include "collection/procrustes.h"

#include <vector>

namespace kanat {

// Q3 + 1.5·IQR of the wings' distances to the mean (quartiles interpolated between ranks):
// a wing beyond it is out of line with its collection. Needs at least one distance.
double upperFence(std::vector<double> distances);

enum class ShapeVerdict {
    Sound,     // within the fence
    Exchanged, // back within the fence once two landmarks trade places
    Misplaced, // one landmark lies farthest from where the others put it
};

struct ShapeCheck {
    ShapeVerdict verdict = ShapeVerdict::Sound;
    double distance = 0; // full Procrustes distance to the mean
    double fence = 0;
    int first = 0; // Exchanged: the two landmarks (1-based); Misplaced: the landmark
    int second = 0;
};

// Checks one wing's complete landmarks against a collection's mean shape and fence.
ShapeCheck checkShape(const Configuration& wing, const Configuration& mean, double fence);

} // namespace kanat
