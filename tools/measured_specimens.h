#pragma once

#include "measure/calculate.h"
#include "measure/landmark_sheet.h"
#include "results/tps_reader.h"
#include "tools/batch_options.h"

#include <string>
#include <vector>

namespace kanat {

// A specimen of a landmark file as "Hesapla" would take it: its coordinate texts, its
// millimetres per pixel and the picture its colours are read from.
struct Specimen {
    LandmarkSheet sheet;
    std::string mmPerPixel;
    std::string imagePath; // empty: no picture
    bool imageRequired = false;
};

// The specimen of a TPS specimen read from `landmarkPath`; what it lacks is told on standard error.
Specimen specimenOf(const TpsSpecimen& tps, const std::string& landmarkPath, const BatchOptions& options);

// Every specimen of the landmark file options.landmarks (TPS or coordinate file).
std::vector<Specimen> specimensOf(const BatchOptions& options);

// The specimen's 12.txt record line, in code page 1254, for the values its calculation gave.
std::string recordOf(const Specimen& specimen, const CalculationValues& values);

// Appends a record line to the record file; throws InputError when it cannot.
void appendRecord(const std::string& recordPath, const std::string& record);

} // namespace kanat
