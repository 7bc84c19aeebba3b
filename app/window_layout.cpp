#include "app/window_controls.h"

#include "view/wing_view.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>

#include <functional>

namespace kanat {
namespace {

struct Twips {
    int left, top, width, height;
    QRect pixels() const {
        return {left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel, height / twipsPerPixel};
    }
};

// One control of the window: the name it has always had (kept as its objectName), its caption
// or first text, its place in twips inside its container, and how it is made and kept.
struct ControlSpec {
    QString name;
    QString caption;
    Twips place;
    std::function<QWidget*(WindowControls&, const ControlSpec&)> make;
    bool hidden = false;
};

template <class Widget> using Role = Widget* WindowControls::*;

// The background of scroll bars, which the coordinate fields and working fields have.
const QColor scrollBarGrey(200, 200, 200);

QLineEdit* textField(QWidget* parent, const QString& text, bool grey) {
    auto* field = new QLineEdit(text, parent);
    if (grey) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, scrollBarGrey);
        field->setPalette(palette);
    }
    return field;
}

ControlSpec button(QString name, QString caption, Twips place, Role<QPushButton> role) {
    return {name, caption, place,
            [role](WindowControls& c, const ControlSpec& s) { return c.*role = new QPushButton(s.caption, c.client); }};
}

ControlSpec magnificationButton(QString name, QString caption, Twips place, std::size_t index) {
    return {name, caption, place, [index](WindowControls& c, const ControlSpec& s) {
                return c.magnificationButtons[index] = new QPushButton(s.caption, c.client);
            }};
}

// A row of the landmark sheet, inside its frame: the row's number and the landmark's two fields.
void addSheetRow(std::vector<ControlSpec>& layout, int landmark) {
    // Row labels were numbered out of order when the sheet was drawn; only their captions show.
    constexpr int rowLabelNames[18] = {1, 2, 3, 4, 5, 6, 7, 8, 16, 15, 14, 13, 12, 11, 10, 9, 17, 18};
    const int top = 480 * landmark;
    layout.push_back({QStringLiteral("Label%1").arg(rowLabelNames[landmark - 1]), QString::number(landmark),
                      landmark == 1 ? Twips{120, 600, 375, 375} : Twips{120, top, 375, 255},
                      [](WindowControls& c, const ControlSpec& s) { return new QLabel(s.caption, c.sheetFrame); }});
    for (const int axis : {0, 1})
        layout.push_back({QStringLiteral("Text%1").arg(2 * landmark - 1 + axis),
                          "",
                          {720 + 840 * axis, top, 800, 300},
                          [field = std::size_t(2 * landmark - 2 + axis)](WindowControls& c, const ControlSpec&) {
                              return c.coordinateFields[field] = textField(c.sheetFrame, {}, true);
                          }});
}

ControlSpec workingField(QString name, Twips place, bool grey = true) {
    return {name, name == "renk" ? name : QString(), place,
            [grey](WindowControls& c, const ControlSpec& s) {
                return c.workingFields[s.name] = textField(c.client, s.caption, grey);
            },
            true};
}

ControlSpec hiddenField(QString name, QString text, Twips place, Role<QLineEdit> role) {
    return {name, text, place,
            [role](WindowControls& c, const ControlSpec& s) { return c.*role = textField(c.client, s.caption, false); },
            true};
}

constexpr Twips viewPlace{120, 720, 8175, 3975};

QWidget* makeView(WindowControls& c, const ControlSpec& s) {
    // The view scrolls inside its own place rather than cover the sheet, the list or the guide;
    // the scroll area is no tab stop of its own.
    c.viewArea = new QScrollArea(c.client);
    c.viewArea->setObjectName(QStringLiteral("viewArea"));
    c.viewArea->setGeometry(s.place.pixels());
    c.viewArea->setFrameShape(QFrame::NoFrame);
    c.viewArea->setWidgetResizable(false);
    c.viewArea->setFocusPolicy(Qt::NoFocus);
    c.wingView = new WingView;
    c.wingView->setFixedSize(s.place.pixels().size());
    c.viewArea->setWidget(c.wingView);
    return c.wingView;
}

QWidget* makeGuide(WindowControls& c, const ControlSpec&) {
    c.guidePicture = new QLabel(c.client);
    c.guidePicture->setPixmap(QPixmap(QStringLiteral(":/assets/landmark-guide.png")));
    c.guidePicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return c.guidePicture;
}

