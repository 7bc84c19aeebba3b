#pragma once

#include "measure/decimal_forms.h"

#include <optional>

// Shortcuts for the short numbers a wing is made of. Each gives exactly what the general
// conversion would, or nothing when it cannot be sure; then the general conversion runs.
namespace kanat {

// The parts as a double by one exact multiplication or division by a power of ten.
std::optional<double> exactlyComposed(const DecimalParts& parts);

// The value rounded to 15 significant digits, as %.15G does.
std::optional<DecimalDigits> fifteenDigits(double value);

// The value rounded half to even to `decimals` places (0 to 3), as a double.
std::optional<double> quicklyRounded(double value, int decimals);

// The value rounded half to even to three decimals, as digits.
std::optional<DecimalDigits> quicklyRoundedDigits3(double value);

} // namespace kanat
