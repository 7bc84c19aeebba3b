#include "app/collection_assistant.h"

#include "app/picture_folder.h"
#include "collection/shape_check.h"

#include <QDir>
#include <algorithm>
#include <cmath>

namespace kanat {
namespace {

QString suspects(const ShapeCheck& check) {
    if (check.verdict == ShapeVerdict::Exchanged)
        return QStringLiteral("%1 ve %2 numaralı noktalar yer değiştirmiş olabilir.")
            .arg(check.first)
            .arg(check.second);
    return QStringLiteral("%1 numaralı nokta yerinde olmayabilir.").arg(check.first);
}

ViewPoint wholeViewPixel(const ViewOfPicture& view, const LandmarkProposal& proposal, QSize area) {
    const ViewPoint at = view.toView(proposal.position);
    return {std::clamp(std::round(at.x), 0.0, area.width() - 1.0),
            std::clamp(std::round(at.y), 0.0, area.height() - 1.0)};
}

} // namespace

bool CollectionAssistant::Asked::operator==(const Asked& other) const {
    if (collection != other.collection || picture != other.picture || missing != other.missing) return false;
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (held[i].has_value() != other.held[i].has_value()) return false;
        if (held[i] && (held[i]->x != other.held[i]->x || held[i]->y != other.held[i]->y)) return false;
    }
    return true;
}

CollectionAssistant::CollectionAssistant(Session& session, Dialogs& dialogs, QWidget* window, QWidget* view,
                                         std::function<void()> proposalsChanged)
    : session_(session), dialogs_(dialogs), window_(window), view_(view),
      proposalsChanged_(std::move(proposalsChanged)),
      worker_([this](ProposalWorker::Answer answer) { take(std::move(answer)); }) {}

void CollectionAssistant::pictureChanged() {
    prepared_ = {};
    proposals_.clear();
    asked_.reset();
    worker_.cancel();
}

void CollectionAssistant::update(const WingCapture& capture, const QImage& picture,
                                 const std::optional<ViewOfPicture>& view, bool dragging) {
    if (dragging) return;
    WingLandmarks held;
    MissingLandmarks missing{};
    if (view)
        for (const Press& press : capture.presses()) {
            if (press.landmark <= 0) continue;
            const auto index = static_cast<std::size_t>(press.landmark - 1);
            if (press.missing)
                missing[index] = true;
            else
                held[index] = view->toPicture(press.at);
        }
    // A landmark placed, or marked missing, is proposed no more.
    std::erase_if(proposals_, [&](const LandmarkProposal& proposal) {
        const auto index = static_cast<std::size_t>(proposal.landmark - 1);
        return held[index].has_value() || missing[index];
    });
    const auto placed = std::count_if(held.begin(), held.end(), [](const auto& point) { return point.has_value(); });
    const auto gone = std::count(missing.begin(), missing.end(), true);
    const WingCollection& collection = session_.collection.current();
    const bool wanted = session_.proposalsOn && capture.nothingSettled() && view && placed + gone < landmarkCount &&
                        (placed >= 2 || collection.canFind());
    if (wanted && !collection.canPropose()) tellOnce();
    if (!wanted || !collection.canPropose()) {
        proposals_.clear();
        asked_.reset();
        worker_.cancel();
        return;
    }
    const Asked asking{session_.collection.version(), picture.cacheKey(), held, missing};
    if (asked_ == asking) return;
    asked_ = asking;
    worker_.ask({collection, prepared_, picture, held, missing});
}

void CollectionAssistant::take(ProposalWorker::Answer answer) {
    prepared_ = std::move(answer.prepared);
    proposals_ = std::move(answer.proposals);
    proposalsChanged_();
}

std::vector<ViewMark> CollectionAssistant::marks(const std::optional<ViewOfPicture>& view, QSize area) const {
    std::vector<ViewMark> marks;
    if (!view) return marks;
    for (const LandmarkProposal& proposal : proposals_) {
        const ViewPoint at = wholeViewPixel(*view, proposal, area);
        marks.push_back({QPointF(at.x, at.y), proposal.landmark, proposal.toCheck});
    }
    return marks;
}

