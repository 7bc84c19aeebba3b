#pragma once

#include "app/capture_display.h"
#include "app/collection_assistant.h"
#include "app/key_table.h"
#include "app/magnification.h"
#include "app/picture_browser.h"
#include "app/platform_seams.h"
#include "app/result_saver.h"
#include "app/scale_dialog.h"
#include "app/session.h"
#include "app/window_controls.h"
#include "landmarks/source_landmarks.h"
#include "landmarks/wing_capture.h"
#include "measure/working_fields.h"

#include <QMainWindow>
#include <memory>

namespace kanat {

class PixelSource;

// The one window: its layout, the wiring of every event to its command, and the commands. The
// wing in hand is the capture; what the window shows of it, what the collection proposes, the
// picture shown and the saving are each a class of their own.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(Session& session, Dialogs& dialogs, Environment environment, QWidget* parent = nullptr);

    const WindowControls& controls() const { return controls_; }
    const WingCapture& capture() const { return capture_; }
    QString viewScale() const { return QString::fromStdString(scale_.viewScale); }
    QString mmPerPixel() const { return QString::fromStdString(scale_.mmPerPixel); }
    const std::string& accumulatedSaveText() const { return saver_.accumulatedSaveText(); }

    // The commands, as the buttons, the check box, the menu and the keys run them.
    void openImage();
    void openNeighbour(int step); // Page Down (+1) and Page Up (-1)
    void magnify(Magnification magnification);
    void refresh();
    void toggleGuide();
    void calculate();
    void save();
    void showAbout();
    void takeBack();
    void putBack();
    void nudge(int dx, int dy);
    void acceptProposals(); // Enter
    void markMissing();     // M or Delete: the next landmark is not there on the wing
    void toggleProposals(); // P
    void showKeys();        // F1
    void showScaleSetups(); // K
    // Waits for the proposals asked for, as Enter does (tests and the benchmark).
    void finishProposals() { assistant_.finish(); }

signals:
    // "Resetle": the window is to be closed and made again from its layout.
    void resetRequested();

private:
    void connectCommands();
    std::vector<KeyRow> keyTable();
    void load();
    bool mayLeaveWing(const QString& whereTo);
    bool mayCalculateAsSheetStands();
    void showOpened(PictureBrowser::Opened opened);
    void showPictureAtScale();
    void pressView(QPointF position, Qt::KeyboardModifiers modifiers);
    void holdMarkNear(QPointF position);
    void dragView(QPointF position);
    void releaseView(QPointF position);
    double baseHeight() const;
    WingCapture::ViewGeometry viewGeometry() const;
    std::optional<ViewOfPicture> viewOfPicture() const;
    std::unique_ptr<PixelSource> sourcePixels() const;
    double landmarkScale() const;
    void showCapture();
    void showWorkingFields();
    void showScale();
    void useSetups(); // after the set-ups changed: keep them and measure with the one in use

    Session& session_;
    Dialogs& dialogs_;
    Environment environment_;
    WindowControls controls_;
    WingCapture capture_;
    WorkingFields workingFields_;
    ScaleTexts scale_;
    Magnification magnification_ = Magnification::TimesHalf; // the scale the picture is shown at
    ScaleDialog* scaleDialog_ = nullptr;                     // made when first asked for
    PictureBrowser browser_;
    CaptureDisplay display_;
    CollectionAssistant assistant_;
    ResultSaver saver_;
    std::optional<std::size_t> dragged_; // the press whose mark follows the pointer
};

} // namespace kanat
