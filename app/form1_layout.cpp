#include "app/form1_controls.h"

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

namespace kanat {
namespace {

struct Twips {
    int left, top, width, height;
    QRect pixels() const {
        return {left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel, height / twipsPerPixel};
    }
};

enum class Kind {
    CheckBox,
    Button,
    View,        // the picture box of the wing, in a scroll area of its own place
    Frame,       // the landmark sheet's frame
    SheetLabel,  // a row number of the sheet
    SheetField,  // a coordinate of the sheet, inside the frame
    Label,
    List,
    Guide,       // the landmark guide picture
    HiddenField, // the working fields, the counter and the save text
    HiddenPicture,
};

// One control of the window: its kind, its name, its caption or first text, and its place in
// twips inside its container (the sheet's controls inside Frame2, the others in the window).
struct ControlSpec {
    Kind kind;
    QString name;
    QString caption;
    Twips place;
    bool grey = false; // the background of scroll bars, as the coordinate fields have
};

// Row labels were numbered out of order when the sheet was drawn; only their captions show.
constexpr int rowLabelNames[18] = {1, 2, 3, 4, 5, 6, 7, 8, 16, 15, 14, 13, 12, 11, 10, 9, 17, 18};

constexpr Twips viewPlace{120, 720, 8175, 3975};

// The whole window, in the order its controls are made.
std::vector<ControlSpec> form1Layout() {
    std::vector<ControlSpec> layout{
        {Kind::CheckBox, "Check1", "Noktalama Klavuzunu Göster ", {1560, 120, 2655, 375}},
        {Kind::Button, "Command1", "Hesapla", {7560, 120, 975, 375}},
        {Kind::Button, "Command2", "Yenile", {8640, 120, 615, 375}},
        {Kind::Button, "Command3", "Resetle", {9360, 120, 735, 375}},
        {Kind::Button, "Command4", "x0,5", {10200, 120, 495, 375}},
        {Kind::Button, "Command5", "x2", {10800, 120, 495, 375}},
        {Kind::Button, "Command6", "x4", {11400, 120, 495, 375}},
        {Kind::HiddenPicture, "Picture1", "", {1560, 7440, 2175, 1575}},
        {Kind::View, "Picture2", "", viewPlace},
        {Kind::Guide, "Image7", "", {0, 8640, 7755, 2535}},
        {Kind::Frame, "Frame2", "KOORDINAT X-Y", {16560, 120, 2535, 9135}},
    };
    for (int n = 1; n <= 18; ++n) {
        const int top = 480 * n;
        layout.push_back({Kind::SheetLabel, QStringLiteral("Label%1").arg(rowLabelNames[n - 1]), QString::number(n),
                          n == 1 ? Twips{120, 600, 375, 375} : Twips{120, top, 375, 255}});
        layout.push_back({Kind::SheetField, QStringLiteral("Text%1").arg(2 * n - 1), "", {720, top, 800, 300}, true});
        layout.push_back({Kind::SheetField, QStringLiteral("Text%1").arg(2 * n), "", {1560, top, 800, 300}, true});
    }
    const std::vector<ControlSpec> rest{
        {Kind::Label, "Label19", "Koordinat , Açı, Oran, İndex, Uzunluk ve Renk Ölçüm sonuçları", {13920, 9480, 4815, 375}},
        {Kind::List, "List1", "", {12960, 9960, 6015, 1230}},
        {Kind::HiddenField, "x11", "", {600, 0, 615, 375}, true},
        {Kind::HiddenField, "y11", "", {1320, 0, 615, 375}, true},
        {Kind::HiddenField, "x22", "", {600, 360, 615, 375}, true},
        {Kind::HiddenField, "y22", "", {1320, 360, 615, 375}, true},
        {Kind::HiddenField, "x33", "", {600, 720, 615, 375}, true},
        {Kind::HiddenField, "y33", "", {1320, 720, 615, 375}, true},
        {Kind::HiddenField, "x44", "", {2880, 0, 615, 375}, true},
        {Kind::HiddenField, "y44", "", {3480, 0, 615, 375}, true},
        {Kind::HiddenField, "Txt1", "", {1920, 0, 855, 375}, true},
        {Kind::HiddenField, "Txt2", "", {1920, 360, 855, 375}, true},
        {Kind::HiddenField, "Txt3", "", {1920, 720, 855, 375}, true},
        {Kind::HiddenField, "cs", "", {2880, 480, 1215, 285}},
        {Kind::HiddenField, "oran", "", {2880, 840, 1215, 285}},
        {Kind::HiddenField, "renk", "renk", {11640, 10920, 1095, 375}},
        {Kind::HiddenField, "Text43", "0", {120, 8640, 495, 285}},
        {Kind::HiddenField, "Text44", "", {120, 8280, 495, 285}},
    };
    layout.insert(layout.end(), rest.begin(), rest.end());
    return layout;
}

const QColor scrollBarGrey(200, 200, 200);

QLineEdit* textField(QWidget* parent, const ControlSpec& spec) {
    auto* field = new QLineEdit(spec.caption, parent);
    if (spec.grey) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, scrollBarGrey);
        field->setPalette(palette);
    }
    return field;
}

