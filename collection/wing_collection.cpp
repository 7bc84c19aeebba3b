#include "collection/wing_collection.h"

#include "collection/collection_patch_file.h"
#include "collection/landmark_proposer.h"
#include "collection/landmark_templates.h"
#include "results/file_names.h"
#include "results/whole_file.h"

#include <QImage>

#include <cmath>
#include <filesystem>

namespace kanat {
namespace {

ComplexPoint planePoint(const TpsPoint& point) { return {point.x, point.y}; }

bool isFinitePoint(const TpsPoint& point) { return std::isfinite(point.x) && std::isfinite(point.y); }

} // namespace

// What the collection is made of: its wings, their stored squares and what was said of the
// files. Everything else follows from these alone.
struct WingCollection::Inputs {
    std::vector<CollectionWing> wings;
    CollectionPatchFile patches;           // one entry per wing; no squares without its picture
    std::vector<std::string> fileWarnings; // about the files, kept when wings are added
};

struct WingCollection::Derived {
    ShapeModel shape; // mean, fence and each landmark's spread
    int farthest = 0;
    int withPictures = 0;
    std::optional<LandmarkProposer> proposer;
    std::vector<std::string> warnings;
};

WingCollection::Derived WingCollection::derive(const Inputs& inputs) {
    Derived derived;
    derived.warnings = inputs.fileWarnings;
    derived.withPictures = inputs.patches.withPixels();
    std::vector<Configuration> shapes;
    for (const CollectionWing& wing : inputs.wings) shapes.push_back(wing.landmarks);
    if (!shapes.empty()) {
        derived.shape = shapeModelOf(shapes);
        const Configuration& mean = derived.shape.mean;
        for (std::size_t k = 1; k < mean.size(); ++k)
            if (std::abs(mean[k] - mean[0]) > std::abs(mean[static_cast<std::size_t>(derived.farthest)] - mean[0]))
                derived.farthest = static_cast<int>(k);
        ++derived.farthest;
    }
    if (derived.withPictures >= fewestWingsToPropose)
        derived.proposer.emplace(derived.shape.mean,
                                 landmarkTemplates(derived.shape.mean, inputs.wings, inputs.patches.entries()));
    else
        derived.warnings.push_back("Koleksiyonda resmiyle birlikte " + std::to_string(derived.withPictures) +
                                   " tam kanat var; noktaların önerilmesi için en az " +
                                   std::to_string(fewestWingsToPropose) + " gerekir");
    return derived;
}

WingCollection::WingCollection(std::string path, Inputs inputs)
    : path_(std::move(path)), inputs_(std::make_shared<const Inputs>(std::move(inputs))),
      derived_(std::make_shared<const Derived>(derive(*inputs_))) {}

PreparedPicture::PreparedPicture(const QImage& picture) {
    if (!picture.isNull()) pyramid_ = std::make_shared<const PicturePyramid>(pyramidOf(picture));
}

WingCollection::WingCollection() : WingCollection({}, Inputs{}) {}

WingCollection WingCollection::load(const std::string& collectionPath, const PicturesById& known) {
    Inputs inputs{{}, CollectionPatchFile(collectionPath), {}};
    if (const auto bytes = fileBytes(collectionPath)) {
        try {
            CollectionText text = readCollectionText(*bytes, fileNameOf(collectionPath));
            inputs.fileWarnings = std::move(text.warnings);
            inputs.wings = std::move(text.wings);
        } catch (const std::exception& error) {
            // A file that is no TPS at the moment leaves its patch file alone for when it is again.
            inputs.fileWarnings.push_back(error.what());
        }
    }
    if (!inputs.wings.empty()) {
        const std::vector<std::string> warnings = inputs.patches.update(inputs.wings, known);
        inputs.fileWarnings.insert(inputs.fileWarnings.end(), warnings.begin(), warnings.end());
    }
    return WingCollection(collectionPath, std::move(inputs));
}

int WingCollection::usableWings() const { return static_cast<int>(inputs_->wings.size()); }
int WingCollection::wingsWithPictures() const { return derived_->withPictures; }
const std::vector<std::string>& WingCollection::warnings() const { return derived_->warnings; }
int WingCollection::farthestFromFirst() const { return derived_->farthest; }
bool WingCollection::canPropose() const { return derived_->proposer.has_value(); }
bool WingCollection::canCheck() const { return usableWings() >= fewestWingsToCheck; }

std::vector<TpsPoint> WingCollection::meanShape() const {
    std::vector<TpsPoint> shape;
    for (const ComplexPoint point : derived_->shape.mean) shape.push_back({point.real(), point.imag()});
    return shape;
}

std::vector<LandmarkProposal> WingCollection::propose(const PreparedPicture& picture,
                                                      const WingLandmarks& placed) const {
    if (!canPropose() || picture.empty()) return {};
    std::vector<std::optional<ComplexPoint>> given(placed.size());
    for (std::size_t i = 0; i < placed.size(); ++i)
        if (placed[i] && isFinitePoint(*placed[i])) given[i] = planePoint(*placed[i]);
    const auto guesses = derived_->proposer->propose(picture.pyramid(), given);
    std::vector<LandmarkProposal> proposals;
    for (std::size_t i = 0; i < guesses.size(); ++i)
        if (!placed[i] && guesses[i])
            proposals.push_back({static_cast<int>(i) + 1,
                                 {guesses[i]->position.real(), guesses[i]->position.imag()},
                                 guesses[i]->confidence});
    return proposals;
}

std::optional<ShapeCheck> WingCollection::check(const WingLandmarks& wing) const {
    if (!canCheck()) return std::nullopt;
    Configuration shape;
    for (const auto& point : wing) {
        if (!point || !isFinitePoint(*point)) return std::nullopt;
        shape.push_back(planePoint(*point));
    }
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
    if (text.wings.size() != 1) return {}; // not complete: it does not join the mean
    const CollectionWing& wing = text.wings.front();
    std::error_code error;
    StoredPatches entry{wing.id, wing.key, std::filesystem::absolute(picturePath, error).string(), {}};
    if (!picture.empty()) entry.pixels = cutStoredPatches(picture.pyramid(), wing.landmarks);
    Inputs inputs = *inputs_;
    inputs.wings.push_back(wing);
    const std::string warning = inputs.patches.add(std::move(entry));
    *this = WingCollection(path_, std::move(inputs));
    return warning;
}

} // namespace kanat
