#include "tools/collection_commands.h"

#include "collection/collection_text.h"
#include "collection/wing_collection.h"
#include "measure/arithmetic_error.h"
#include "measure/number_text.h"
#include "picture/picture_loader.h"
#include "results/code_page_1254.h"
#include "results/coordinate_file.h"
#include "results/file_names.h"
#include "results/input_error.h"
#include "results/tps_reader.h"
#include "results/whole_file.h"
#include "tools/ordered_workers.h"
#include "tools/tps_output.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace kanat {
namespace {

// Fewer wings give no quartiles worth the name.
constexpr std::size_t fewestWingsChecked = 4;

// A specimen with some landmarks unplaced, and the texts it is printed back with.
struct PartialWing {
    std::string where;                            // file and line, for messages
    std::array<std::string, landmarkCount> lines; // "x y" of each placed landmark, as given
    WingLandmarks placed;
    std::string picturePath;
    std::string image;
    std::string id;
    std::optional<double> scale;
    std::string comment;
    int placedCount() const {
        return static_cast<int>(
            std::count_if(placed.begin(), placed.end(), [](const auto& p) { return p.has_value(); }));
    }
};

std::string withPoint(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

double numberOf(const std::string& text, const std::string& file, int line) {
    for (const char decimal : {'.', ','}) {
        try {
            return parseLocale(text, decimal);
        } catch (const ArithmeticError&) {
        }
    }
    throw InputError(file, line, "koordinat bir sayı değil: " + text);
}

// Farther out than any picture reaches: a slip, not a landmark to keep or to propose over.
void checkReach(double value, const std::string& where, int line) {
    if (!(std::abs(value) < 1e7)) throw InputError(where, line, "koordinat resmin çok dışında");
}

// With --complete a coordinate file holds source pixels, y up; "-1;-1" or a blank line is unplaced.
PartialWing wingOfCoordinateFile(const std::string& content, const BatchOptions& options) {
    if (!options.image) throw InputError(options.landmarks, 0, "koordinat dosyası için --image verilmeli");
    PartialWing wing;
    wing.where = options.landmarks;
    wing.picturePath = *options.image;
    wing.image = fileNameOf(*options.image);
    wing.id = "1";
    wing.scale = options.mmPerPixelGiven;
    const auto lines = splitLines(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const auto texts = coordinateLine(lines[i], lineNumber, options.landmarks);
        if (!texts) continue;
        const auto& [x, y] = *texts;
        const TpsPoint point{numberOf(x, options.landmarks, lineNumber), numberOf(y, options.landmarks, lineNumber)};
        if (point.x == -1 && point.y == -1) continue;
        checkReach(point.x, options.landmarks, lineNumber);
        checkReach(point.y, options.landmarks, lineNumber);
        wing.placed[i] = point;
        wing.lines[i] = withPoint(x) + " " + withPoint(y);
    }
    return wing;
}

PartialWing wingOfSpecimen(const TpsSpecimen& tps, std::size_t position, const BatchOptions& options) {
    PartialWing wing;
    wing.where = options.landmarks + ":" + std::to_string(tps.line);
    wing.image = tps.image;
    wing.id = tps.id.empty() ? std::to_string(position) : tps.id;
    wing.scale = tps.scale ? tps.scale : options.mmPerPixelGiven;
    wing.comment = tps.comment;
    if (tps.landmarks.size() > static_cast<std::size_t>(landmarkCount))
        std::cerr << "uyarı: " << wing.where << ": " << tps.landmarks.size() << " nokta var, ilk 18'i kullanıldı\n";
    const auto points = landmarksOf(tps);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i >= tps.landmarks.size() || tps.landmarks[i].first.empty()) continue;
        if (!points[i]) throw InputError(wing.where, 0, "koordinat resmin çok dışında");
        wing.placed[i] = TpsPoint{points[i]->real(), points[i]->imag()};
        wing.lines[i] = tps.landmarks[i].first + " " + tps.landmarks[i].second;
    }
    if (options.image) {
        wing.picturePath = *options.image;
        wing.image = fileNameOf(*options.image);
    } else if (!tps.image.empty()) {
        wing.picturePath = pictureBeside(options.landmarks, tps.image);
    }
    return wing;
}

std::vector<PartialWing> wingsOfTps(const std::string& content, const BatchOptions& options) {
    std::vector<PartialWing> wings;
    const auto specimens = readTps(content, options.landmarks);
    for (std::size_t s = 0; s < specimens.size(); ++s) wings.push_back(wingOfSpecimen(specimens[s], s + 1, options));
    return wings;
}

std::vector<PartialWing> partialWings(const BatchOptions& options) {
    // 12.tps comes in code page 1254; other writers use UTF-8.
    const std::string content = asUtf8(readWholeFile(options.landmarks));
    std::vector<PartialWing> wings =
        looksLikeTps(content) ? wingsOfTps(content, options) : std::vector{wingOfCoordinateFile(content, options)};
    for (const PartialWing& wing : wings)
        if (wing.picturePath.empty())
            throw InputError(wing.where, 0, "kanat resmi yok: --image verin ya da örneğe IMAGE= satırı ekleyin");
    return wings;
}

