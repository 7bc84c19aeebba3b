#include "results/measurement_record.h"

#include "measure/number_text.h"

#include <algorithm>

namespace kanat {

void MeasurementRecord::store(const CalculationValues& values) {
    std::copy_n(values.begin(), recordSlotCount, slotValues.begin());
    closingField = padOrCut7(values.back());
}

} // namespace kanat
