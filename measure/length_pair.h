#pragma once

#include "measure/working_fields.h"

#include <string>

namespace kanat {

// Two lengths in millimetres: point 1–point 2 into oran, then point 3–point 4 into cs.
// `mmPerPixel` is the window's text, read with the locale parse at each use.
void LengthPair(WorkingFields& fields, const std::string& mmPerPixel, char decimal);

} // namespace kanat
