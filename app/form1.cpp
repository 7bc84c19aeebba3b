#include "app/form1.h"

#include "landmarks/landmark_capture.h"
#include "measure/calculate.h"
#include "measure/number_text.h"
#include "results/result_list.h"
#include "picture/picture_loader.h"
#include "picture/picture_pixels.h"
#include "view/wing_view.h"

#include <QCheckBox>
#include <QLabel>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>

namespace kanat {
namespace {

const QString openFilter = QStringLiteral(
    "bmp files (*.BMP)|*.bmp|jpg files(*.jpg)|*.jpg|JPE files(*.jpe)|*.jpe|GIF files(*.gif)|*.gif|"
    "wmf files(*.wmf)|*.wmf|All files(*.*)|*.*|");

struct Magnification {
    double viewScale;
    double mmPerPixel;
    int disables[2];
};

// Each button shows the picture at its scale; one source pixel stays 0.010526316 mm.
constexpr Magnification magnifications[] = {
    {0.5, 0.021052632, {5, 6}}, {1, 0.010526316, {4, 6}}, {2, 0.005263158, {4, 5}}};

std::string text(const QLineEdit* field) { return field->text().toStdString(); }
QString qtext(const std::string& value) { return QString::fromStdString(value); }

// The hidden controls that mirror the working fields, in the order of `Field`.
constexpr const char* workingFieldNames[workingFieldCount] = {
    "x11", "y11", "x22", "y22", "x33", "y33", "x44", "y44", "Txt1", "Txt2", "Txt3", "cs", "oran", "renk"};

// The picture boxes have a border of this many pixels on each side.
constexpr int border = WingView::borderWidth;

} // namespace

Form1::Form1(Session& session, Dialogs& dialogs, Environment environment, QWidget* parent)
    : QMainWindow(parent), session_(session), dialogs_(dialogs), environment_(std::move(environment)),
      controls_(buildForm1Controls(*this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Sphecidae ve Apidae Kanat Morfometrisi Yazılımı"));
    setAttribute(Qt::WA_DeleteOnClose);
    connect(controls_.Command[1], &QPushButton::clicked, this, &Form1::calculate);
    connect(controls_.Command[2], &QPushButton::clicked, this, &Form1::refresh);
    connect(controls_.Command[3], &QPushButton::clicked, this, &Form1::resetRequested);
    for (int button = 4; button <= 6; ++button)
        connect(controls_.Command[static_cast<std::size_t>(button)], &QPushButton::clicked, this,
                [this, button] { magnify(button); });
    connect(controls_.Check1, &QCheckBox::clicked, this, &Form1::toggleGuide);
    connect(controls_.Picture2, &WingView::pressed, this, &Form1::placeLandmark);
    connect(controls_.oimage, &QAction::triggered, this, &Form1::openImage);
    connect(controls_.saves, &QAction::triggered, this, &Form1::save);
    connect(controls_.about, &QAction::triggered, this, &Form1::showAbout);
    load();
}

void Form1::load() {
    for (const char* name : {"x11", "y11", "x22", "y22", "x33", "y33", "Txt1", "Txt2", "Txt3", "cs"})
        controls_.working.at(QString::fromUtf8(name))->clear();
    viewScale_ = qtext(formatGeneral(0.5, environment_.decimal));
    mmPerPixel_ = qtext(formatGeneral(0.021052632, environment_.decimal));
}

void Form1::openImage() {
    const QString path = dialogs_.openImage(this, openFilter, lastChosenImage_);
    if (path.isEmpty()) return;
    lastChosenImage_ = path;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    LoadedPicture loaded = loadPicture(path);
    QGuiApplication::restoreOverrideCursor();
    if (!loaded.ok()) {
        dialogs_.warn(this, QStringLiteral("\"%1\" açılamadı: %2.").arg(path, loaded.error));
        return;
    }
    source_ = std::move(loaded.image);
    openedImagePath_ = path;
    setWindowTitle(path);
    boyut();
}

void Form1::boyut() {
    if (source_.isNull()) return; // nothing to show yet: the view keeps its size
    const double scale = parseLocale(viewScale_.toStdString(), environment_.decimal);
    // Outer sizes scale with their borders, as the picture boxes' sizes in twips do.
    const QSize outer(static_cast<int>(roundHalfEven(scale * (source_.width() + 2 * border), 0)),
                      static_cast<int>(roundHalfEven(scale * (source_.height() + 2 * border), 0)));
    controls_.Picture2->paintPicture(source_, outer.expandedTo(QSize(2 * border + 1, 2 * border + 1)));
    controls_.viewArea->resize(controls_.Picture2->size().boundedTo(viewRoom()));
}

void Form1::magnify(int button) {
    const Magnification& chosen = magnifications[button - 4];
    for (int other : chosen.disables) controls_.Command[static_cast<std::size_t>(other)]->setEnabled(false);
    viewScale_ = qtext(formatGeneral(chosen.viewScale, environment_.decimal));
    mmPerPixel_ = qtext(formatGeneral(chosen.mmPerPixel, environment_.decimal));
    boyut();
}

void Form1::refresh() {
    controls_.Command[4]->setEnabled(true);
    controls_.Command[5]->setEnabled(true);
    controls_.Picture2->clearDrawing();
    controls_.List1->clear();
    controls_.Text[43]->setText(QStringLiteral("0"));
    for (int n = 1; n <= 36; ++n) controls_.Text[static_cast<std::size_t>(n)]->clear();
    for (const char* name : {"x11", "y11", "x22", "y22", "x33", "y33", "x44", "y44", "Txt1", "Txt2", "Txt3", "cs", "oran"})
        controls_.working.at(QString::fromUtf8(name))->clear();
    controls_.List1->hide();
}

void Form1::toggleGuide() {
    if (controls_.Check1->checkState() == Qt::Checked) controls_.Image7->show();
    if (controls_.Check1->checkState() == Qt::Unchecked) controls_.Image7->hide();
}

double Form1::baseHeight() const {
    return baseHeightOf(double(controls_.Picture2->height()) * twipsPerPixel);
}

void Form1::placeLandmark(QPointF position) {
    const char decimal = environment_.decimal;
    const std::string count = nextCount(text(controls_.Text[43]), decimal);
    controls_.Text[43]->setText(qtext(count));
    const CapturedPoint point = capturePoint(float(position.x()), float(position.y()), baseHeight(), decimal);
    controls_.List1->addItem(qtext(coordinateLine(point.x, point.y)));
    controls_.Picture2->drawCircle(position);
    const double pressNumber = parseLocale(count, decimal);
    if (pressNumber >= 1 && pressNumber <= landmarkCount) {
        const auto n = static_cast<std::size_t>(pressNumber);
        controls_.Text[2 * n - 1]->setText(qtext(point.x));
        controls_.Text[2 * n]->setText(qtext(point.y));
    }
}

LandmarkSheet Form1::landmarkSheet() const {
    LandmarkSheet sheet;
    for (std::size_t i = 0; i < sheet.texts.size(); ++i) sheet.texts[i] = text(controls_.Text[i + 1]);
    return sheet;
}

WorkingFields Form1::workingFields() const {
    WorkingFields fields;
    for (std::size_t i = 0; i < workingFieldCount; ++i)
        fields.texts[i] = text(controls_.working.at(QString::fromUtf8(workingFieldNames[i])));
    return fields;
}

void Form1::showWorkingFields(const WorkingFields& fields) {
    for (std::size_t i = 0; i < workingFieldCount; ++i)
        controls_.working.at(QString::fromUtf8(workingFieldNames[i]))->setText(qtext(fields.texts[i]));
}

std::optional<ViewOfPicture> Form1::viewOfPicture() const {
    if (source_.isNull()) return std::nullopt;
    const QSize shown = controls_.Picture2->drawingSize();
    return ViewOfPicture{baseHeight(), double(source_.width()) / shown.width(),
                         double(source_.height()) / shown.height(), double(source_.height())};
}

std::unique_ptr<PixelSource> Form1::sourcePixels() const {
    // Landmarks are view positions with y counted up from h; the samples come from the source
    // pixel shown there.
    const auto view = viewOfPicture();
    if (!view) return std::make_unique<NoPicture>();
    return std::make_unique<PicturePixels>(source_, view->baseHeight, view->ratioX, view->ratioY);
}

void Form1::calculate() {
    controls_.List1->show();
    WorkingFields fields = workingFields();
    const CalculationValues values =
        Calculate(landmarkSheet(), fields, mmPerPixel_.toStdString(), environment_.decimal, *sourcePixels());
    showWorkingFields(fields);
    for (const std::string& line : resultLines(values)) controls_.List1->addItem(qtext(line));
    session_.record.store(values);
    save();
}

void Form1::showAbout() {
    dialogs_.about(this, QStringLiteral("Sphecidae ve Apidae kanat morfometrisi için hazırlanmış bir yazılımdır."));
}

QString Form1::fileTitle() const { return openedImagePath_.isEmpty() ? QString() : QFileInfo(openedImagePath_).fileName(); }

} // namespace kanat
