#include "collection/wing_collection.h"

#include "collection/collection_patches.h"
#include "collection/landmark_proposer.h"
#include "collection/landmark_templates.h"
#include "results/file_names.h"
#include "results/whole_file.h"

#include <QImage>

#include <cmath>
#include <filesystem>

namespace kanat {
namespace {

PlanePoint planePoint(const TpsPoint& point) {
    return {point.x, point.y};
}

bool isFinitePoint(const TpsPoint& point) {
    return std::isfinite(point.x) && std::isfinite(point.y);
}

} // namespace

struct WingCollection::Content {
    std::vector<CollectionWing> wings;
    std::vector<PatchEntry> patches;       // per wing; no pixels without its picture
    std::uintmax_t patchFileSize = 0;      // as this collection last left the patch file
    std::vector<std::string> fileWarnings; // about the files, kept when wings are added
    std::vector<std::string> warnings;
    ShapeModel shape; // mean, fence and each landmark's spread
    Configuration mean;
    int farthest = 0;
    int withPictures = 0;
    std::optional<LandmarkProposer> proposer;
};

std::shared_ptr<const WingCollection::Content>
WingCollection::summarised(std::shared_ptr<Content> content) {
    content->warnings = content->fileWarnings;
    std::vector<WingPatches> patches;
    std::vector<Configuration> shapes;
    for (std::size_t i = 0; i < content->wings.size(); ++i) {
        shapes.push_back(content->wings[i].landmarks);
        if (!content->patches[i].pixels.empty())
            patches.push_back({content->wings[i].landmarks, content->patches[i].pixels});
    }
    content->withPictures = static_cast<int>(patches.size());
    if (!shapes.empty()) {
        content->shape = shapeModelOf(shapes);
        content->mean = content->shape.mean;
        for (std::size_t k = 1; k < content->mean.size(); ++k)
            if (std::abs(content->mean[k] - content->mean[0]) >
                std::abs(content->mean[static_cast<std::size_t>(content->farthest)] -
                         content->mean[0]))
                content->farthest = static_cast<int>(k);
        ++content->farthest;
    }
    if (content->withPictures >= WingCollection::fewestWingsToPropose)
        content->proposer.emplace(content->mean, landmarkTemplates(content->mean, patches));
    else
        content->warnings.push_back(
            "Koleksiyonda resmiyle birlikte " + std::to_string(content->withPictures) +
            " tam kanat var; noktaların önerilmesi için en az " +
            std::to_string(WingCollection::fewestWingsToPropose) + " gerekir");
    return content;
}

PreparedPicture::PreparedPicture(const QImage& picture) {
    if (!picture.isNull()) pyramid_ = std::make_shared<const PicturePyramid>(pyramidOf(picture));
}

WingCollection::WingCollection() : content_(summarised(std::make_shared<Content>())) {}

WingCollection WingCollection::load(const std::string& collectionPath, const PicturesById& known) {
    WingCollection collection;
    collection.path_ = collectionPath;
    auto content = std::make_shared<Content>();
    if (const auto bytes = fileBytes(collectionPath)) {
        try {
            CollectionText text = readCollectionText(*bytes, fileNameOf(collectionPath));
            content->fileWarnings = std::move(text.warnings);
            content->wings = std::move(text.wings);
        } catch (const std::exception& error) {
            // A file that is no TPS at the moment leaves its patch file alone for when it is again.
            content->fileWarnings.push_back(error.what());
        }
    }
    if (!content->wings.empty()) {
        CollectionPatches patches = updatePatchFile(collectionPath, content->wings, known);
        content->patches = std::move(patches.entries);
        content->patchFileSize = patches.fileSize;
        content->fileWarnings.insert(content->fileWarnings.end(), patches.warnings.begin(),
                                     patches.warnings.end());
    }
    collection.content_ = summarised(std::move(content));
    return collection;
}

int WingCollection::usableWings() const {
    return static_cast<int>(content_->wings.size());
}
int WingCollection::wingsWithPictures() const {
    return content_->withPictures;
}
const std::vector<std::string>& WingCollection::warnings() const {
    return content_->warnings;
}
int WingCollection::farthestFromFirst() const {
    return content_->farthest;
}
bool WingCollection::canPropose() const {
    return content_->proposer.has_value();
}
bool WingCollection::canCheck() const {
    return usableWings() >= fewestWingsToCheck;
}

std::vector<TpsPoint> WingCollection::meanShape() const {
    std::vector<TpsPoint> shape;
    for (const PlanePoint point : content_->mean)
        shape.push_back({point.real(), point.imag()});
    return shape;
}

std::vector<LandmarkProposal> WingCollection::propose(const PreparedPicture& picture,
                                                      const WingLandmarks& placed) const {
    if (!canPropose() || picture.empty()) return {};
    std::vector<std::optional<PlanePoint>> given(placed.size());
    for (std::size_t i = 0; i < placed.size(); ++i)
        if (placed[i] && isFinitePoint(*placed[i])) given[i] = planePoint(*placed[i]);
    const auto guesses = content_->proposer->propose(picture.pyramid(), given);
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
    return checkShape(shape, content_->shape);
}

std::string WingCollection::addSavedWing(const std::string& specimenText,
                                         const PreparedPicture& picture,
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
    PatchEntry entry{wing.id, wing.key, std::filesystem::absolute(picturePath, error).string(), {}};
    if (!picture.empty()) entry.pixels = cutStoredPatches(picture.pyramid(), wing.landmarks);
    auto content = std::make_shared<Content>(*content_);
    content->wings.push_back(wing);
    content->patches.push_back(std::move(entry));
    std::string warning;
    if (!content->patches.back().pixels.empty()) {
        const PatchFileWrite written =
            savePatchEntry(path_, content->patches, content->patchFileSize);
        content->patchFileSize = written.fileSize;
        warning = written.warning;
    }
    content->farthest = 0;
    content->proposer.reset();
    content_ = summarised(std::move(content));
    return warning;
}

} // namespace kanat
