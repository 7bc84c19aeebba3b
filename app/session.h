#pragma once

#include "app/lab_collection.h"
#include "results/measurement_record.h"

namespace kanat {

// What outlives "Resetle": the record of the latest calculation and save, the lab's collection,
// and what the user was already told once.
struct Session {
    MeasurementRecord record;
    LabCollection collection;
    bool toldWhereRecordsGo = false;
    bool toldAboutCollection = false;
};

} // namespace kanat
