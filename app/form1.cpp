#include "app/form1.h"

#include "app/picture_folder.h"
#include "landmarks/landmark_capture.h"
#include "measure/calculate.h"
#include "measure/number_text.h"
#include "picture/picture_loader.h"
#include "picture/picture_pixels.h"
#include "results/result_list.h"
#include "results/tps_text.h"
#include "view/guide_pointer.h"
#include "view/loupe.h"
#include "view/wing_view.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>

namespace kanat {
namespace {

const QString openFilter = QStringLiteral(
    "bmp files (*.BMP)|*.bmp|jpg files(*.jpg)|*.jpg|JPE files(*.jpe)|*.jpe|GIF files(*.gif)|*.gif|"
    "wmf files(*.wmf)|*.wmf|All files(*.*)|*.*|");

QString qtext(const std::string& value) { return QString::fromStdString(value); }

// The hidden controls that mirror the working fields, in the order of `Field`.
constexpr const char* workingFieldNames[workingFieldCount] = {
    "x11", "y11", "x22", "y22", "x33", "y33", "x44", "y44", "Txt1", "Txt2", "Txt3", "cs", "oran", "renk"};

// The picture boxes have a border of this many pixels on each side.
constexpr int border = WingView::borderWidth;

// How near a mark's centre a Ctrl+press takes hold of it, in view pixels.
constexpr double grabRadius = 6;

// A view position as the capture keeps it.
ViewPoint viewPoint(QPointF position) { return {position.x(), position.y()}; }

} // namespace

Form1::Form1(Session& session, Dialogs& dialogs, Environment environment, QWidget* parent)
    : QMainWindow(parent), session_(session), dialogs_(dialogs), environment_(std::move(environment)),
      controls_(buildForm1Controls(*this)), capture_(environment_.decimal) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Sphecidae ve Apidae Kanat Morfometrisi Yazılımı"));
    setAttribute(Qt::WA_DeleteOnClose);
    loupe_ = new Loupe(controls_.client);
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusBar()->addWidget(statusLine_);
    connectCommands();
    addKeys();
    load();
    showCapture();
}

void Form1::connectCommands() {
    connect(controls_.Command[1], &QPushButton::clicked, this, &Form1::calculate);
    connect(controls_.Command[2], &QPushButton::clicked, this, &Form1::refresh);
    connect(controls_.Command[3], &QPushButton::clicked, this, &Form1::resetRequested);
    for (const MagnificationButton& button : magnificationButtons)
        connect(controls_.Command[static_cast<std::size_t>(button.button)], &QPushButton::clicked, this,
                [this, magnification = button.magnification] { magnify(magnification); });
    connect(controls_.Check1, &QCheckBox::clicked, this, &Form1::toggleGuide);
    connect(controls_.Picture2, &WingView::pressed, this, &Form1::pressView);
    // A Ctrl+press on a mark soon after a click there still takes hold of it.
    connect(controls_.Picture2, &WingView::doubleClicked, this, [this](QPointF position, Qt::KeyboardModifiers modifiers) {
        if (modifiers.testFlag(Qt::ControlModifier)) dragged_ = capture_.movableMarkNear(viewPoint(position), grabRadius);
    });
    connect(controls_.Picture2, &WingView::dragged, this, &Form1::dragView);
    connect(controls_.Picture2, &WingView::released, this, &Form1::releaseView);
    connect(controls_.Picture2, &WingView::pointerMoved, this, &Form1::pointAt);
    connect(controls_.Picture2, &WingView::pointerLeft, loupe_, &QWidget::hide);
    // A typed coordinate is the landmark's until its press comes; the sheet shows it as typed.
    for (int n = 1; n <= 2 * landmarkCount; ++n)
        connect(controls_.Text[static_cast<std::size_t>(n)], &QLineEdit::textChanged, this, [this, n](const QString& typed) {
            capture_.type(n, typed.toStdString());
            shown_.sheet.texts[static_cast<std::size_t>(n - 1)] = typed.toStdString();
        });
    connect(&session_.collection, &LabCollection::changed, this, &Form1::showCapture);
    connect(controls_.oimage, &QAction::triggered, this, &Form1::openImage);
    connect(controls_.saves, &QAction::triggered, this, &Form1::save);
    connect(controls_.about, &QAction::triggered, this, &Form1::showAbout);
}

void Form1::load() {
    for (const Field field : {Field::x11, Field::y11, Field::x22, Field::y22, Field::x33, Field::y33, Field::Txt1,
                              Field::Txt2, Field::Txt3, Field::cs})
        workingFields_[field].clear();
    showWorkingFields();
    viewScale_ = qtext(formatGeneral(0.5, environment_.decimal));
    mmPerPixel_ = qtext(formatGeneral(0.021052632, environment_.decimal));
}

void Form1::openImage() {
    const QString start = openedImagePath_.isEmpty() ? session_.lastShownPicture : openedImagePath_;
    const QString path = dialogs_.openImage(this, openFilter, start);
    if (path.isEmpty()) return;
    // The picture shown, chosen again, is shown again over the same landmarks.
    const bool another = !samePicture(path, openedImagePath_);
    if (another && !mayLeaveWing(QStringLiteral("başka bir resme"))) return;
    LoadedPicture loaded = readPicture(path);
    if (!loaded.ok()) {
        dialogs_.warn(this, notOpened(path, loaded.error));
        return;
    }
    showPicture(path, std::move(loaded.image), another);
}

