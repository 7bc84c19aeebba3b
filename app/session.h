#pragma once

#include "app/lab_collection.h"
#include "results/measurement_record.h"
#include "results/scale_setups.h"

namespace kanat {

// What outlives "Resetle": the record of the latest calculation and save, the lab's collection,
// and what the user was already told once.
struct Session {
    MeasurementRecord record;
    LabCollection collection;
    bool toldWhereRecordsGo = false;
    bool toldAboutCollection = false;
    bool proposalsOn = true;  // key P; a user who turned them off wants them off after Resetle too
    QString lastShownPicture; // where the open dialog starts after "Resetle"
    ScaleSetups setups;       // the lab's scale set-ups, read once at start
};

} // namespace kanat
