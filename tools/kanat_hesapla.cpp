// kanat-hesapla: the measurements of "Hesapla" for landmark coordinates, without a window.
#include "measure/calculate.h"
#include "measure/number_text.h"
#include "picture/picture_loader.h"
#include "picture/picture_pixels.h"
#include "results/code_page_1254.h"
#include "results/coordinate_file.h"
#include "results/file_names.h"
#include "results/input_error.h"
#include "results/measurement_record.h"
#include "results/record_text.h"
#include "results/result_list.h"
#include "results/text_file.h"
#include "results/tps_reader.h"
#include "results/whole_file.h"
#include "tools/batch_options.h"
#include "tools/collection_commands.h"

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>

namespace {

using namespace kanat;

struct Specimen {
    LandmarkSheet sheet;
    std::string mmPerPixel;
    std::string imagePath; // empty: no picture
    bool imageRequired = false;
};

std::vector<Specimen> specimensOf(const BatchOptions& options) {
    // 12.tps comes in code page 1254; other writers use UTF-8.
    const std::string content = asUtf8(readWholeFile(options.landmarks));
    if (!looksLikeTps(content)) {
        Specimen single{readCoordinateFile(content, options.landmarks), options.mmPerPixel, options.image.value_or(""),
                        true};
        return {single};
    }
    std::vector<Specimen> specimens;
    for (const TpsSpecimen& tps : readTps(content, options.landmarks)) {
        Specimen specimen;
        const std::string name =
            options.landmarks + ":" + std::to_string(tps.line) + (tps.id.empty() ? "" : " (ID=" + tps.id + ")");
        if (tps.landmarks.size() != static_cast<std::size_t>(landmarkCount))
            std::cerr << "uyarı: " << name << ": " << tps.landmarks.size() << " nokta var, "
                      << (tps.landmarks.size() < static_cast<std::size_t>(landmarkCount) ? "eksikler boş bırakıldı"
                                                                                         : "ilk 18'i kullanıldı")
                      << "\n";
        for (int n : tps.missing)
            std::cerr << "uyarı: " << name << ": " << n << ". nokta eksik (NaN ya da -1 -1), boş bırakıldı\n";
        for (int n = 1; n <= landmarkCount && n <= static_cast<int>(tps.landmarks.size()); ++n) {
            specimen.sheet.x(n) = tps.landmarks[static_cast<std::size_t>(n - 1)].first;
            specimen.sheet.y(n) = tps.landmarks[static_cast<std::size_t>(n - 1)].second;
        }
        specimen.mmPerPixel = tps.scale ? mmPerPixelText(*tps.scale, options.decimal) : options.mmPerPixel;
        if (options.image) {
            specimen.imagePath = *options.image;
            specimen.imageRequired = true;
        } else if (!tps.image.empty()) {
            specimen.imagePath = pictureBeside(options.landmarks, tps.image);
        }
        specimens.push_back(std::move(specimen));
    }
    return specimens;
}

// Pictures are loaded once, however many specimens name them.
class PictureCache {
public:
    const PixelSource& pictureFor(const Specimen& specimen) {
        if (specimen.imagePath.empty()) return noPicture_;
        auto found = pictures_.find(specimen.imagePath);
        if (found == pictures_.end()) {
            LoadedPicture loaded = loadPicture(QString::fromStdString(specimen.imagePath));
            QImage image = std::move(loaded.image);
            if (!loaded.ok() && specimen.imageRequired)
                throw InputError(specimen.imagePath, 0, loaded.error.toStdString());
            if (!loaded.ok())
                std::cerr << "uyarı: " << specimen.imagePath << ": " << loaded.error.toStdString() << ", renkler -1\n";
            std::unique_ptr<PixelSource> source;
            if (image.isNull())
                source = std::make_unique<NoPicture>();
            else {
                const double height = image.height();
                source = std::make_unique<PicturePixels>(std::move(image), height);
            }
            found = pictures_.emplace(specimen.imagePath, std::move(source)).first;
        }
        return *found->second;
    }

private:
    NoPicture noPicture_;
    std::map<std::string, std::unique_ptr<PixelSource>> pictures_;
};

int run(const BatchOptions& options) {
    const std::vector<Specimen> specimens = specimensOf(options);
    PictureCache pictures;
    WorkingFields fields;
    std::string output;
    for (const Specimen& specimen : specimens) {
        const PixelSource& picture = pictures.pictureFor(specimen);
        const CalculationValues values =
            Calculate(specimen.sheet, fields, specimen.mmPerPixel, options.decimal, picture);
        output.clear();
        for (const std::string& line : resultLines(values)) {
            output += line;
            output += '\n';
        }
        std::fwrite(output.data(), 1, output.size(), stdout);
        if (options.record) {
            MeasurementRecord record;
            record.savedImageName = fileNameOf(specimen.imagePath);
            record.store(values);
            const WriteResult written = appendWhole(*options.record, toCodePage1254(recordLine(record)));
            if (!written.ok())
                throw InputError(*options.record, 0, "kayıt eklenemedi: " + describeWriteError(written.error));
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const BatchOptions options = kanat::parseBatchOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::cout << kanat::batchHelp;
            return 0;
        }
        switch (options.mode) {
        case kanat::BatchMode::Complete: return kanat::completeLandmarks(options);
        case kanat::BatchMode::Check: return kanat::checkCollection(options);
        case kanat::BatchMode::Measure: break;
        }
        return run(options);
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::cerr << "kanat-hesapla: " << error.what() << "\n";
        return 2;
    }
}