// What the collection needs for the landmarks the wing has placed, told before anything is printed.
void checkCanComplete(const PartialWing& wing, const WingCollection& collection, const std::string& collectionPath) {
    const int placed = wing.placedCount();
    const std::string withPictures = std::to_string(collection.wingsWithPictures());
    if (placed == 0 && !collection.canFind())
        throw InputError(wing.where, 0,
                         "hiç noktası yerleşmemiş bir kanadın bulunması için koleksiyonda resmi bilinen en az " +
                             std::to_string(WingCollection::fewestWingsToFind) + " kanat gerekir, " + withPictures +
                             " var");
    if (placed == 1 && !collection.canFind())
        throw InputError(wing.where, 0,
                         "önerilerin yapılması için en az iki nokta yerleşmiş olmalı (ya da hiçbiri, koleksiyonda "
                         "resmi bilinen en az " +
                             std::to_string(WingCollection::fewestWingsToFind) + " kanat varsa)");
    if (!collection.canPropose())
        throw InputError(collectionPath, 0,
                         "bu koleksiyondan öneri yapılamıyor (resmiyle birlikte en az " +
                             std::to_string(WingCollection::fewestWingsToPropose) + " kanat gerekir)");
}

// The picture a worker used last, kept for the next specimen: those of one picture follow each other.
struct LastPicture {
    std::string path;
    PreparedPicture prepared;
};

const PreparedPicture& pictureOf(const PartialWing& wing, LastPicture& last) {
    if (last.path != wing.picturePath) {
        last = {};
        const LoadedPicture loaded = loadPicture(QString::fromStdString(wing.picturePath));
        if (!loaded.ok()) throw InputError(wing.picturePath, 0, "kanat resmi okunamadı: " + loaded.error.toStdString());
        last = {wing.picturePath, PreparedPicture(loaded.image)};
    }
    return last.prepared;
}

std::string tpsOf(const PartialWing& wing, const std::vector<LandmarkProposal>& proposals) {
    PrintedSpecimen printed{wing.lines, wing.image, wing.id, wing.scale, {}};
    std::vector<int> toCheck;
    for (const LandmarkProposal& proposal : proposals) {
        printed.lines[static_cast<std::size_t>(proposal.landmark - 1)] =
            coordinateLine(proposal.position.x, proposal.position.y);
        if (proposal.toCheck) toCheck.push_back(proposal.landmark);
    }
    printed.comment = commentWith(wing.comment, toCheck);
    return tpsText(printed);
}

std::string decimalText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f", value);
    return withPoint(buffer);
}

} // namespace

int completeLandmarks(const BatchOptions& options) {
    const WingCollection collection = WingCollection::load(options.collection);
    for (const std::string& warning : collection.warnings()) std::cerr << "uyarı: " << warning << "\n";
    const std::vector<PartialWing> wings = partialWings(options);
    for (const PartialWing& wing : wings) checkCanComplete(wing, collection, options.collection);
    const unsigned threads = pictureThreads();
    std::vector<LastPicture> lastPictures(threads);
    runInOrder<std::string>(
        wings.size(), threads, 2 * threads,
        [&](std::size_t index, unsigned worker) {
            const PartialWing& wing = wings[index];
            const auto proposals = collection.propose(pictureOf(wing, lastPictures[worker]), wing.placed);
            const auto unplaced = std::count(wing.lines.begin(), wing.lines.end(), std::string());
            if (proposals.size() != static_cast<std::size_t>(unplaced))
                throw InputError(wing.where, 0,
                                 wing.placedCount() == 0
                                     ? std::string("kanat resimde bulunamadı")
                                     : "öneri yapılamadı: yerleşmiş noktalar bir kanat büyüklüğünde değil");
            return tpsOf(wing, proposals);
        },
        [](std::size_t, std::string& text) {
            std::fwrite(text.data(), 1, text.size(), stdout);
            return true;
        });
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int checkCollection(const BatchOptions& options) {
    const CollectionText text = readCollectionText(readWholeFile(options.collection), options.collection);
    for (const std::string& warning : text.warnings) std::cerr << "uyarı: " << warning << "\n";
    if (text.wings.size() < fewestWingsChecked)
        throw InputError(options.collection, 0,
                         "denetim için en az " + std::to_string(fewestWingsChecked) + " kanat gerekir, " +
                             std::to_string(text.wings.size()) + " var");
    std::vector<PartialShape> shapes;
    for (const CollectionWing& wing : text.wings) shapes.push_back(wing.shape());
    if (!heldByAny(shapes).complete())
        throw InputError(options.collection, 0, "koleksiyonda bazı noktalar hiçbir kanatta yok");
    const ShapeModel model = shapeModelOf(shapes);
    // A damaged wing is measured on the landmarks it has, against a fence for those.
    std::map<LandmarkMask, double> fences;
    std::string out;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const LandmarkMask& present = shapes[i].present;
        auto fence = fences.find(present);
        if (fence == fences.end()) fence = fences.emplace(present, fenceOn(model, present)).first;
        if (model.distances[i] <= fence->second) continue;
        const ShapeCheck check = checkShape(shapes[i], model, fence->second);
        out += text.wings[i].id + "\t" + decimalText(check.distance) + "\t" + decimalText(check.fence) + "\t" +
               (check.verdict == ShapeVerdict::Exchanged
                    ? "swap=" + std::to_string(check.first) + "," + std::to_string(check.second)
                    : "landmark=" + std::to_string(check.first)) +
               "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace kanat
