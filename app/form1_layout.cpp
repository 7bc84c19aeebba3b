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

struct ButtonSpec {
    int number;
    const char* caption;
    Twips place;
};

constexpr ButtonSpec buttons[] = {
    {1, "Hesapla", {7560, 120, 975, 375}}, {2, "Yenile", {8640, 120, 615, 375}},
    {3, "Resetle", {9360, 120, 735, 375}}, {4, "x0,5", {10200, 120, 495, 375}},
    {5, "x2", {10800, 120, 495, 375}},     {6, "x4", {11400, 120, 495, 375}},
};

struct HiddenFieldSpec {
    const char* name;
    const char* text;
    Twips place;
};

constexpr HiddenFieldSpec workingFields[] = {
    {"x11", "", {600, 0, 615, 375}},     {"y11", "", {1320, 0, 615, 375}},
    {"x22", "", {600, 360, 615, 375}},   {"y22", "", {1320, 360, 615, 375}},
    {"x33", "", {600, 720, 615, 375}},   {"y33", "", {1320, 720, 615, 375}},
    {"x44", "", {2880, 0, 615, 375}},    {"y44", "", {3480, 0, 615, 375}},
    {"Txt1", "", {1920, 0, 855, 375}},   {"Txt2", "", {1920, 360, 855, 375}},
    {"Txt3", "", {1920, 720, 855, 375}}, {"cs", "", {2880, 480, 1215, 285}},
    {"oran", "", {2880, 840, 1215, 285}}, {"renk", "renk", {11640, 10920, 1095, 375}},
};

// Row labels were numbered out of order when the sheet was drawn; only their captions show.
constexpr int rowLabelNames[18] = {1, 2, 3, 4, 5, 6, 7, 8, 16, 15, 14, 13, 12, 11, 10, 9, 17, 18};

const QColor scrollBarGrey(200, 200, 200);

template <typename Widget>
Widget* place(Widget* widget, const QString& name, const Twips& twips) {
    widget->setObjectName(name);
    widget->setGeometry(twips.pixels());
    return widget;
}

QLineEdit* textField(QWidget* parent, const QString& name, const Twips& twips, bool greyed) {
    auto* field = place(new QLineEdit(parent), name, twips);
    if (greyed) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, scrollBarGrey);
        field->setPalette(palette);
    }
    return field;
}

void buildLandmarkSheet(Form1Controls& controls) {
    controls.Frame2 = place(new QGroupBox(QStringLiteral("KOORDINAT X-Y"), controls.client),
                            QStringLiteral("Frame2"), {16560, 120, 2535, 9135});
    for (int n = 1; n <= 18; ++n) {
        const int top = 480 * n;
        const Twips labelPlace = n == 1 ? Twips{120, 600, 375, 375} : Twips{120, top, 375, 255};
        place(new QLabel(QString::number(n), controls.Frame2),
              QStringLiteral("Label%1").arg(rowLabelNames[n - 1]), labelPlace);
        controls.Text[2 * n - 1] =
            textField(controls.Frame2, QStringLiteral("Text%1").arg(2 * n - 1), {720, top, 800, 300}, true);
        controls.Text[2 * n] =
            textField(controls.Frame2, QStringLiteral("Text%1").arg(2 * n), {1560, top, 800, 300}, true);
    }
}

void buildHiddenFields(Form1Controls& controls) {
    for (const HiddenFieldSpec& spec : workingFields) {
        const QString name = QString::fromUtf8(spec.name);
        QLineEdit* field = textField(controls.client, name, spec.place, name != QStringLiteral("cs") &&
                                                                      name != QStringLiteral("oran") &&
                                                                      name != QStringLiteral("renk"));
        field->setText(QString::fromUtf8(spec.text));
        field->hide();
        controls.working[name] = field;
    }
    controls.Text[43] = textField(controls.client, QStringLiteral("Text43"), {120, 8640, 495, 285}, false);
    controls.Text[43]->setText(QStringLiteral("0"));
    controls.Text[44] = textField(controls.client, QStringLiteral("Text44"), {120, 8280, 495, 285}, false);
    controls.Text[43]->hide();
    controls.Text[44]->hide();
}

void buildViewAndPictures(Form1Controls& controls) {
    controls.Picture1 = place(new QWidget(controls.client), QStringLiteral("Picture1"), {1560, 7440, 2175, 1575});
    controls.Picture1->hide();
    controls.viewArea = place(new QScrollArea(controls.client), QStringLiteral("viewArea"), {120, 720, 8175, 3975});
    controls.viewArea->setFrameShape(QFrame::NoFrame);
    controls.viewArea->setWidgetResizable(false);
    controls.viewArea->setFocusPolicy(Qt::NoFocus); // the view itself takes the focus, in its place
    controls.Picture2 = new WingView;
    controls.Picture2->setObjectName(QStringLiteral("Picture2"));
    controls.Picture2->setFixedSize(Twips{120, 720, 8175, 3975}.pixels().size());
    controls.viewArea->setWidget(controls.Picture2);
    controls.Image7 = place(new QLabel(controls.client), QStringLiteral("Image7"), {0, 8640, 7755, 2535});
    controls.Image7->setPixmap(QPixmap(QStringLiteral(":/assets/landmark-guide.png")));
    controls.Image7->setAlignment(Qt::AlignLeft | Qt::AlignTop);
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
    for (int n = 16; n >= 1; --n) order.push_back(controls.Text[n]);
    for (int n = 17; n <= 36; ++n) order.push_back(controls.Text[n]);
    order.insert(order.end(), {controls.List1, controls.Check1, controls.Command[2], controls.Command[3],
                               controls.Command[4], controls.Command[5], controls.Command[6]});
    for (std::size_t i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace

QSize viewRoom() {
    // From the view's corner to the landmark sheet on the right and the guide picture below.
    const QRect view = Twips{120, 720, 8175, 3975}.pixels();
    return {Twips{16560, 0, 0, 0}.pixels().left() - view.left() - 8,
            Twips{0, 8640, 0, 0}.pixels().top() - view.top() - 8};
}

Form1Controls buildForm1Controls(QMainWindow& window) {
    Form1Controls controls;
    controls.client = new QWidget(&window);
    controls.client->setObjectName(QStringLiteral("client"));
    controls.client->setMinimumSize(Twips{0, 0, 19095, 11190}.pixels().size());
    window.setCentralWidget(controls.client);

    controls.Check1 = place(new QCheckBox(QStringLiteral("Noktalama Klavuzunu Göster "), controls.client),
                            QStringLiteral("Check1"), {1560, 120, 2655, 375});
    for (const ButtonSpec& spec : buttons)
        controls.Command[static_cast<std::size_t>(spec.number)] =
            place(new QPushButton(QString::fromUtf8(spec.caption), controls.client),
                  QStringLiteral("Command%1").arg(spec.number), spec.place);
    buildViewAndPictures(controls);
    buildLandmarkSheet(controls);
    controls.Label19 = place(new QLabel(QStringLiteral("Koordinat , Açı, Oran, İndex, Uzunluk ve Renk Ölçüm sonuçları"),
                                        controls.client),
                             QStringLiteral("Label19"), {13920, 9480, 4815, 375});
    controls.List1 = place(new QListWidget(controls.client), QStringLiteral("List1"), {12960, 9960, 6015, 1230});
    controls.List1->hide();
    buildHiddenFields(controls);
    buildMenu(window, controls);
    fitCaptions(controls);
    setTabOrder(controls);
    controls.Command[1]->setFocus();
    return controls;
}

} // namespace kanat
