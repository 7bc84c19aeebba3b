#pragma once

#include "landmarks/tps_point.h"
#include "measure/calculate.h"
#include "measure/landmark_sheet.h"

#include <array>
#include <optional>
#include <string>

namespace kanat {

inline constexpr std::size_t recordSlotCount = 116;

// The wing a calculation measured: the file name of the picture its landmarks were placed on,
// and those landmarks in the picture's pixels (y up) with millimetres per pixel, as 12.tps keeps
// them. A save writes this wing's name and landmarks beside its values, whatever is shown by then.
struct MeasuredWing {
    std::string imageName;
    std::string picturePath; // where it was opened from; empty without a picture
    std::array<std::optional<TpsPoint>, landmarkCount> landmarks{};
    double tpsScale = 0;
};

// The latest value of every measurement, kept for the record line of 12.txt. It outlives
// "Resetle": only a calculation or a save writes it.
struct MeasurementRecord {
    std::string savedImageName;
    std::array<std::string, recordSlotCount> slotValues{};
    std::string closingField = "       "; // landmark 18's colour, always seven characters
    std::optional<MeasuredWing> measured; // none before the first calculation

    void store(const CalculationValues& values);
};

} // namespace kanat