std::array<std::optional<ViewPoint>, landmarkCount>
CollectionAssistant::places(const std::optional<ViewOfPicture>& view, QSize area) const {
    std::array<std::optional<ViewPoint>, landmarkCount> places;
    if (!view) return places;
    for (const LandmarkProposal& proposal : proposals_)
        places[static_cast<std::size_t>(proposal.landmark - 1)] = wholeViewPixel(*view, proposal, area);
    return places;
}

void CollectionAssistant::toggle() { session_.proposalsOn = !session_.proposalsOn; }

QString CollectionAssistant::status() const {
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
    if (!collection.canFind())
        status += QStringLiteral(" (iki nokta konunca önerir; resim açılınca önermesi için en az %1 gerekir)")
                      .arg(WingCollection::fewestWingsToFind);
    if (!collection.canCheck())
        status += QStringLiteral(", şekil denetimi için en az %1 gerekir").arg(WingCollection::fewestWingsToCheck);
    if (worker_.busy()) return status + QStringLiteral(" — öneriler hazırlanıyor…");
    QStringList doubtful;
    for (const LandmarkProposal& proposal : proposals_)
        if (proposal.toCheck) doubtful << QString::number(proposal.landmark);
    if (!doubtful.isEmpty()) status += QStringLiteral(" — bakılacak öneriler: ") + doubtful.join(QStringLiteral(", "));
    return status;
}

void CollectionAssistant::tellOnce() {
    const WingCollection& collection = session_.collection.current();
    if (session_.toldAboutCollection || session_.collection.busy()) return;
    session_.toldAboutCollection = true;
    QStringList lines;
    if (!collection.canPropose())
        lines << QStringLiteral("Koleksiyonda (%1) nokta önermek için en az %2 kanat gerekir; şimdilik %3 var.")
                     .arg(QDir::toNativeSeparators(session_.collection.path()))
                     .arg(WingCollection::fewestWingsToPropose)
                     .arg(collection.usableWings());
    for (const std::string& warning : collection.warnings()) lines << QString::fromStdString(warning);
    if (!lines.isEmpty()) dialogs_.note(view_, lines.join(QLatin1Char('\n')));
}

bool CollectionAssistant::shapeAccepted(const WingLandmarks& wing) {
    const WingCollection& collection = session_.collection.current();
    if (!collection.canCheck()) return true;
    const auto check = collection.check(wing);
    if (!check || check->verdict == ShapeVerdict::Sound) return true;
    return dialogs_.ask(window_,
                        QStringLiteral("Bu kanadın şekli koleksiyondaki kanatlara uymuyor: %1\n"
                                       "Ölçüm yine de kaydedilsin mi, yoksa noktalar düzeltilsin mi?")
                            .arg(suspects(*check)),
                        QStringLiteral("Kaydet"), QStringLiteral("Düzelt"));
}

void CollectionAssistant::learn(const SavedSpecimen& saved, const MeasuredWing& measured, const QImage& shown,
                                const QString& shownPath) {
    LabCollection& collection = session_.collection;
    const bool withPicture = !measured.picturePath.empty();
    const QString path = QString::fromStdString(saved.tpsFile);
    if (collection.path() != path) {
        // Another file: read it whole, this wing with it, its picture known by its ID.
        collection.open(path,
                        withPicture ? PicturesById{{std::to_string(saved.id), measured.picturePath}} : PicturesById{});
        return;
    }
    if (!withPicture) return; // no picture, no neighbourhoods to learn
    // The neighbourhoods come from the picture the wing was measured on; if another is shown by
    // now, it is read again away from the window.
    const bool isShown = samePicture(QString::fromStdString(measured.picturePath), shownPath);
    if (isShown && prepared_.empty()) prepared_ = PreparedPicture(shown);
    collection.addSavedWing(saved.text, isShown ? prepared_ : PreparedPicture(), measured.picturePath);
}

} // namespace kanat
