#include "tools/auto_command.h"

#include "collection/wing_collection.h"
#include "picture/picture_loader.h"
#include "picture/picture_pixels.h"
#include "results/input_error.h"
#include "results/tps_reader.h"
#include "tools/measured_specimens.h"
#include "tools/ordered_workers.h"
#include "tools/tps_output.h"

#include <QImage>

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace kanat {
namespace {

// One picture's outcome, all that is kept of it once its worker moves on.
struct PlacedPicture {
    bool placed = false;
    std::string text;   // the TPS specimen; for a picture skipped, why
    std::string record; // its 12.txt record, with --record
    int toCheck = 0;
};

// The record kanat-hesapla --record would append for the printed specimen, its colours read from
// the picture in hand.
std::string recordOfPrinted(const std::string& text, const std::string& path, QImage picture,
                            const BatchOptions& options) {
    Specimen specimen = specimenOf(readTps(text, path).front(), path, options);
    specimen.imagePath = path;
    const double height = picture.height();
    const PicturePixels pixels(std::move(picture), height);
    WorkingFields fields;
    return recordOf(specimen, Calculate(specimen.sheet, fields, specimen.mmPerPixel, options.decimal, pixels));
}

PlacedPicture placeWing(const WingCollection& collection, const BatchOptions& options, std::size_t index) {
    const std::string& path = options.pictures[index];
    LoadedPicture loaded = loadPicture(QString::fromStdString(path));
    if (!loaded.ok()) return {false, "resim okunamadı (" + loaded.error.toStdString() + ")", {}, 0};
    const std::vector<LandmarkProposal> proposals = collection.propose(PreparedPicture(loaded.image), WingLandmarks{});
    if (proposals.size() != static_cast<std::size_t>(landmarkCount)) return {false, "kanat resimde bulunamadı", {}, 0};
    PrintedSpecimen printed{{}, path, std::to_string(index + 1), options.mmPerPixelGiven.value_or(sourcePixelMm), {}};
    std::vector<int> toCheck;
    for (const LandmarkProposal& proposal : proposals) {
        printed.lines[static_cast<std::size_t>(proposal.landmark - 1)] =
            coordinateLine(proposal.position.x, proposal.position.y);
        if (proposal.toCheck) toCheck.push_back(proposal.landmark);
    }
    printed.comment = commentWith({}, toCheck);
    PlacedPicture placed{true, tpsText(printed), {}, static_cast<int>(toCheck.size())};
    if (options.record) placed.record = recordOfPrinted(placed.text, path, std::move(loaded.image), options);
    return placed;
}

// "12/300 resim" on a terminal, rewritten in place; nothing when standard error is a file.
class Progress {
public:
    explicit Progress(std::size_t total) : total_(total), shown_(total > 1 && isatty(STDERR_FILENO)) {}
    void show(std::size_t done) const {
        if (shown_) std::cerr << "\r" << done << "/" << total_ << " resim" << std::flush;
    }
    void clear() const {
        if (shown_) std::cerr << "\r\033[K" << std::flush;
    }

private:
    std::size_t total_;
    bool shown_;
};

std::string averageText(int toCheck, int wings) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", wings > 0 ? static_cast<double>(toCheck) / wings : 0.0);
    std::string text = buffer;
    for (char& c : text)
        if (c == '.') c = ',';
    return text;
}

} // namespace

int placeWings(const BatchOptions& options) {
    const WingCollection collection = WingCollection::load(options.collection);
    for (const std::string& warning : collection.warnings()) std::cerr << "uyarı: " << warning << "\n";
    if (!collection.canFind())
        throw InputError(options.collection, 0,
                         "bu koleksiyonla resimdeki kanat bulunamaz: resmi bilinen en az " +
                             std::to_string(WingCollection::fewestWingsToFind) + " kanat gerekir, " +
                             std::to_string(collection.wingsWithPictures()) + " var");
    const std::size_t count = options.pictures.size();
    const Progress progress(count);
    int placed = 0, skipped = 0, toCheck = 0;
    const unsigned threads = pictureThreads();
    runInOrder<PlacedPicture>(
        count, threads, 2 * threads,
        [&](std::size_t index, unsigned) {
            try {
                return placeWing(collection, options, index);
            } catch (const std::exception& error) { // one picture's trouble, not the others'
                return PlacedPicture{false, std::string("kanat yerleştirilemedi (") + error.what() + ")", {}, 0};
            }
        },
        [&](std::size_t index, PlacedPicture& picture) {
            if (picture.placed) {
                if (options.record) appendRecord(*options.record, picture.record);
                std::fwrite(picture.text.data(), 1, picture.text.size(), stdout);
                ++placed;
                toCheck += picture.toCheck;
            } else {
                progress.clear();
                std::cerr << "kanat-hesapla: " << options.pictures[index] << ": " << picture.text << ", atlandı\n";
                ++skipped;
            }
            progress.show(index + 1);
            return true;
        });
    progress.clear();
    std::cerr << count << " resim işlendi, " << placed << " kanat yerleştirildi, " << skipped
              << " resim atlandı; denetlenecek " << toCheck << " nokta, kanat başına ortalama "
              << averageText(toCheck, placed) << "\n";
    if (std::fflush(stdout) != 0) return 1;
    return skipped > 0 ? 2 : 0;
}

} // namespace kanat
