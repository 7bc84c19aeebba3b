#pragma once

#include "app/platform_seams.h"

#include <QImage>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace kanat {

// The picture shown and the ways to another: the open dialog, and Page Down/Up through the shown
// picture's folder. Only a picture that opened is ever shown; a file that does not open is named
// and changes nothing, not even the folder Page Down walks.
class PictureBrowser {
public:
    // `lastShown` outlives the window, so that the open dialog starts at the last picture after
    // "Resetle" too.
    PictureBrowser(Dialogs& dialogs, QWidget* window, QString& lastShown);

    struct Opened {
        QString path;
        QImage picture;
        bool another = true;                     // not the picture shown: a new wing
        std::optional<double> statedPixelsPerMm; // what the file says of its own resolution
    };
    // Asked before another picture than the one shown is read; `whereTo` completes the question.
    using MayLeave = std::function<bool(const QString& whereTo)>;

    // The picture the user picks in the open dialog; nothing when cancelled or unreadable.
    std::optional<Opened> choose(const QString& filter, const MayLeave& mayLeave);
    // The next (`step` 1) or previous (−1) picture of the shown one's folder that opens; files
    // that do not open are named in one message and passed over.
    std::optional<Opened> neighbour(int step, const MayLeave& mayLeave);
    void show(Opened opened);

    const QImage& picture() const { return picture_; }
    const std::optional<double>& statedPixelsPerMm() const { return statedPixelsPerMm_; }
    const QString& path() const { return path_; }
    QString fileTitle() const; // the file's name without its folder; empty without a picture
    QString folder() const;    // empty without a picture

private:
    Dialogs& dialogs_;
    QWidget* window_;
    QString& lastShown_;
    QImage picture_;
    QString path_;
    std::optional<double> statedPixelsPerMm_;
};

} // namespace kanat