// The number in a control's name: 43 for Text43.
std::size_t numberIn(const QString& name) {
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit()) --digits;
    return name.mid(digits).toULong();
}

QWidget* makeControl(const ControlSpec& spec, Form1Controls& controls) {
    QWidget* client = controls.client;
    switch (spec.kind) {
    case Kind::CheckBox: return controls.Check1 = new QCheckBox(spec.caption, client);
    case Kind::Button: return controls.Command[numberIn(spec.name)] = new QPushButton(spec.caption, client);
    case Kind::Frame: return controls.Frame2 = new QGroupBox(spec.caption, client);
    case Kind::SheetLabel: return new QLabel(spec.caption, controls.Frame2);
    case Kind::SheetField: return controls.Text[numberIn(spec.name)] = textField(controls.Frame2, spec);
    case Kind::Label: return controls.Label19 = new QLabel(spec.caption, client);
    case Kind::List: return controls.List1 = new QListWidget(client);
    case Kind::HiddenPicture: return controls.Picture1 = new QWidget(client);
    case Kind::Guide: {
        controls.Image7 = new QLabel(client);
        controls.Image7->setPixmap(QPixmap(QStringLiteral(":/assets/landmark-guide.png")));
        controls.Image7->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return controls.Image7;
    }
    case Kind::HiddenField: {
        QLineEdit* field = textField(client, spec);
        if (spec.name.startsWith(QStringLiteral("Text")))
            controls.Text[numberIn(spec.name)] = field;
        else
            controls.working[spec.name] = field;
        return field;
    }
    case Kind::View: {
        // The view scrolls inside its own place rather than cover the sheet, the list or the
        // guide; the scroll area is no tab stop of its own.
        controls.viewArea = new QScrollArea(client);
        controls.viewArea->setObjectName(QStringLiteral("viewArea"));
        controls.viewArea->setGeometry(spec.place.pixels());
        controls.viewArea->setFrameShape(QFrame::NoFrame);
        controls.viewArea->setWidgetResizable(false);
        controls.viewArea->setFocusPolicy(Qt::NoFocus);
        controls.Picture2 = new WingView;
        controls.Picture2->setFixedSize(spec.place.pixels().size());
        controls.viewArea->setWidget(controls.Picture2);
        return controls.Picture2;
    }
    }
    return nullptr;
}

void buildMenu(QMainWindow& window, Form1Controls& controls) {
    auto command = [&](const char* name, const QString& caption) {
        QAction* action = window.menuBar()->addAction(caption);
        action->setObjectName(QString::fromUtf8(name));
        return action;
    };
    controls.oimage = command("oimage", QStringLiteral("Kanat Resmi Aç"));
    controls.saves = command("saves", QStringLiteral("Ölçümü Kaydet"));
    controls.about = command("about", QStringLiteral("Hakkında"));
}

// The layout was drawn for a smaller system font than today's desktops use: the window takes
// a font of that size, and a caption that still does not fit grows to the right.
void fitCaptions(Form1Controls& controls) {
    QFont font = controls.client->font();
    font.setPixelSize(11);
    controls.client->setFont(font);
    const int clientRight = controls.client->minimumWidth();
    for (QWidget* caption : std::initializer_list<QWidget*>{controls.Check1, controls.Label19}) {
        const int wanted = std::min(caption->sizeHint().width(), clientRight - caption->x());
        if (wanted > caption->width()) caption->resize(wanted, caption->height());
    }
}

void setTabOrder(const Form1Controls& controls) {
    std::vector<QWidget*> order{controls.Command[1], controls.Picture2};
    for (int n = 16; n >= 1; --n) order.push_back(controls.Text[static_cast<std::size_t>(n)]);
    for (int n = 17; n <= 36; ++n) order.push_back(controls.Text[static_cast<std::size_t>(n)]);
    order.insert(order.end(), {controls.List1, controls.Check1, controls.Command[2], controls.Command[3],
                               controls.Command[4], controls.Command[5], controls.Command[6]});
    for (std::size_t i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace

QSize viewRoom() {
    // From the view's corner to the landmark sheet on the right and the guide picture below.
    const QRect view = viewPlace.pixels();
    return {Twips{16560, 0, 0, 0}.pixels().left() - view.left() - 8,
            Twips{0, 8640, 0, 0}.pixels().top() - view.top() - 8};
}

Form1Controls buildForm1Controls(QMainWindow& window) {
    Form1Controls controls;
    controls.client = new QWidget(&window);
    controls.client->setObjectName(QStringLiteral("client"));
    controls.client->setMinimumSize(Twips{0, 0, 19095, 11190}.pixels().size());
    window.setCentralWidget(controls.client);
    for (const ControlSpec& spec : form1Layout()) {
        QWidget* control = makeControl(spec, controls);
        control->setObjectName(spec.name);
        if (spec.kind != Kind::View) control->setGeometry(spec.place.pixels());
        if (spec.kind == Kind::HiddenField || spec.kind == Kind::HiddenPicture || spec.kind == Kind::List)
            control->hide();
    }
    buildMenu(window, controls);
    fitCaptions(controls);
    setTabOrder(controls);
    controls.Command[1]->setFocus();
    return controls;
}

} // namespace kanat
