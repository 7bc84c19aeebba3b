#include "collection/wing_collection.h"

#include "collection/collection_keypoints.h"
#include "collection/collection_patch_file.h"
#include "collection/stored_patches.h"
#include "collection/wing_placer.h"
#include "results/file_names.h"
#include "results/whole_file.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kanat {
namespace {

ComplexPoint complexPoint(const TpsPoint& point) { return {point.x, point.y}; }

bool isFinitePoint(const TpsPoint& point) { return std::isfinite(point.x) && std::isfinite(point.y); }

// Landmarks placed closer together than this (in pixels) or farther out than any picture reaches
// tell nothing of where the wing lies.
constexpr double closestPlaced = 3;
constexpr double farthestPlaced = 1e6;

bool plausible(const std::vector<std::optional<ComplexPoint>>& placed) {
    std::vector<ComplexPoint> points;
    for (const auto& point : placed)
        if (point) points.push_back(*point);
    for (const ComplexPoint point : points)
        if (std::abs(point) > farthestPlaced) return false;
    for (std::size_t a = 0; a < points.size(); ++a)
        for (std::size_t b = a + 1; b < points.size(); ++b)
            if (std::abs(points[a] - points[b]) < closestPlaced) return false;
    return true;
}

// Estimates the landmarks the damaged wings lack from the mean shape of all the wings, so that
// their squares and keypoints are cut like any other wing's. As the collection grows the
// estimates move a little while squares already cut keep their size: a fraction of a percent.
// Without a landmark that some wing has (no complete wing, and none of the damaged ones has it)
// there is no mean to do it by: the damaged wings are then left out.
void estimateDamagedWings(std::vector<CollectionWing>& wings, std::vector<std::string>& warnings) {
    std::vector<PartialShape> shapes;
    for (const CollectionWing& wing : wings) shapes.push_back(wing.shape());
    if (std::all_of(shapes.begin(), shapes.end(), [](const PartialShape& shape) { return shape.present.complete(); }))
        return;
    if (heldByAny(shapes).complete()) {
        const Configuration mean = alignGeneralised(shapes).mean;
        for (CollectionWing& wing : wings) estimateMissing(wing, mean);
        return;
    }
    std::vector<std::string> leftOut;
    std::erase_if(wings, [&](const CollectionWing& wing) {
        if (wing.present.complete()) return false;
        leftOut.push_back(wing.id);
        return true;
    });
    warnings.push_back(std::to_string(leftOut.size()) +
                       " eksik noktalı kanat, koleksiyonda o noktaları taşıyan kanat olmadığından katılmadı (" +
                       namedSpecimens(leftOut) + ")");
}

} // namespace

// What the collection is made of: its wings, their stored squares and keypoints, and what was
// said of the files. Everything else follows from these alone.
struct WingCollection::Inputs {
    std::vector<CollectionWing> wings;
    CollectionPatchFile patches;                                 // one entry per wing
    std::vector<std::shared_ptr<const WingKeypoints>> keypoints; // one per wing; none without its picture
    std::shared_ptr<KeypointCache> keypointCache;                // and the file that keeps them
    std::vector<std::string> fileWarnings;                       // about the files, kept when wings are added
};

struct WingCollection::Derived {
    std::shared_ptr<const Inputs> inputs; // the placer reads their stored squares
    ShapeModel shape;                     // mean, fence and each landmark's spread
    int farthest = 0;
    int withPictures = 0;
    std::optional<WingPlacer> placer;
    std::vector<std::string> warnings;
};

std::shared_ptr<const WingCollection::Derived> WingCollection::derive(std::shared_ptr<const Inputs> inputs) {
    auto derived = std::make_shared<Derived>();
    derived->inputs = inputs;
    derived->warnings = inputs->fileWarnings;
    derived->withPictures = inputs->patches.withPixels();
    std::vector<PartialShape> shapes;
    for (const CollectionWing& wing : inputs->wings) shapes.push_back(wing.shape());
    if (!shapes.empty()) {
        derived->shape = shapeModelOf(shapes);
        const Configuration& mean = derived->shape.mean;
        for (std::size_t k = 1; k < mean.size(); ++k)
            if (std::abs(mean[k] - mean[0]) > std::abs(mean[static_cast<std::size_t>(derived->farthest)] - mean[0]))
                derived->farthest = static_cast<int>(k);
        ++derived->farthest;
    }
    if (derived->withPictures >= fewestWingsToPropose) {
        std::vector<PlacerWing> wings;
        for (std::size_t i = 0; i < inputs->wings.size(); ++i)
            wings.push_back({inputs->wings[i].landmarks, inputs->patches.entries()[i].pixels,
                             i < inputs->keypoints.size() ? inputs->keypoints[i] : nullptr, inputs->wings[i].present});
        derived->placer.emplace(derived->shape.mean, std::move(wings));
    } else {
        derived->warnings.push_back("Koleksiyonda resmiyle birlikte " + std::to_string(derived->withPictures) +
                                    " kanat var; noktaların önerilmesi için en az " +
                                    std::to_string(fewestWingsToPropose) + " gerekir");
    }
    return derived;
}

WingCollection::WingCollection(std::string path, Inputs inputs)
    : path_(std::move(path)), inputs_(std::make_shared<const Inputs>(std::move(inputs))), derived_(derive(inputs_)) {}

PreparedPicture::PreparedPicture(const QImage& picture) {
    if (!picture.isNull()) pyramid_ = std::make_shared<const PicturePyramid>(pyramidOf(picture));
}

WingCollection::WingCollection() : WingCollection({}, Inputs{}) {}

