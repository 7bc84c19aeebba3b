#pragma once

#include "app/platform_seams.h"
#include "app/proposal_worker.h"
#include "app/session.h"
#include "collection/wing_collection.h"
#include "landmarks/source_landmarks.h"
#include "landmarks/wing_capture.h"
#include "view/wing_view.h"

#include <QImage>
#include <QSize>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace kanat {

// A specimen a save appended to 12.tps, for the collection to learn.
struct SavedSpecimen {
    std::string tpsFile;
    std::string text;
    long id = 0;
};

// What the lab's collection does for the window: proposals for the landmarks not yet placed
// (all eighteen as a picture opens, when the collection can find a wing), which Enter accepts;
// a check of each calculated wing's shape before it is saved; and each saved wing learnt. It owns
// the shown picture made ready for proposals and the proposals, which are made away from the
// window's thread: the picture shows at once and the crosses come when they are ready.
class CollectionAssistant {
public:
    // `proposalsChanged` is called on the window's thread when new proposals have come.
    CollectionAssistant(Session& session, Dialogs& dialogs, QWidget* window, QWidget* view,
                        std::function<void()> proposalsChanged);

    // Another picture is shown: the one made ready and its proposals are of no more use.
    void pictureChanged();
    // Asks for proposals for the wing in hand on the picture shown, unless a mark is being
    // dragged (they follow it when it is let go); the ones shown meanwhile lose the landmarks
    // placed since.
    void update(const WingCapture& capture, const QImage& picture, const std::optional<ViewOfPicture>& view,
                bool dragging);
    // Waits for the proposals asked for (Enter; tests and the benchmark).
    void finish() { worker_.finish(); }
    // The proposals as the view shows them, and the places Enter gives them: the whole view
    // pixel a press there would be made on.
    std::vector<ViewMark> marks(const std::optional<ViewOfPicture>& view, QSize area) const;
    std::array<std::optional<ViewPoint>, landmarkCount> places(const std::optional<ViewOfPicture>& view,
                                                               QSize area) const;
    void toggle(); // key P
    QString status() const;

    // After "Hesapla": true to save the wing, which is in line with the collection or which the
    // user saves anyway.
    bool shapeAccepted(const WingLandmarks& wing);
    // After a save: the measured wing joins the collection, with the neighbourhoods of the
    // picture it was measured on.
    void learn(const SavedSpecimen& saved, const MeasuredWing& measured, const QImage& shown, const QString& shownPath);

private:
    // What proposals were last asked for: the collection, the picture and the landmarks held.
    struct Asked {
        int collection = 0;
        qint64 picture = 0;
        WingLandmarks held;
        MissingLandmarks missing{};
        bool operator==(const Asked&) const;
    };
    void take(ProposalWorker::Answer answer);
    void tellOnce();

    Session& session_;
    Dialogs& dialogs_;
    QWidget* window_;
    QWidget* view_;
    std::function<void()> proposalsChanged_;
    // The shown picture made ready for proposals, by the first request after it opened.
    PreparedPicture prepared_;
    std::vector<LandmarkProposal> proposals_;
    std::optional<Asked> asked_;
    ProposalWorker worker_;
};

} // namespace kanat
