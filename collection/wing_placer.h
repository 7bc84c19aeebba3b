#pragma once

#include "collection/placement_confidence.h"
#include "collection/wing_registration.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace kanat {

// One collection wing as the placer uses it.
struct PlacerWing {
    Configuration landmarks;                        // TPS pixels of its own picture; a missing one's estimated
    std::span<const std::uint8_t> patches;          // its stored squares (stored_patches.h); empty: none
    std::shared_ptr<const WingKeypoints> keypoints; // none: it matches, but does not find wings
    // The landmarks it has; of these alone its squares are templates and its shape counts. Left
    // empty: all of them.
    LandmarkMask present{};
};

// One look at every unplaced landmark: the collection's templates are correlated with a window
// of the picture around the landmark's last place, both turned into the mean shape's frame.
struct PlacementPass {
    double centroidSize; // the wing's size in the window's pixels
    int radius;          // of the templates, in window pixels
    int reach;           // how far from its last place a landmark is looked for
    bool shrunk;         // from the shrunk pictures, where large templates can be cut
    bool shapeFitAfter;  // then a landmark far off the collection's shape is looked for again
    double pull;         // leaning towards the last place, this much at the reach's edge
};

std::vector<PlacementPass> standardPasses();

struct PlacementSettings {
    KeypointSettings keypoints; // the collection's wings' keypoints must be found alike
    int registrationWings = 20; // at most these collection wings look for the wing
    RegistrationLimits limits;
    double consensusTolerance = 0.03; // root mean square, of the centroid size
    // The agreeing wings' inliers together that make a start trusted before a weaker one, or
    // before the placed landmarks' own.
    int consensusInliers = 12;
    // A placement whose looked-for landmarks correlate less than this on average with the
    // collection's patches is not the wing: a start that does not reach it is given up, and
    // from the placed landmarks' own start every landmark is to be checked.
    double leastMeanCorrelation = 0.6;
    std::vector<PlacementPass> passes = standardPasses();
    // The shape fit looks again, where the shape expects it, for a landmark more than this many
    // of the collection's spreads of it off, and never for one nearer than outlierFloor of the
    // centroid size ...
    double outlierSpreads = 4;
    double outlierFloor = 0.012;
    // ... and moves it there unless it matched where it was better by this much.
    double outlierScoreLead = 0.05;
    // The last pass also leans towards where the others put the landmark by the collection's
    // shape: this much at one spread of it away. It keeps a landmark on a thick vein from sliding
    // along it in a wing of another population, and hardly moves one at a junction.
    double shapePull = 0.005;
    int agreementWings = 20; // at most these wings' own patches vote on each landmark
    ConfidenceRule rule = calibratedRule;
};

struct PlacedLandmark {
    ComplexPoint position; // TPS pixels
    bool placed = false;   // given by the user, kept as it is
    LandmarkEvidence evidence;
    double confidence = 0; // 0 to 1; 1 for a placed one
    bool toCheck = false;
    bool missing = false; // not on this wing: nothing was looked for, the position is the shape's guess
};

struct Placement {
    // One per landmark; none when the wing was not found, or not where its landmarks match the
    // collection's.
    std::vector<PlacedLandmark> landmarks;
    int findingWings = 0; // collection wings whose keypoints agreed where the wing is
    bool found() const { return !landmarks.empty(); }
};

// Places all of a wing's landmarks from the collection. With no landmark placed the collection's
// wings find it by their keypoints; placed ones (any number) constrain the same path and stay as
// they are. Then correlation passes from coarse to fine, each turning the collection's landmark
// neighbourhoods onto the picture, with a fit of the collection's shape between them. Its const
// functions are safe to call from several threads at once.
class WingPlacer {
public:
    WingPlacer(const Configuration& mean, std::vector<PlacerWing> wings, PlacementSettings settings = {});

    bool canFind() const; // without placed landmarks: some wing has keypoints

    // `onWing`: the landmarks the wing has; a missing one is neither looked for nor counted in the
    // shape fits.
    Placement place(const PicturePyramid& picture, const std::vector<std::optional<ComplexPoint>>& placed,
                    const LandmarkMask& onWing) const;
    Placement place(const PicturePyramid& picture, const std::vector<std::optional<ComplexPoint>>& placed) const;

private:
    struct Templates;
    struct Search;
    // Where the collection's keypoints put the wing: a consensus with enough inliers, else the
    // best weaker one, or none.
    std::optional<Consensus> find(const std::vector<std::optional<ComplexPoint>>& placed,
                                  const ShrunkPicture& shrunk) const;
    // The passes from one start; `shrunk` is made again when the wing's size found differs.
    Placement placeFrom(const PicturePyramid& picture, ShrunkPicture shrunk, double expectedSize,
                        const std::vector<std::optional<ComplexPoint>>& placed, const LandmarkMask& onWing,
                        const Configuration& start) const;
    // Whether the landmarks looked for match the collection's well enough to be this wing.
    bool matchesCollection(const Placement& placement) const;
    struct Match;
    // The fit of the mean shape onto the landmarks, trusting less those far off, and where it
    // expects each landmark that lies too far from it.
    std::vector<std::optional<ComplexPoint>> fitShape(Search& search) const;
    // Where the collection's shape expects a landmark: a score is lowered by strength times the
    // square of its distance from there in spreads.
    struct Prior {
        ComplexPoint expected;
        double spread = 1; // pixels
        double strength = 0;
    };
    Match match(const PicturePyramid& picture, const ShrunkPicture& shrunk, std::size_t pass, std::size_t landmark,
                ComplexPoint from, const Similarity& frame, const Prior& prior) const;
    LandmarkEvidence evidenceOf(const Match& found, std::size_t pass, std::size_t landmark) const;

    Configuration mean_;
    std::vector<double> spread_; // each landmark's spread about the mean, centroid size 1
    std::vector<PlacerWing> wings_;
    std::vector<std::size_t> finders_; // the wings that look for a wing, by their keypoints
    double sizeOverDiagonal_ = 0;      // a wing's centroid size over its picture's diagonal
    PlacementSettings settings_;
    std::shared_ptr<const std::vector<Templates>> templates_; // per pass
};

} // namespace kanat
