#pragma once

#include "results/measurement_record.h"

namespace kanat {

// What outlives "Resetle": the record of the latest calculation and save, and whether the user
// was already told where 12.txt went.
struct Session {
    MeasurementRecord record;
    bool toldWhereRecordsGo = false;
};

} // namespace kanat
