#pragma once

#include "collection/procrustes.h"
#include "results/tps_reader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kanat {

// A complete wing of the collection file.
struct CollectionWing {
    std::string id;          // as written after ID=, else its position in the file (1, 2, …)
    std::uint64_t key = 0;   // of its landmark, IMAGE= and ID= texts
    std::string image;       // as written after IMAGE=
    Configuration landmarks; // 18 TPS pixels, y up
};

struct CollectionText {
    std::vector<CollectionWing> wings;
    std::vector<std::string> warnings; // Turkish, one for each kind of specimen left out
};

// The specimens of a collection file (UTF-8, or code page 1254 as the window writes 12.tps)
// with all 18 landmarks placed. Throws InputError when the file is not TPS.
CollectionText readCollectionText(std::string_view content, const std::string& fileName);

// Tells a specimen's landmark, IMAGE= and ID= texts apart from any other's (FNV-1a): a hand
// edit of a coordinate changes it, a change of line ends or spacing does not.
std::uint64_t specimenKey(const TpsSpecimen& specimen);

// A specimen's landmarks as numbers; unplaced ones and those beyond its LM= count are absent.
std::vector<std::optional<ComplexPoint>> landmarksOf(const TpsSpecimen& specimen);

// "ID=a, ID=b, …" naming at most five specimens, so that a warning stays one line.
std::string namedSpecimens(const std::vector<std::string>& ids);

} // namespace kanat
