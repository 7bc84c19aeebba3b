#pragma once

#include "measure/landmark_sheet.h"
#include "measure/working_fields.h"

#include <array>
#include <cstdint>
#include <string>

namespace kanat {

// The picture that the colour samples are read from. A sample lies at (column, row) =
// (x + dx·k, rowOf(y) + dy·k), in the picture's own sense of position; colourAt turns that into
// a pixel and returns its packed colour red + 256·green + 65536·blue, or −1 where none is.
class PixelSource {
public:
    virtual ~PixelSource() = default;
    virtual double rowOf(double landmarkY) const = 0;
    virtual std::int32_t colourAt(double column, double row) const = 0;
};

// Landmark positions used as they stand: column x, row y, nothing there (every reading −1).
class NoPicture final : public PixelSource {
public:
    double rowOf(double landmarkY) const override { return landmarkY; }
    std::int32_t colourAt(double, double) const override { return -1; }
};

// A position rounded half to even to a whole pixel; outside the 32-bit range is an overflow.
std::int32_t pixelIndex(double position);

// Mean of three readings near each landmark, as text. Each landmark's value also passes through
// renk; a landmark whose samples cannot be placed gets an empty value, and the rest go on.
std::array<std::string, landmarkCount> LandmarkColours(const LandmarkSheet& sheet, WorkingFields& fields,
                                                       const PixelSource& picture, char decimal);

} // namespace kanat