bool Form1::mayLeaveWing(const QString& whereTo) {
    return !capture_.placedSinceResults() ||
           dialogs_.ask(this,
                        QStringLiteral("Son hesaplamadan sonra konan noktalar hesaplanmadı ve kaydedilmedi. "
                                       "Yine de %1 geçilsin mi?").arg(whereTo),
                        QStringLiteral("Evet"), QStringLiteral("Hayır"));
}

LoadedPicture Form1::readPicture(const QString& path) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    LoadedPicture loaded = loadPicture(path);
    QGuiApplication::restoreOverrideCursor();
    return loaded;
}

void Form1::showPicture(const QString& path, QImage picture, bool newWing) {
    // Another picture is another wing: its landmarks never meet the last one's.
    if (newWing) refresh();
    source_ = std::move(picture);
    prepared_ = {};
    openedImagePath_ = path;
    session_.lastShownPicture = path;
    setWindowTitle(path);
    boyut();
}

QString notOpened(const QString& path, const QString& error) {
    return QStringLiteral("\"%1\" açılamadı: %2.").arg(path, error);
}

void Form1::boyut() {
    if (source_.isNull()) return; // nothing to show yet: the view keeps its size
    const double scale = parseLocale(viewScale_.toStdString(), environment_.decimal);
    // Outer sizes scale with their borders, as the picture boxes' sizes in twips do.
    const QSize outer(static_cast<int>(roundHalfEven(scale * (source_.width() + 2 * border), 0)),
                      static_cast<int>(roundHalfEven(scale * (source_.height() + 2 * border), 0)));
    controls_.Picture2->paintPicture(source_, outer.expandedTo(QSize(2 * border + 1, 2 * border + 1)));
    controls_.viewArea->resize(controls_.Picture2->size().boundedTo(viewRoom()));
    capture_.coverMarks();
    showCapture();
}

void Form1::magnify(Magnification magnification) {
    const MagnificationButton& chosen = buttonOf(magnification);
    for (int other : chosen.disables) controls_.Command[static_cast<std::size_t>(other)]->setEnabled(false);
    viewScale_ = qtext(formatGeneral(chosen.viewScale, environment_.decimal));
    mmPerPixel_ = qtext(formatGeneral(chosen.mmPerPixel, environment_.decimal));
    boyut();
}

void Form1::refresh() {
    controls_.Command[4]->setEnabled(true);
    controls_.Command[5]->setEnabled(true);
    capture_.refresh();
    for (std::size_t i = 0; i < workingFieldCount; ++i)
        if (static_cast<Field>(i) != Field::renk) workingFields_.texts[i].clear();
    showWorkingFields();
    showCapture();
    controls_.List1->hide();
}

void Form1::toggleGuide() {
    if (controls_.Check1->checkState() == Qt::Checked) controls_.Image7->show();
    if (controls_.Check1->checkState() == Qt::Unchecked) controls_.Image7->hide();
}

double Form1::baseHeight() const {
    return baseHeightOf(double(controls_.Picture2->height()) * twipsPerPixel);
}

WingCapture::ViewGeometry Form1::viewGeometry() const {
    const QSize area = controls_.Picture2->drawingSize();
    return {baseHeight(), double(area.width()), double(area.height())};
}

void Form1::pressView(QPointF position, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::ControlModifier)) {
        dragged_ = capture_.movableMarkNear(viewPoint(position), grabRadius);
        if (dragged_) return;
    }
    capture_.press(viewPoint(position), viewGeometry());
    showCapture();
}

void Form1::dragView(QPointF position) {
    if (!dragged_) return;
    capture_.dragMark(*dragged_, viewPoint(position), viewGeometry());
    showCapture();
}

void Form1::releaseView(QPointF position) {
    if (!dragged_) return;
    capture_.finishMove(*dragged_, viewPoint(position), viewGeometry());
    dragged_.reset();
    showCapture();
}

void Form1::takeBack() {
    if (capture_.takeBack()) showCapture();
}

void Form1::putBack() {
    if (capture_.putBack()) showCapture();
}

void Form1::nudge(int dx, int dy) {
    if (capture_.nudge(dx, dy, viewGeometry())) showCapture();
}

void Form1::showWorkingFields() {
    for (std::size_t i = 0; i < workingFieldCount; ++i)
        controls_.working.at(QString::fromUtf8(workingFieldNames[i]))->setText(qtext(workingFields_.texts[i]));
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
    const CalculationValues values =
        Calculate(capture_.sheet(), workingFields_, mmPerPixel_.toStdString(), environment_.decimal, *sourcePixels());
    showWorkingFields();
    // A wing out of line with the collection is saved only when the user says so; "Düzelt"
    // keeps nothing of this calculation and leaves the landmarks to be corrected.
    if (!shapeAccepted()) return;
    capture_.appendResults(resultLines(values));
    session_.record.store(values);
    const auto view = viewOfPicture();
    const char decimal = environment_.decimal;
    session_.record.measured =
        MeasuredWing{fileTitle().toStdString(), openedImagePath_.toStdString(),
                     sourceLandmarks(capture_.sheet(), view),
                     tpsScale(parseLocale(mmPerPixel_.toStdString(), decimal),
                              parseLocale(viewScale_.toStdString(), decimal), view.has_value())};
    showCapture();
    save();
}

void Form1::showAbout() {
    dialogs_.about(this, QStringLiteral("Sphecidae ve Apidae kanat morfometrisi için hazırlanmış bir yazılımdır."));
}

QString Form1::fileTitle() const { return openedImagePath_.isEmpty() ? QString() : QFileInfo(openedImagePath_).fileName(); }

} // namespace kanat