// The whole window, in the order its controls are made; one control a row.
// clang-format off
std::vector<ControlSpec> windowLayout() {
    std::vector<ControlSpec> layout{
        {"Check1", "Noktalama Klavuzunu Göster ", {1560, 120, 2655, 375},
         [](WindowControls& c, const ControlSpec& s) { return c.guideCheckBox = new QCheckBox(s.caption, c.client); }},
        button("Command1", "Hesapla", {7560, 120, 975, 375}, &WindowControls::calculateButton),
        button("Command2", "Yenile", {8640, 120, 615, 375}, &WindowControls::refreshButton),
        button("Command3", "Resetle", {9360, 120, 735, 375}, &WindowControls::resetButton),
        magnificationButton("Command4", "x0,5", {10200, 120, 495, 375}, 0),
        magnificationButton("Command5", "x2", {10800, 120, 495, 375}, 1),
        magnificationButton("Command6", "x4", {11400, 120, 495, 375}, 2),
        {"Picture1", "", {1560, 7440, 2175, 1575},
         [](WindowControls& c, const ControlSpec&) { return c.sourcePicture = new QWidget(c.client); }, true},
        {"Picture2", "", viewPlace, makeView},
        {"Image7", "", {0, 8640, 7755, 2535}, makeGuide},
        {"Frame2", "KOORDINAT X-Y", {16560, 120, 2535, 9135},
         [](WindowControls& c, const ControlSpec& s) { return c.sheetFrame = new QGroupBox(s.caption, c.client); }},
    };
    for (int landmark = 1; landmark <= 18; ++landmark) addSheetRow(layout, landmark);
    const std::vector<ControlSpec> rest{
        {"Label19", "Koordinat , Açı, Oran, İndex, Uzunluk ve Renk Ölçüm sonuçları", {13920, 9480, 4815, 375},
         [](WindowControls& c, const ControlSpec& s) { return c.resultsCaption = new QLabel(s.caption, c.client); }},
        {"List1", "", {12960, 9960, 6015, 1230},
         [](WindowControls& c, const ControlSpec&) { return c.resultList = new QListWidget(c.client); }, true},
        workingField("x11", {600, 0, 615, 375}),
        workingField("y11", {1320, 0, 615, 375}),
        workingField("x22", {600, 360, 615, 375}),
        workingField("y22", {1320, 360, 615, 375}),
        workingField("x33", {600, 720, 615, 375}),
        workingField("y33", {1320, 720, 615, 375}),
        workingField("x44", {2880, 0, 615, 375}),
        workingField("y44", {3480, 0, 615, 375}),
        workingField("Txt1", {1920, 0, 855, 375}),
        workingField("Txt2", {1920, 360, 855, 375}),
        workingField("Txt3", {1920, 720, 855, 375}),
        workingField("cs", {2880, 480, 1215, 285}, false),
        workingField("oran", {2880, 840, 1215, 285}, false),
        workingField("renk", {11640, 10920, 1095, 375}, false),
        hiddenField("Text43", "0", {120, 8640, 495, 285}, &WindowControls::counterField),
        hiddenField("Text44", "", {120, 8280, 495, 285}, &WindowControls::saveTextField),
    };
    layout.insert(layout.end(), rest.begin(), rest.end());
    return layout;
}
// clang-format on

void buildMenu(QMainWindow& window, WindowControls& controls) {
    auto command = [&](const char* name, const QString& caption) {
        QAction* action = window.menuBar()->addAction(caption);
        action->setObjectName(QString::fromUtf8(name));
        return action;
    };
    controls.openAction = command("oimage", QStringLiteral("Kanat Resmi Aç"));
    controls.saveAction = command("saves", QStringLiteral("Ölçümü Kaydet"));
    controls.aboutAction = command("about", QStringLiteral("Hakkında"));
}

// The layout was drawn for a smaller system font than today's desktops use: the window takes
// a font of that size, and a caption that still does not fit grows to the right.
void fitCaptions(WindowControls& controls) {
    QFont font = controls.client->font();
    font.setPixelSize(11);
    controls.client->setFont(font);
    const int clientRight = controls.client->minimumWidth();
    for (QWidget* caption : std::initializer_list<QWidget*>{controls.guideCheckBox, controls.resultsCaption}) {
        const int wanted = std::min(caption->sizeHint().width(), clientRight - caption->x());
        if (wanted > caption->width()) caption->resize(wanted, caption->height());
    }
}

void setTabOrder(const WindowControls& controls) {
    // As the sheet was drawn: its first sixteen fields backwards, then the rest in order.
    std::vector<QWidget*> order{controls.calculateButton, controls.wingView};
    for (std::size_t field = 16; field >= 1; --field) order.push_back(controls.coordinateFields[field - 1]);
    for (std::size_t field = 17; field <= 36; ++field) order.push_back(controls.coordinateFields[field - 1]);
    order.insert(order.end(),
                 {controls.resultList, controls.guideCheckBox, controls.refreshButton, controls.resetButton});
    order.insert(order.end(), controls.magnificationButtons.begin(), controls.magnificationButtons.end());
    for (std::size_t i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace

QSize viewRoom() {
    // From the view's corner to the landmark sheet on the right and the guide picture below.
    const QRect view = viewPlace.pixels();
    return {Twips{16560, 0, 0, 0}.pixels().left() - view.left() - 8,
            Twips{0, 8640, 0, 0}.pixels().top() - view.top() - 8};
}

WindowControls buildWindowControls(QMainWindow& window) {
    WindowControls controls;
    controls.client = new QWidget(&window);
    controls.client->setObjectName(QStringLiteral("client"));
    controls.client->setMinimumSize(Twips{0, 0, 19095, 11190}.pixels().size());
    window.setCentralWidget(controls.client);
    for (const ControlSpec& spec : windowLayout()) {
        QWidget* control = spec.make(controls, spec);
        control->setObjectName(spec.name);
        if (control != controls.wingView) control->setGeometry(spec.place.pixels());
        if (spec.hidden) control->hide();
    }
    buildMenu(window, controls);
    controls.statusLine = new QLabel(&window);
    controls.statusLine->setObjectName(QStringLiteral("statusLine"));
    window.statusBar()->addWidget(controls.statusLine);
    controls.scaleStatus = new QLabel(&window);
    controls.scaleStatus->setObjectName(QStringLiteral("scaleStatus"));
    window.statusBar()->addPermanentWidget(controls.scaleStatus);
    fitCaptions(controls);
    setTabOrder(controls);
    controls.calculateButton->setFocus();
    return controls;
}

} // namespace kanat
