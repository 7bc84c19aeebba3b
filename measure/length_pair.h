#pragma once

#include "measure/geometry.h"
#include "measure/working_fields.h"

#include <array>
#include <string>

namespace kanat {

// Two lengths in millimetres: point 1–point 2 into oran, then point 3–point 4 into cs.
// `mmPerPixel` is the window's text, read with the locale parse at each use. The first form
// reads points 1 to 4 from the point fields, the second is given them read.
void LengthPair(WorkingFields& fields, const std::string& mmPerPixel, char decimal);
void LengthPair(const std::array<PlanePoint, 4>& points, WorkingFields& fields, const std::string& mmPerPixel,
                char decimal);

} // namespace kanat
