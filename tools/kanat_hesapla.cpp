// kanat-hesapla: the measurements of "Hesapla" for landmark coordinates, without a window.
#include "measure/calculate.h"
#include "picture/picture_loader.h"
#include "picture/picture_pixels.h"
#include "picture/worker_threads.h"
#include "results/command_line.h"
#include "results/input_error.h"
#include "results/result_list.h"
#include "results/scale_setups.h"
#include "tools/auto_command.h"
#include "tools/batch_options.h"
#include "tools/collection_commands.h"
#include "tools/measured_specimens.h"

#include <QStandardPaths>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>

namespace {

using namespace kanat;

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
        if (options.record) appendRecord(*options.record, recordOf(specimen, values));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

namespace kanat {

// A set-up saved in the window (key K), from the user's configuration folder.
void useSavedSetup(BatchOptions& options, const std::string& name) {
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
                         QString::fromUtf8(scaleSetupsFile.data(), qsizetype(scaleSetupsFile.size()));
    const ScaleSetups setups = ScaleSetups::read(file.toStdString());
    const auto setup = setups.find(name);
    if (!setup) {
        std::string known = defaultSetupName;
        for (const ScaleSetup& saved : setups.saved()) known += ", " + saved.name;
        throw std::invalid_argument("\"" + name + "\" adında bir ölçek kurulumu yok (kayıtlı olanlar: " + known + ")");
    }
    usePixelsPerMm(options, setup->pixelsPerMm);
}

} // namespace kanat

int main(int argc, char** argv) {
    kanat::prepareQtForWorkerThreads();
    kanat::outputBytesAsTheyAre();
    try {
        kanat::BatchOptions options = kanat::parseBatchOptions(kanat::commandLineArguments(argc, argv));
        if (options.setupName) kanat::useSavedSetup(options, *options.setupName);
        if (options.help) {
            std::cout << kanat::batchHelp;
            return 0;
        }
        switch (options.mode) {
        case kanat::BatchMode::Complete: return kanat::completeLandmarks(options);
        case kanat::BatchMode::Check: return kanat::checkCollection(options);
        case kanat::BatchMode::Auto: return kanat::placeWings(options);
        case kanat::BatchMode::Measure: break;
        }
        return run(options);
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::cerr << "kanat-hesapla: " << error.what() << "\n";
        return 2;
    }
}
