#pragma once

#include "measure/landmark_sheet.h"
#include "measure/working_fields.h"

namespace kanat {

// Deviation from a right angle of the angle between line 1→4 and line 2→11, in degrees;
// reads the landmark texts directly and writes cs.
void DiscoidalShift(const LandmarkSheet& sheet, WorkingFields& fields, char decimal);

} // namespace kanat
