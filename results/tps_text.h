#pragma once

#include "landmarks/tps_point.h"

#include <array>
#include <optional>
#include <string>

namespace kanat {

// One specimen in the TPS text of geometric morphometrics (UTF-8, CR LF): LM=18, the points
// ("-1 -1" for one never placed), IMAGE=, ID= and SCALE= (millimetres per pixel).
// Millimetres per source pixel: the view's millimetres per pixel times its scale; without a
// picture the view's own pixels are the landmarks' pixels.
double tpsScale(double mmPerViewPixel, double viewScale, bool picture);

std::string tpsSpecimen(const std::array<std::optional<TpsPoint>, 18>& points, const std::string& image, long id,
                        double scale);

} // namespace kanat
