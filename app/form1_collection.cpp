// What the lab's collection does for the window: proposals for the landmarks not yet placed,
// which Enter accepts, and a check of each calculated wing's shape before it is saved.
#include "app/form1.h"

#include "app/picture_folder.h"
#include "collection/shape_check.h"
#include "view/wing_view.h"

#include <algorithm>
#include <cmath>

namespace kanat {
namespace {

QString suspects(const ShapeCheck& check) {
    if (check.verdict == ShapeVerdict::Exchanged)
        return QStringLiteral("%1 ve %2 numaralı noktalar yer değiştirmiş olabilir.").arg(check.first).arg(check.second);
    return QStringLiteral("%1 numaralı nokta yerinde olmayabilir.").arg(check.first);
}

} // namespace

const PreparedPicture& Form1::preparedPicture() {
    if (prepared_.empty() && !source_.isNull()) prepared_ = PreparedPicture(source_);
    return prepared_;
}

WingLandmarks Form1::heldLandmarks() const {
    WingLandmarks held;
    const auto view = viewOfPicture();
    if (!view) return held;
    for (const Press& press : capture_.presses())
        if (press.landmark > 0)
            held[static_cast<std::size_t>(press.landmark - 1)] =
                TpsPoint{press.at.x * view->ratioX, view->pictureHeight - press.at.y * view->ratioY};
    return held;
}

std::vector<LandmarkProposal> Form1::currentProposals() {
    if (!session_.proposalsOn || !capture_.nothingSettled()) return {};
    const WingLandmarks held = heldLandmarks();
    const auto placed = std::count_if(held.begin(), held.end(), [](const auto& point) { return point.has_value(); });
    if (placed < 2 || placed == landmarkCount) return {};
    if (source_.isNull() || !session_.collection.current().canPropose()) {
        tellAboutCollectionOnce();
        return {};
    }
    return session_.collection.current().propose(preparedPicture(), held);
}

void Form1::showProposals() {
    // While a mark is dragged the proposals stay; they follow it when it is let go.
    if (!dragged_) proposals_ = currentProposals();
    const auto view = viewOfPicture();
    std::vector<ViewMark> marks;
    if (view)
        for (const LandmarkProposal& proposal : proposals_)
            marks.push_back({proposalInView(proposal), proposal.landmark});
    controls_.Picture2->setProposals(std::move(marks));
}

QPointF Form1::proposalInView(const LandmarkProposal& proposal) const {
    // Shown, and accepted, on the whole view pixel a press there would be made on.
    const auto view = viewOfPicture();
    const QSize area = controls_.Picture2->drawingSize();
    const double x = std::clamp(std::round(proposal.position.x / view->ratioX), 0.0, area.width() - 1.0);
    const double y = std::clamp(std::round((view->pictureHeight - proposal.position.y) / view->ratioY), 0.0, area.height() - 1.0);
    return {x, y};
}

void Form1::acceptProposals() {
    if (proposals_.empty()) return;
    std::array<std::optional<ViewPoint>, landmarkCount> places;
    for (const LandmarkProposal& proposal : proposals_) {
        const QPointF at = proposalInView(proposal);
        places[static_cast<std::size_t>(proposal.landmark - 1)] = ViewPoint{at.x(), at.y()};
    }
    if (capture_.placeAll(places, viewGeometry())) showCapture();
}

void Form1::toggleProposals() {
    session_.proposalsOn = !session_.proposalsOn;
    showCapture();
}

QString Form1::collectionStatus() const {
    if (!session_.proposalsOn) return QStringLiteral("Öneriler kapalı (açmak için P)");
    const LabCollection& lab = session_.collection;
    const WingCollection& collection = lab.current();
    if (!collection.canPropose())
        return lab.busy() ? QStringLiteral("Öneriler açık (P) — koleksiyon okunuyor…")
                          : QStringLiteral("Öneriler açık (P) — koleksiyonda resmiyle %1 kanat var, öneri için "
                                           "en az %2 gerekir")
                                .arg(collection.wingsWithPictures())
                                .arg(WingCollection::fewestWingsToPropose);
    QString status = QStringLiteral("Öneriler açık (P) — %1 kanatlık koleksiyon").arg(collection.wingsWithPictures());
    if (!collection.canCheck())
        status += QStringLiteral(", şekil denetimi için en az %1 gerekir").arg(WingCollection::fewestWingsToCheck);
    return status;
}

void Form1::tellAboutCollectionOnce() {
    const WingCollection& collection = session_.collection.current();
    if (session_.toldAboutCollection || session_.collection.busy()) return;
    session_.toldAboutCollection = true;
    QStringList lines;
    if (!collection.canPropose())
        lines << QStringLiteral("Koleksiyonda (%1) nokta önermek için en az %2 tam kanat gerekir; şimdilik %3 var.")
                     .arg(session_.collection.path())
                     .arg(WingCollection::fewestWingsToPropose)
                     .arg(collection.usableWings());
    for (const std::string& warning : collection.warnings()) lines << QString::fromStdString(warning);
    if (!lines.isEmpty()) dialogs_.note(controls_.Picture2, lines.join(QLatin1Char('\n')));
}

bool Form1::shapeAccepted() {
    const WingCollection& collection = session_.collection.current();
    if (!collection.canCheck()) return true;
    const auto check = collection.check(sourceLandmarks(capture_.sheet(), viewOfPicture()));
    if (!check || check->verdict == ShapeVerdict::Sound) return true;
    return dialogs_.ask(this,
                        QStringLiteral("Bu kanadın şekli koleksiyondaki kanatlara uymuyor: %1\n"
                                       "Ölçüm yine de kaydedilsin mi, yoksa noktalar düzeltilsin mi?")
                            .arg(suspects(*check)),
                        QStringLiteral("Kaydet"), QStringLiteral("Düzelt"));
}

void Form1::addToCollection(const std::string& tpsFile, const std::string& specimen, long id) {
    LabCollection& collection = session_.collection;
    const std::optional<MeasuredWing>& measured = session_.record.measured;
    const bool withPicture = measured && !measured->picturePath.empty();
    const QString path = QString::fromStdString(tpsFile);
    if (collection.path() != path) {
        // Another file: read it whole, this wing with it, its picture known by its ID.
        collection.open(path, withPicture ? PicturesById{{std::to_string(id), measured->picturePath}} : PicturesById{});
        return;
    }
    if (!withPicture) return; // no picture, no neighbourhoods to learn
    // The neighbourhoods come from the picture the wing was measured on; if another is shown by
    // now, it is read again away from the window.
    const bool shown = samePicture(QString::fromStdString(measured->picturePath), openedImagePath_);
    collection.addSavedWing(specimen, shown ? preparedPicture() : PreparedPicture(), measured->picturePath);
}

} // namespace kanat
