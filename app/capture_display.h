#pragma once

#include "app/window_controls.h"
#include "landmarks/source_landmarks.h"
#include "landmarks/wing_capture.h"
#include "view/wing_view.h"

#include <QImage>
#include <QPixmap>
#include <QPointF>

#include <optional>
#include <string>
#include <vector>

namespace kanat {

class Loupe;

// What the window shows of the wing in hand: the sheet, the counter, the result list, the marks
// and proposals on the view, the guide's pointer at the next landmark and the status line, each
// updated only where it changed; and the numbers beside the marks and the loupe, with their keys.
class CaptureDisplay {
public:
    CaptureDisplay(const WindowControls& controls, char decimal);

    void show(const WingCapture& capture, std::vector<ViewMark> proposals, const QString& status);
    // The user typed into coordinate field `field` (1 to 36): the field already shows it.
    void typed(int field, const std::string& text);

    void toggleNumbers();
    void toggleLoupe();
    // The pointer is over the view at `position`: the loupe, when shown, follows it.
    void pointAt(QPointF position, const QImage& picture, const std::optional<ViewOfPicture>& view,
                 const WingCapture& capture);
    void pointerLeft();

private:
    void showList(const std::vector<std::string>& lines);
    void showGuide(int next, std::vector<int> missing);

    const WindowControls& controls_;
    char decimal_;
    // What the controls show, so that only what changed is shown again.
    LandmarkSheet sheet_;
    int counter_ = -1;
    std::vector<std::string> list_;
    int guidedLandmark_ = -1;
    std::vector<int> crossedOut_{-1}; // the missing landmarks the guide shows; none shown yet
    QPixmap guide_;                   // the landmark guide as drawn, before it points at a landmark
    Loupe* loupe_;
    bool numbersShown_ = false;
    bool loupeShown_ = false;
    struct Pointer {
        QPointF position;
        QImage picture;
        std::optional<ViewOfPicture> view;
    };
    std::optional<Pointer> pointer_; // where the pointer was last over the view, and over what
};

} // namespace kanat
