#pragma once

#include "app/form1_controls.h"
#include "app/magnification.h"
#include "app/platform_seams.h"
#include "app/session.h"
#include "collection/wing_collection.h"
#include "landmarks/source_landmarks.h"
#include "landmarks/wing_capture.h"
#include "measure/working_fields.h"
#include "picture/picture_loader.h"

#include <QImage>
#include <QPixmap>
#include <QMainWindow>
#include <memory>

class QLabel;

namespace kanat {

class Loupe;
class PixelSource;

// The message for a picture that did not open, as the open dialog and Page Down give it.
QString notOpened(const QString& path, const QString& error);

// The one window: it owns the state of a measurement and wires each event to its command.
// Everything it computes comes from the measuring core; its controls only show the state.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(Session& session, Dialogs& dialogs, Environment environment, QWidget* parent = nullptr);

    const Form1Controls& controls() const { return controls_; }
    const WingCapture& capture() const { return capture_; }
    QString viewScale() const { return viewScale_; }
    QString mmPerPixel() const { return mmPerPixel_; }
    const std::string& accumulatedSaveText() const { return accumulatedSaveText_; }

    // The commands, as the buttons, the check box, the menu and the keys run them.
    void openImage();
    void magnify(Magnification magnification);
    void refresh();
    void toggleGuide();
    void calculate();
    void save();
    void showAbout();
    void takeBack();
    void putBack();
    void nudge(int dx, int dy);
    void openNeighbour(int step); // Page Down (+1) and Page Up (-1)
    void toggleNumbers();
    void toggleLoupe();
    void showKeys();
    void acceptProposals(); // Enter
    void toggleProposals(); // P

signals:
    // "Resetle": the window is to be closed and made again from its layout.
    void resetRequested();

private:
    void load();
    void connectCommands();
    void addKeys();
    void boyut();
    // Asks before landmarks placed since the last "Hesapla" are left for another picture;
    // `whereTo` completes the question.
    bool mayLeaveWing(const QString& whereTo);
    LoadedPicture readPicture(const QString& path);
    // Shows a picture that opened; another picture than the one shown starts a new wing.
    void showPicture(const QString& path, QImage picture, bool newWing);
    void pressView(QPointF position, Qt::KeyboardModifiers modifiers);
    void dragView(QPointF position);
    void releaseView(QPointF position);
    void pointAt(QPointF position);
    double baseHeight() const;
    WingCapture::ViewGeometry viewGeometry() const;
    void showCapture();
    void showList();
    void showGuide();
    void showStatus();
    QString collectionStatus() const;
    const PreparedPicture& preparedPicture();
    WingLandmarks heldLandmarks() const;
    std::vector<LandmarkProposal> currentProposals();
    void showProposals();
    QPointF proposalInView(const LandmarkProposal& proposal) const;
    void tellAboutCollectionOnce();
    bool shapeAccepted();
    void addToCollection(const std::string& tpsFile, const std::string& specimen, long id);
    std::optional<ViewOfPicture> viewOfPicture() const;
    std::unique_ptr<PixelSource> sourcePixels() const;
    void showWorkingFields();
    QString fileTitle() const;
    QString chooseResultFile(const QString& proposal);
    QString resultFolder() const;
    void appendLandmarks(const std::string& recordFile);

    Session& session_;
    Dialogs& dialogs_;
    Environment environment_;
    Form1Controls controls_;
    WingCapture capture_;
    WorkingFields workingFields_;
    // What the controls show of the capture, so that only what changed is shown again.
    struct Shown {
        LandmarkSheet sheet;
        int counter = -1;
        std::vector<std::string> list;
        int guidedLandmark = -1;
    } shown_;
    std::optional<std::size_t> dragged_; // the press whose mark follows the pointer
    std::optional<QPointF> pointer_;     // where the pointer was last over the view
    bool loupeShown_ = false;
    bool numbersShown_ = false;
    // The opened picture made ready for proposals, when they are first wanted rather than at
    // open: the picture shows as fast as it decodes.
    PreparedPicture prepared_;
    std::vector<LandmarkProposal> proposals_;
    Loupe* loupe_ = nullptr;
    QLabel* statusLine_ = nullptr; // whether proposals are on, and what the collection holds
    QPixmap guide_; // the landmark guide as drawn, before it points at a landmark
    QImage source_;           // Picture1's picture, at its own size
    // The picture shown: the open dialog starts at it, Page Down goes on from it, the save dialog
    // opens beside it, and a calculation's record is named after it.
    QString openedImagePath_;
    QString lastResultFile_;  // the result file this window wrote last: rewriting it asks nothing
    // Every block saved since the window was loaded. Held here, not in the hidden Text44: a line
    // edit cuts its text at 32767 characters, a dozen wings' worth.
    std::string accumulatedSaveText_;
    QString viewScale_;
    QString mmPerPixel_;
};

} // namespace kanat
