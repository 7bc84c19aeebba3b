#pragma once

#include "measure/calculate.h"

#include <array>
#include <string>

namespace kanat {

inline constexpr std::size_t recordSlotCount = 116;

// The latest value of every measurement, kept for the record line of 12.txt. It outlives
// "Resetle": only a calculation or a save writes it.
struct MeasurementRecord {
    std::string savedImageName;
    std::array<std::string, recordSlotCount> slotValues{};
    std::string closingField = "       "; // landmark 18's colour, always seven characters

    void store(const CalculationValues& values);
};

} // namespace kanat
