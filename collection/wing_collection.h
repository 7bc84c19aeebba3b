#pragma once

#include "collection/collection_patch_file.h"
#include "collection/shape_check.h"
#include "landmarks/tps_point.h"
#include "measure/landmark_sheet.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QImage;

namespace kanat {

struct PicturePyramid;

// A wing's landmarks in pixels of its source picture, y counted up from the picture's bottom
// edge, exactly as 12.tps holds them and sourceLandmarks gives them; empty for one not placed.
using WingLandmarks = std::array<std::optional<TpsPoint>, landmarkCount>;
// The landmarks marked as not there on a damaged wing (a torn tip, a missing cross-vein).
using MissingLandmarks = std::array<bool, landmarkCount>;

// An opened picture made ready for proposals (grey, with halvings). Made once when the
// picture is opened (about 30 ms and 32 MB for 24 megapixels); cheap to copy.
class PreparedPicture {
public:
    PreparedPicture() = default;
    explicit PreparedPicture(const QImage& picture);
    bool empty() const { return !pyramid_; }
    const PicturePyramid& pyramid() const { return *pyramid_; }

private:
    std::shared_ptr<const PicturePyramid> pyramid_;
};

struct LandmarkProposal {
    int landmark = 0; // 1 to 18
    TpsPoint position;
    double confidence = 0; // 0 to 1: how clearly its neighbourhood matched the collection's
    bool toCheck = false;  // worth a look before it is trusted
};

// The lab's collection of saved wings (12.tps with its pictures) as a guide to the next wing:
// its mean shape, proposals for unplaced landmarks and a check of a wing's shape. A value,
// cheap to copy; its const functions are safe to call from several threads at once.
class WingCollection {
public:
    static constexpr int fewestWingsToPropose = 3;
    // Wings whose pictures are known that it takes to place a wing with no landmark placed.
    static constexpr int fewestWingsToFind = 5;
    static constexpr int fewestWingsToCheck = 10;

    WingCollection();

    // Reads the collection file and the patch and keypoint files beside it (name +
    // ".kanat-patches", ".kanat-keypoints"), bringing them up to date from the wings' pictures
    // where they are missing or stale. Never throws: what could not be used is told in
    // warnings(). Reading many pictures can take seconds, so a window calls it away from its own
    // thread.
    static WingCollection load(const std::string& collectionPath, const PicturesById& known = {});

    // Wings in the mean shape: the complete ones and those lacking at most mostLandmarksMissing.
    int usableWings() const;
    int wingsWithPictures() const;                    // of those, the wings whose neighbourhoods are known
    const std::vector<std::string>& warnings() const; // Turkish, one line each, each said once
    // Centred, centroid size 1, y up, turned like the file's first complete wing (or its first
    // with the most landmarks); empty without wings.
    std::vector<TpsPoint> meanShape() const;
    // The landmark (1 to 18) farthest from landmark 1 in the mean shape; 0 without wings.
    int farthestFromFirst() const;

    bool canPropose() const; // with two landmarks placed or more
    bool canFind() const;    // with none placed
    // Places for every landmark neither placed nor marked missing, each with its confidence: the
    // collection's wings find the wing in the picture by its keypoints when too few landmarks are
    // placed, then their neighbourhoods place each landmark (a placed landmark counts as there
    // even when marked missing). None when the picture is empty, the collection cannot propose
    // for what is placed, or the wing is not found. Some tens of milliseconds, whatever the
    // picture's size: a window calls it away from its own thread.
    std::vector<LandmarkProposal> propose(const PreparedPicture& picture, const WingLandmarks& placed,
                                          const MissingLandmarks& missing = {}) const;

    bool canCheck() const;
    // The wing's shape on the landmarks placed, against the collection's mean there and a fence
    // for those landmarks: a landmark not placed counts as missing. None when the collection
    // cannot check or more than mostLandmarksMissing are missing.
    std::optional<ShapeCheck> check(const WingLandmarks& wing) const;

    // After the window has appended `specimenText` (one TPS specimen, as tpsSpecimen writes it)
    // to the collection file: keeps the wing's neighbourhoods and keypoints in the files beside it
    // and lets the wing join this collection (one lacking landmarks once it has a mean shape to
    // estimate them by). Returns a Turkish warning when a file could not be
    // written.
    // About 35 ms with 200 wings, growing with the collection: a window may add to a copy away
    // from its thread and take the copy back.
    std::string addSavedWing(const std::string& specimenText, const PreparedPicture& picture,
                             const std::string& picturePath);

private:
    struct Inputs;
    struct Derived;
    WingCollection(std::string path, Inputs inputs);
    // The mean, the fence, the placer and the rest, from the inputs alone.
    static std::shared_ptr<const Derived> derive(std::shared_ptr<const Inputs> inputs);

    std::string path_;
    std::shared_ptr<const Inputs> inputs_;
    std::shared_ptr<const Derived> derived_;
};

} // namespace kanat
