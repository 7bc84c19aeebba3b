#pragma once

#include "collection/procrustes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kanat {

struct PicturePyramid;

// Patches are kept at one scale whatever the photograph's size: that of a wing whose landmarks
// have this centroid size, about the size of a honey bee wing photographed at 2400 dpi.
inline constexpr double canonicalCentroidSize = 600;
// A stored square turned to any angle still covers the matched square.
inline constexpr int templateRadius = 16;
inline constexpr int storedPatchRadius = 25;
inline constexpr int storedPatchSide = 2 * storedPatchRadius + 1;
inline constexpr std::size_t storedPatchBytes = std::size_t{storedPatchSide} * storedPatchSide;

// The neighbourhoods of one saved wing's landmarks as they are kept beside the collection,
// found again by the specimen's ID and the key of its TPS text (a specimen edited by hand is
// noticed): grey squares in the picture's own orientation, the wing scaled to the canonical size.
struct StoredPatches {
    std::string id;
    std::uint64_t specimenKey = 0;
    std::string picturePath;          // where the picture was when the squares were cut
    std::vector<std::uint8_t> pixels; // landmark after landmark, storedPatchBytes each; empty: none
};

// The stored squares of a wing's landmarks, cut from its picture.
std::vector<std::uint8_t> cutStoredPatches(const PicturePyramid& picture, const Configuration& landmarks);

} // namespace kanat
