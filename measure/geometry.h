#pragma once

#include "measure/working_fields.h"

#include <optional>
#include <string>

namespace kanat {

// A point field as the procedures see it: leading number, held as its seven-character text,
// read back with the locale parse.
double readCoordinate(const std::string& text, char decimal);

// The distance between two points as the procedures hold it: its seven-character text, and
// that text read back with the locale parse (which fails for a cut exponent form).
struct CutDistance {
    double distance = -1;
    char decimal = 0;
    std::string text;
    std::optional<double> readBack;

    double value() const;
};
const CutDistance& cutDistance(double x1, double y1, double x2, double y2, char decimal);

// Angle at point 2 between the directions to points 1 and 3; writes Txt1, Txt2, Txt3, cs, oran.
void VertexAngle(WorkingFields& fields, char decimal);

// Distance point 1–point 2 over distance point 3–point 4; writes oran.
void DistanceRatio(WorkingFields& fields, char decimal);

// Inverse cosine and sine in the arctangent form, without clamping: ±1 divides by zero.
double ArcCos(const double& x);
double ArcSin(const double& x);

} // namespace kanat
