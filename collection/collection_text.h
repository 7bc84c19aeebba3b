#pragma once

#include "collection/procrustes.h"
#include "results/tps_reader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kanat {

// The most landmarks a wing of the collection may lack. A torn tip takes two or three with it, a
// missing cross-vein one or two. Fourteen landmarks still give 28 coordinates for the fit's four
// and reach across the wing whichever four are gone, so its shape and its squares still say what
// a complete wing's do; with more gone the fit rests on one part of the wing, and a fragment is
// better left out than let pull the mean.
inline constexpr int mostLandmarksMissing = 4;

// A wing of the collection file, complete or lacking at most mostLandmarksMissing landmarks.
struct CollectionWing {
    std::string id;          // as written after ID=, else its position in the file (1, 2, …)
    std::uint64_t key = 0;   // of its landmark, IMAGE= and ID= texts
    std::string image;       // as written after IMAGE=
    Configuration landmarks; // 18 TPS pixels, y up; a missing one's is 0 until estimated (estimateMissing)
    LandmarkMask present;    // the landmarks the specimen gives

    PartialShape shape() const { return {landmarks, present}; }
    // Whether the landmarks it has lie on a picture of this size; the estimates of missing ones
    // may lie past its edge.
    bool liesWithin(double width, double height) const;
};

struct CollectionText {
    std::vector<CollectionWing> wings;
    std::vector<std::string> warnings; // Turkish, one for each kind of specimen left out
};

// The specimens of a collection file (UTF-8, or code page 1254 as the window writes 12.tps)
// with 18 landmarks of which at most mostLandmarksMissing are missing: written as -1 -1 or NaN,
// or with a coordinate below 0, which no picture has. Throws InputError when the file is not TPS.
CollectionText readCollectionText(std::string_view content, const std::string& fileName);

// Puts each landmark a wing lacks where `mean` (a shape of all 18), fitted onto the landmarks the
// wing has, puts it: what reads a wing whole (its size, where its picture's keypoints are kept,
// where keypoints carry it) then sees a wing like any other, while `present` keeps the estimates
// out of every shape and square.
void estimateMissing(CollectionWing& wing, const Configuration& mean);

// Tells a specimen's landmark, IMAGE= and ID= texts apart from any other's (FNV-1a): a hand
// edit of a coordinate changes it, a change of line ends or spacing does not.
std::uint64_t specimenKey(const TpsSpecimen& specimen);

// A specimen's landmarks as numbers; unplaced ones and those beyond its LM= count are absent.
std::vector<std::optional<ComplexPoint>> landmarksOf(const TpsSpecimen& specimen);

// "ID=a, ID=b, …" naming at most five specimens, so that a warning stays one line.
std::string namedSpecimens(const std::vector<std::string>& ids);

} // namespace kanat
