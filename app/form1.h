#pragma once

#include "app/form1_controls.h"
#include "app/platform_seams.h"
#include "app/session.h"
#include "landmarks/source_landmarks.h"
#include "measure/landmark_sheet.h"
#include "measure/working_fields.h"

#include <QImage>
#include <QMainWindow>
#include <memory>

namespace kanat {

class PixelSource;

// The one window: it owns the state of a measurement and wires each event to its command.
// Everything it computes comes from the measuring core.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(Session& session, Dialogs& dialogs, Environment environment, QWidget* parent = nullptr);

    const Form1Controls& controls() const { return controls_; }
    QString viewScale() const { return viewScale_; }
    QString mmPerPixel() const { return mmPerPixel_; }
    QString recordFilePath() const;
    const std::string& accumulatedSaveText() const { return accumulatedSaveText_; }

    // The commands, as the buttons, the check box and the menu run them.
    void openImage();
    void magnify(int button);
    void refresh();
    void toggleGuide();
    void calculate();
    void save();
    void showAbout();
    void placeLandmark(QPointF position);

signals:
    // "Resetle": the window is to be closed and made again from its layout.
    void resetRequested();

private:
    void load();
    void boyut();
    double baseHeight() const;
    std::optional<ViewOfPicture> viewOfPicture() const;
    std::unique_ptr<PixelSource> sourcePixels() const;
    void appendLandmarks(const QString& recordFile);
    LandmarkSheet landmarkSheet() const;
    WorkingFields workingFields() const;
    void showWorkingFields(const WorkingFields& fields);
    QString fileTitle() const;
    QString chooseResultFile(const QString& proposal);
    // The 12.txt the record went to, or nothing when it could not be written.
    std::optional<QString> appendRecord(const std::string& line);

    Session& session_;
    Dialogs& dialogs_;
    Environment environment_;
    Form1Controls controls_;
    QImage source_;           // Picture1's picture, at its own size
    QString openedImagePath_; // the image last opened; its file title names the saved record
    QString lastChosenImage_; // where the open dialog starts, whether or not the file loaded
    QString lastResultFile_;  // the result file this window wrote last: rewriting it asks nothing
    // Every block saved since the window was loaded. Held here, not in the hidden Text44: a line
    // edit cuts its text at 32767 characters, a dozen wings' worth.
    std::string accumulatedSaveText_;
    QString viewScale_;
    QString mmPerPixel_;
};

} // namespace kanat
