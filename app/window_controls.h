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

// Every control of the main window, made from one layout table. Each keeps the name the program
// has always given it as its objectName, so that tests and anyone holding the old names find it;
// in code they are named by what they are.
struct WindowControls {
    QWidget* client = nullptr;
    QCheckBox* guideCheckBox = nullptr; // "Noktalama Klavuzunu Göster "
    QPushButton* calculateButton = nullptr;
    QPushButton* refreshButton = nullptr;               // "Yenile"
    QPushButton* resetButton = nullptr;                 // "Resetle"
    std::array<QPushButton*, 3> magnificationButtons{}; // "x0,5", "x2", "x4"
    QScrollArea* viewArea = nullptr;                    // gives the view its room and scrolls it
    WingView* wingView = nullptr;
    QWidget* sourcePicture = nullptr; // hidden: the picture is held by the window
    QGroupBox* sheetFrame = nullptr;  // "KOORDINAT X-Y"
    QLabel* resultsCaption = nullptr;
    QLabel* guidePicture = nullptr;
    QListWidget* resultList = nullptr;
    // The landmark sheet: the x field of landmark n at 2n − 2, its y field at 2n − 1.
    std::array<QLineEdit*, 36> coordinateFields{};
    QLineEdit* counterField = nullptr;
    // Stays empty: the window holds the accumulated save text itself, which outgrows what a line
    // edit keeps.
    QLineEdit* saveTextField = nullptr;
    std::map<QString, QLineEdit*> workingFields; // x11 … oran, renk
    QAction* openAction = nullptr;               // "Kanat Resmi Aç"
    QAction* saveAction = nullptr;               // "Ölçümü Kaydet"
    QAction* aboutAction = nullptr;              // "Hakkında"
    QLabel* statusLine = nullptr;                // whether proposals are on, and what the collection holds
    QLabel* scaleStatus = nullptr;               // the scale set-up in use, and what the picture says of its own
};

// Builds the layout into `window` and sets the tab order and the first focus.
WindowControls buildWindowControls(QMainWindow& window);

// The view's room: it scrolls rather than cover the landmark sheet, the list or the guide.
QSize viewRoom();

} // namespace kanat
