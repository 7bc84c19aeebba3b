#pragma once

#include "measure/landmark_sheet.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kanat {

// A specimen as --complete and --auto print it.
struct PrintedSpecimen {
    std::array<std::string, landmarkCount> lines; // "x y" of each landmark; empty: not placed
    std::string image;
    std::string id;
    std::optional<double> scale;
    std::string comment; // without COMMENT=; empty: no such line
};

// "x y" with five decimals and '.', as 12.tps holds its coordinates.
std::string coordinateLine(double x, double y);

// LM=18, the 18 coordinates ("-1 -1" for one not placed), then IMAGE=, ID=, SCALE= and COMMENT=
// where they are known.
std::string tpsText(const PrintedSpecimen& specimen);

// The specimen's own comment with the landmarks to check named in it ("denetlenecek noktalar:
// 6 7 14"). Landmarks an earlier run named there stay named, since nobody has looked at them yet.
std::string commentWith(const std::string& own, const std::vector<int>& toCheck);

} // namespace kanat
