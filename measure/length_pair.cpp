#include "measure/length_pair.h"

#include "measure/arithmetic_error.h"
#include "measure/geometry.h"
#include "measure/number_text.h"

namespace kanat {

void LengthPair(WorkingFields& fields, const std::string& mmPerPixel, char decimal) {
    double x[4];
    double y[4];
    for (int i = 0; i < 4; ++i) x[i] = readCoordinate(fields[pointX(i + 1)], decimal);
    for (int i = 0; i < 4; ++i) y[i] = readCoordinate(fields[pointY(i + 1)], decimal);
    const CutDistance first = cutDistance(x[0], y[0], x[1], y[1], decimal);
    const CutDistance second = cutDistance(x[2], y[2], x[3], y[3], decimal);
    fields[Field::oran] = formatResult(checked::mul(first.value(), parseLocale(mmPerPixel, decimal)), decimal);
    fields[Field::cs] = formatResult(checked::mul(second.value(), parseLocale(mmPerPixel, decimal)), decimal);
}

} // namespace kanat
