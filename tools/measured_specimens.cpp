#include "tools/measured_specimens.h"

#include "results/code_page_1254.h"
#include "results/coordinate_file.h"
#include "results/file_names.h"
#include "results/input_error.h"
#include "results/measurement_record.h"
#include "results/record_text.h"
#include "results/text_file.h"
#include "results/whole_file.h"

#include <iostream>

namespace kanat {

Specimen specimenOf(const TpsSpecimen& tps, const std::string& landmarkPath, const BatchOptions& options) {
    Specimen specimen;
    const std::string name =
        landmarkPath + ":" + std::to_string(tps.line) + (tps.id.empty() ? "" : " (ID=" + tps.id + ")");
    if (tps.landmarks.size() != static_cast<std::size_t>(landmarkCount))
        std::cerr << "uyarı: " << name << ": " << tps.landmarks.size() << " nokta var, "
                  << (tps.landmarks.size() < static_cast<std::size_t>(landmarkCount) ? "eksikler boş bırakıldı"
                                                                                     : "ilk 18'i kullanıldı")
                  << "\n";
    for (int n : tps.missing)
        std::cerr << "uyarı: " << name << ": " << n
                  << ". nokta kanatta yok (NaN, -1 -1 ya da yazılmamış); ona dayanan ölçümler boş kalır\n";
    for (int n = 1; n <= landmarkCount && n <= static_cast<int>(tps.landmarks.size()); ++n) {
        specimen.sheet.x(n) = tps.landmarks[static_cast<std::size_t>(n - 1)].first;
        specimen.sheet.y(n) = tps.landmarks[static_cast<std::size_t>(n - 1)].second;
    }
    // A landmark the file says is not there is marked missing, as the window marks it.
    for (int n : tps.missing)
        if (n <= landmarkCount) specimen.sheet.x(n) = specimen.sheet.y(n) = std::string(missingMark);
    specimen.mmPerPixel = tps.scale ? mmPerPixelText(*tps.scale, options.decimal) : options.mmPerPixel;
    if (options.image) {
        specimen.imagePath = *options.image;
        specimen.imageRequired = true;
    } else if (!tps.image.empty()) {
        specimen.imagePath = pictureBeside(landmarkPath, tps.image);
    }
    return specimen;
}

std::vector<Specimen> specimensOf(const BatchOptions& options) {
    // 12.tps comes in code page 1254; other writers use UTF-8.
    const std::string content = asUtf8(readWholeFile(options.landmarks));
    if (!looksLikeTps(content)) {
        Specimen single{readCoordinateFile(content, options.landmarks), options.mmPerPixel, options.image.value_or(""),
                        true};
        return {single};
    }
    std::vector<Specimen> specimens;
    for (const TpsSpecimen& tps : readTps(content, options.landmarks))
        specimens.push_back(specimenOf(tps, options.landmarks, options));
    return specimens;
}

std::string recordOf(const Specimen& specimen, const CalculationValues& values) {
    MeasurementRecord record;
    record.savedImageName = fileNameOf(specimen.imagePath);
    record.store(values);
    return toCodePage1254(recordLine(record));
}

void appendRecord(const std::string& recordPath, const std::string& record) {
    const WriteResult written = appendWhole(recordPath, record);
    if (!written.ok()) throw InputError(recordPath, 0, "kayıt eklenemedi: " + describeWriteError(written.error));
}

} // namespace kanat