WingCollection WingCollection::load(const std::string& collectionPath, const PicturesById& known) {
    Inputs inputs{{}, CollectionPatchFile(collectionPath), {}, nullptr, {}};
    if (const auto bytes = fileBytes(collectionPath)) {
        try {
            CollectionText text = readCollectionText(*bytes, fileNameOf(collectionPath));
            inputs.fileWarnings = std::move(text.warnings);
            inputs.wings = std::move(text.wings);
        } catch (const std::exception& error) {
            // A file that is no TPS at the moment leaves its files beside it alone for when it is again.
            inputs.fileWarnings.push_back(error.what());
        }
    }
    estimateDamagedWings(inputs.wings, inputs.fileWarnings);
    if (!inputs.wings.empty()) {
        const std::vector<std::string> warnings = inputs.patches.update(inputs.wings, known);
        inputs.fileWarnings.insert(inputs.fileWarnings.end(), warnings.begin(), warnings.end());
        inputs.keypointCache = std::make_shared<KeypointCache>(keypointFilePath(collectionPath), KeypointSettings{});
        inputs.keypoints =
            collectionKeypoints(collectionPath, inputs.wings, inputs.patches.entries(), *inputs.keypointCache);
        if (const std::string warning = inputs.keypointCache->save(); !warning.empty())
            inputs.fileWarnings.push_back(warning);
    }
    return WingCollection(collectionPath, std::move(inputs));
}

int WingCollection::usableWings() const { return static_cast<int>(inputs_->wings.size()); }
int WingCollection::wingsWithPictures() const { return derived_->withPictures; }
const std::vector<std::string>& WingCollection::warnings() const { return derived_->warnings; }
int WingCollection::farthestFromFirst() const { return derived_->farthest; }
bool WingCollection::canPropose() const { return derived_->placer.has_value(); }
bool WingCollection::canFind() const {
    return canPropose() && derived_->withPictures >= fewestWingsToFind && derived_->placer->canFind();
}
bool WingCollection::canCheck() const { return usableWings() >= fewestWingsToCheck; }

std::vector<TpsPoint> WingCollection::meanShape() const {
    std::vector<TpsPoint> shape;
    for (const ComplexPoint point : derived_->shape.mean) shape.push_back({point.real(), point.imag()});
    return shape;
}

std::vector<LandmarkProposal> WingCollection::propose(const PreparedPicture& picture, const WingLandmarks& placed,
                                                      const MissingLandmarks& missing) const {
    if (!canPropose() || picture.empty()) return {};
    std::vector<std::optional<ComplexPoint>> given(placed.size());
    LandmarkMask onWing = LandmarkMask::all(placed.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i] && isFinitePoint(*placed[i]))
            given[i] = complexPoint(*placed[i]);
        else if (missing[i])
            onWing.remove(i);
    }
    const auto placedCount = std::count_if(given.begin(), given.end(), [](const auto& p) { return p.has_value(); });
    if ((placedCount < 2 && !canFind()) || !plausible(given)) return {};
    const Placement placement = derived_->placer->place(picture.pyramid(), given, onWing);
    std::vector<LandmarkProposal> proposals;
    for (std::size_t i = 0; i < placement.landmarks.size(); ++i) {
        const PlacedLandmark& landmark = placement.landmarks[i];
        if (placed[i] || landmark.missing) continue;
        proposals.push_back({static_cast<int>(i) + 1,
                             {landmark.position.real(), landmark.position.imag()},
                             landmark.confidence,
                             landmark.toCheck});
    }
    return proposals;
}

std::optional<ShapeCheck> WingCollection::check(const WingLandmarks& wing) const {
    if (!canCheck()) return std::nullopt;
    PartialShape shape{Configuration(wing.size()), LandmarkMask::all(wing.size())};
    for (std::size_t i = 0; i < wing.size(); ++i) {
        if (wing[i] && isFinitePoint(*wing[i]))
            shape.points[i] = complexPoint(*wing[i]);
        else
            shape.present.remove(i);
    }
    if (shape.present.missing() > static_cast<std::size_t>(mostLandmarksMissing)) return std::nullopt;
    return checkShape(shape, derived_->shape);
}

std::string WingCollection::addSavedWing(const std::string& specimenText, const PreparedPicture& picture,
                                         const std::string& picturePath) {
    CollectionText text;
    try {
        text = readCollectionText(specimenText, fileNameOf(path_));
    } catch (const std::exception& error) {
        return error.what();
    }
    if (text.wings.size() != 1) return {}; // too damaged: it does not join the mean
    CollectionWing& wing = text.wings.front();
    // A damaged wing's estimates need a mean with every landmark; it joins on the next load.
    if (!wing.present.complete() && derived_->shape.mean.empty()) return {};
    estimateMissing(wing, derived_->shape.mean);
    std::error_code error;
    StoredPatches entry{wing.id, wing.key, utf8Path(std::filesystem::absolute(nativePath(picturePath), error)), {}};
    if (!picture.empty()) entry.pixels = cutStoredPatches(picture.pyramid(), wing.landmarks);
    Inputs inputs = *inputs_;
    inputs.wings.push_back(wing);
    std::string warning = inputs.patches.add(std::move(entry));
    if (!inputs.keypointCache)
        inputs.keypointCache = std::make_shared<KeypointCache>(keypointFilePath(path_), KeypointSettings{});
    inputs.keypoints.push_back(inputs.keypointCache->keypoints(wing.id, wing.key, wing.landmarks, [&] {
        return picture.empty() ? std::nullopt : std::optional<PicturePyramid>(picture.pyramid());
    }));
    if (const std::string saved = inputs.keypointCache->save(); warning.empty()) warning = saved;
    *this = WingCollection(path_, std::move(inputs));
    return warning;
}

} // namespace kanat
