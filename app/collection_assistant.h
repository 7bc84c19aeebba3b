#pragma once

#include "app/platform_seams.h"
#include "app/session.h"
#include "collection/wing_collection.h"
#include "landmarks/source_landmarks.h"
#include "landmarks/wing_capture.h"
#include "view/wing_view.h"

#include <QImage>
#include <QSize>

#include <array>
#include <optional>
#include <vector>

namespace kanat {

// A specimen a save appended to 12.tps, for the collection to learn.
struct SavedSpecimen {
    std::string tpsFile;
    std::string text;
    long id = 0;
};

// What the lab's collection does for the window: proposals for the landmarks not yet placed,
// which Enter accepts; a check of each calculated wing's shape before it is saved; and each
// saved wing learnt. It owns the shown picture made ready for proposals and the proposals.
class CollectionAssistant {
public:
    CollectionAssistant(Session& session, Dialogs& dialogs, QWidget* window, QWidget* view);

    // Another picture is shown: the one made ready is of no more use.
    void pictureChanged();
    // Proposals for the wing in hand on the picture shown, made again unless a mark is being
    // dragged (they follow it when it is let go).
    void update(const WingCapture& capture, const QImage& picture, const std::optional<ViewOfPicture>& view,
                bool dragging);
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
    const PreparedPicture& prepared(const QImage& picture);
    void tellOnce();

    Session& session_;
    Dialogs& dialogs_;
    QWidget* window_;
    QWidget* view_;
    // The shown picture made ready for proposals when they are first wanted rather than at
    // open: the picture shows as fast as it decodes.
    PreparedPicture prepared_;
    std::vector<LandmarkProposal> proposals_;
};

} // namespace kanat
