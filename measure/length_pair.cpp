#include "measure/length_pair.h"

#include "measure/arithmetic_error.h"
#include "measure/number_text.h"

namespace kanat {

void LengthPair(WorkingFields& fields, const std::string& mmPerPixel, char decimal) {
    LengthPair(readPointFields<4>(fields, decimal), fields, mmPerPixel, decimal);
}

void LengthPair(const std::array<PlanePoint, 4>& p, WorkingFields& fields, const std::string& mmPerPixel,
                char decimal) {
    const CutDistance first = cutDistance(p[0], p[1], decimal);
    const CutDistance second = cutDistance(p[2], p[3], decimal);
    fields[Field::oran] = formatResult(checked::mul(first.value(), parseLocale(mmPerPixel, decimal)), decimal);
    fields[Field::cs] = formatResult(checked::mul(second.value(), parseLocale(mmPerPixel, decimal)), decimal);
}

} // namespace kanat
