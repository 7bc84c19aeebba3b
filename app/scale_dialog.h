#pragma once

#include "app/platform_seams.h"
#include "results/scale_setups.h"

#include <QDialog>
#include <QPointF>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kanat {

// The lab's scale set-ups (key K): the one in use chosen or a saved one removed, and a new one
// made from the picture shown — the two ends of a known length pressed on the view and the
// length typed — or from a resolution typed in pixels per millimetre or dpi. It stays open
// beside the window while the ends are pressed; bad input is said and changes nothing.
class ScaleDialog final : public QDialog {
    Q_OBJECT
public:
    // `changed` is called after the set-ups changed, for the window to use and keep them.
    ScaleDialog(ScaleSetups& setups, Dialogs& dialogs, std::function<void()> changed, QWidget* parent);

    // A press on the view while the dialog is open, in source pixels: an end of the length; a
    // third press starts again.
    void pressEnd(QPointF source);
    // The ends pressed so far, in source pixels.
    const std::vector<QPointF>& ends() const { return ends_; }
    void showSetups();

private:
    void saveNew();
    void activateChosen();
    void removeChosen();
    std::optional<double> measuredPixelsPerMm();

    ScaleSetups& setups_;
    Dialogs& dialogs_;
    std::function<void()> changed_;
    std::vector<QPointF> ends_;
    QComboBox* setupList_;
    QLabel* measured_;
    QLineEdit* length_;
    QLineEdit* resolution_;
    QComboBox* unit_;
    QLineEdit* name_;
};

} // namespace kanat
