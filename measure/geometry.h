#pragma once

#include "measure/working_fields.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace kanat {

struct PlanePoint {
    double x = 0;
    double y = 0;
};

// A point field as the procedures see it: leading number, held as its seven-character text,
// read back with the locale parse.
double readCoordinate(const std::string& text, char decimal);

// Points 1 to N of the working fields, all x fields read first, then all y fields.
template <std::size_t N> std::array<PlanePoint, N> readPointFields(const WorkingFields& fields, char decimal) {
    std::array<PlanePoint, N> points{};
    for (std::size_t i = 0; i < N; ++i) points[i].x = readCoordinate(fields[pointX(static_cast<int>(i) + 1)], decimal);
    for (std::size_t i = 0; i < N; ++i) points[i].y = readCoordinate(fields[pointY(static_cast<int>(i) + 1)], decimal);
    return points;
}

// The distance between two points as the procedures hold it: its seven-character text, and
// that text read back with the locale parse (which fails for a cut exponent form).
struct CutDistance {
    std::string text;
    std::optional<double> readBack;

    double value() const;
};
CutDistance cutDistance(const PlanePoint& from, const PlanePoint& to, char decimal);

// Angle at point 2 between the directions to points 1 and 3; writes Txt1, Txt2, Txt3, cs, oran.
// The first form reads points 1 to 3 from the point fields, the second is given them read.
void VertexAngle(WorkingFields& fields, char decimal);
void VertexAngle(const std::array<PlanePoint, 3>& points, WorkingFields& fields, char decimal);

// Distance point 1–point 2 over distance point 3–point 4; writes oran.
void DistanceRatio(WorkingFields& fields, char decimal);
void DistanceRatio(const std::array<PlanePoint, 4>& points, WorkingFields& fields, char decimal);

// Inverse cosine and sine in the arctangent form, without clamping: ±1 divides by zero.
double ArcCos(const double& x);
double ArcSin(const double& x);

} // namespace kanat
