#pragma once

#include "measure/catalogue.h"
#include "measure/landmark_colours.h"
#include "measure/landmark_sheet.h"
#include "measure/working_fields.h"

#include <array>
#include <string>

namespace kanat {

// The value texts of one calculation in slot order: 99 measurements, then the colours of
// landmarks 1 to 18. A step whose procedure fails has an empty value.
using CalculationValues = std::array<std::string, calculationValueCount>;

// Runs the whole catalogue over the landmark texts, through the working fields, exactly as
// "Hesapla" does. `mmPerPixel` is the millimetres per view pixel as the window holds it.
CalculationValues Calculate(const LandmarkSheet& sheet, WorkingFields& fields, const std::string& mmPerPixel,
                            char decimal, const PixelSource& picture);

} // namespace kanat
