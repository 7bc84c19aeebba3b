#pragma once

#include <QSize>
#include <QString>
#include <array>
#include <map>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPushButton;
class QScrollArea;
class QWidget;

namespace kanat {

class WingView;

// Twips per pixel at 96 dots per inch; the layout is given in twips.
inline constexpr int twipsPerPixel = 15;

// Every control of the main window, created from one layout table and named as the program
// names them (Command1, Text43, x11 …).
struct Form1Controls {
    QWidget* client = nullptr;
    QCheckBox* Check1 = nullptr;
    std::array<QPushButton*, 7> Command{}; // Command[1] … Command[6]
    QScrollArea* viewArea = nullptr;       // gives the view its room and scrolls it
    WingView* Picture2 = nullptr;
    QWidget* Picture1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Image7 = nullptr;
    QListWidget* List1 = nullptr;
    // Text[1] … Text[44]; 37 to 42 do not exist. Text44 stays empty: Form1 holds the
    // accumulated save text itself, which outgrows what a line edit keeps.
    std::array<QLineEdit*, 45> Text{};
    std::map<QString, QLineEdit*> working; // x11 … oran, renk
    QAction* oimage = nullptr;
    QAction* saves = nullptr;
    QAction* about = nullptr;
};

// Builds the layout into `window` and sets the tab order and the first focus.
Form1Controls buildForm1Controls(QMainWindow& window);

// The view's room: it scrolls rather than cover the landmark sheet, the list or the guide.
QSize viewRoom();

} // namespace kanat
