#include "tests/real_wings.h"

#include "results/tps_text.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace kanat::test {

std::vector<RealWing> realWings(const std::string& folder) {
    std::vector<RealWing> wings;
    const QDir dir(QString::fromStdString(folder));
    for (const QString& name : dir.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        RealWing wing{name.toStdString(), dir.filePath(name).toStdString(), QImage(dir.filePath(name)), {}};
        // "landmarks:x1 y1 … x19 y19;resolution:R;" in image pixels, y down.
        const QString text = wing.picture.text(QStringLiteral("IdentiFly")).section(';', 0, 0).section(':', 1);
        const QStringList numbers = text.split(' ', Qt::SkipEmptyParts);
        if (wing.picture.isNull() || numbers.size() < 2 * landmarkCount) continue;
        for (int n = 0; n < landmarkCount; ++n)
            wing.landmarks[static_cast<std::size_t>(n)] = {numbers[2 * n].toDouble(),
                                                           wing.picture.height() - numbers[2 * n + 1].toDouble()};
        wings.push_back(std::move(wing));
    }
    return wings;
}

std::string tpsSpecimenOf(const RealWing& wing, long id) {
    std::array<std::optional<TpsPoint>, landmarkCount> points;
    for (std::size_t i = 0; i < points.size(); ++i) points[i] = wing.landmarks[i];
    return tpsSpecimen(points, wing.fileName, id, 0.0105);
}

WingLandmarks placedOf(const RealWing& wing, const std::vector<int>& landmarks) {
    WingLandmarks placed;
    for (const int n : landmarks)
        placed[static_cast<std::size_t>(n - 1)] = wing.landmarks[static_cast<std::size_t>(n - 1)];
    return placed;
}

std::vector<double> errorsOf(const std::vector<LandmarkProposal>& proposals, const RealWing& wing) {
    std::vector<double> errors;
    for (const LandmarkProposal& proposal : proposals) {
        const TpsPoint& truth = wing.landmarks[static_cast<std::size_t>(proposal.landmark - 1)];
        errors.push_back(std::hypot(proposal.position.x - truth.x, proposal.position.y - truth.y));
    }
    std::sort(errors.begin(), errors.end());
    return errors;
}

std::string writeCollection(const std::string& folder, const std::vector<RealWing>& wings) {
    std::string tps;
    for (std::size_t i = 0; i < wings.size(); ++i) {
        QFile::copy(QString::fromStdString(wings[i].path), QString::fromStdString(folder + "/" + wings[i].fileName));
        tps += tpsSpecimenOf(wings[i], static_cast<long>(i) + 1);
    }
    const std::string path = folder + "/12.tps";
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(tps.data(), static_cast<qint64>(tps.size())) != static_cast<qint64>(tps.size()))
        return {};
    return path;
}

} // namespace kanat::test
