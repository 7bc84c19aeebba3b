#include "app/form1.h"

#include "app/key_table.h"
#include "landmarks/landmark_capture.h"
#include "measure/calculate.h"
#include "measure/number_text.h"
#include "picture/picture_pixels.h"
#include "picture/stated_resolution.h"
#include "results/result_list.h"
#include "results/tps_text.h"
#include "view/wing_view.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>

namespace kanat {
namespace {

const QString openFilter =
    QStringLiteral("bmp files (*.BMP)|*.bmp|jpg files(*.jpg)|*.jpg|JPE files(*.jpe)|*.jpe|GIF files(*.gif)|*.gif|"
                   "wmf files(*.wmf)|*.wmf|All files(*.*)|*.*|");

// The hidden controls that mirror the working fields, in the order of `Field`.
constexpr const char* workingFieldNames[workingFieldCount] = {"x11", "y11",  "x22",  "y22",  "x33", "y33",  "x44",
                                                              "y44", "Txt1", "Txt2", "Txt3", "cs",  "oran", "renk"};

// The picture boxes have a border of this many pixels on each side.
constexpr int border = WingView::borderWidth;

// How near a mark's centre a Ctrl+press takes hold of it, in view pixels.
constexpr double grabRadius = 6;

// A view position as the capture keeps it.
ViewPoint viewPoint(QPointF position) { return {position.x(), position.y()}; }

// Landmark numbers as a reader takes them in: runs of three or more as "3–18".
QString numberList(const std::vector<int>& numbers) {
    QStringList parts;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t end = i;
        while (end + 1 < numbers.size() && numbers[end + 1] == numbers[end] + 1) ++end;
        if (end >= i + 2) {
            parts << QStringLiteral("%1–%2").arg(numbers[i]).arg(numbers[end]);
        } else {
            for (std::size_t k = i; k <= end; ++k) parts << QString::number(numbers[k]);
        }
        i = end + 1;
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

Form1::Form1(Session& session, Dialogs& dialogs, Environment environment, QWidget* parent)
    : QMainWindow(parent), session_(session), dialogs_(dialogs), environment_(std::move(environment)),
      controls_(buildWindowControls(*this)), capture_(environment_.decimal),
      browser_(dialogs_, this, session_.lastShownPicture), display_(controls_, environment_.decimal),
      assistant_(session_, dialogs_, this, controls_.wingView, [this] { showCapture(); }),
      saver_(session_, dialogs_, environment_, this) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Sphecidae ve Apidae Kanat Morfometrisi Yazılımı"));
    setAttribute(Qt::WA_DeleteOnClose);
    connectCommands();
    installKeys(*this, keyTable());
    load();
    showCapture();
}

void Form1::connectCommands() {
    connect(controls_.calculateButton, &QPushButton::clicked, this, &Form1::calculate);
    connect(controls_.refreshButton, &QPushButton::clicked, this, &Form1::refresh);
    connect(controls_.resetButton, &QPushButton::clicked, this, &Form1::resetRequested);
    for (const MagnificationButton& button : magnificationButtons)
        connect(controls_.magnificationButtons[indexOf(button.magnification)], &QPushButton::clicked, this,
                [this, magnification = button.magnification] { magnify(magnification); });
    connect(controls_.guideCheckBox, &QCheckBox::clicked, this, &Form1::toggleGuide);
    WingView* view = controls_.wingView;
    connect(view, &WingView::pressed, this, &Form1::pressView);
    // A Ctrl+press on a mark soon after a click there still takes hold of it.
    connect(view, &WingView::doubleClicked, this, [this](QPointF position, Qt::KeyboardModifiers modifiers) {
        if (modifiers.testFlag(Qt::ControlModifier)) holdMarkNear(position);
    });
    connect(view, &WingView::dragged, this, &Form1::dragView);
    connect(view, &WingView::released, this, &Form1::releaseView);
    connect(view, &WingView::pointerMoved, this,
            [this](QPointF position) { display_.pointAt(position, browser_.picture(), viewOfPicture(), capture_); });
    connect(view, &WingView::pointerLeft, this, [this] { display_.pointerLeft(); });
    // A typed coordinate is the landmark's until its press comes; the sheet shows it as typed.
    for (int field = 1; field <= 2 * landmarkCount; ++field)
        connect(controls_.coordinateFields[static_cast<std::size_t>(field - 1)], &QLineEdit::textChanged, this,
                [this, field](const QString& typed) {
                    capture_.type(field, typed.toStdString());
                    display_.typed(field, typed.toStdString());
                });
    connect(&session_.collection, &LabCollection::changed, this, &Form1::showCapture);
    connect(controls_.openAction, &QAction::triggered, this, &Form1::openImage);
    connect(controls_.saveAction, &QAction::triggered, this, &Form1::save);
    connect(controls_.aboutAction, &QAction::triggered, this, &Form1::showAbout);
}

// One row a key or keys, as F1 lists them.
// clang-format off
std::vector<KeyRow> Form1::keyTable() {
    return {
        {"Ctrl+Z ya da Geri Silme (Backspace)", "son noktayı ya da son taşımayı geri al",
         {{QKeySequence::Undo, [this] { takeBack(); }}, {Qt::Key_Backspace, [this] { takeBack(); }}}, true},
        {"Ctrl+Shift+Z ya da Ctrl+Y", "geri alınanı yeniden yap",
         {{Qt::CTRL | Qt::SHIFT | Qt::Key_Z, [this] { putBack(); }}, {Qt::CTRL | Qt::Key_Y, [this] { putBack(); }}}},
        {"Ctrl basılıyken bir noktanın dairesine basıp sürükleyin", "noktayı taşı", {}},
        {"Ok tuşları", "son konan ya da taşınan noktayı bir piksel kaydır",
         {{Qt::Key_Left, [this] { nudge(-1, 0); }},
          {Qt::Key_Right, [this] { nudge(1, 0); }},
          {Qt::Key_Up, [this] { nudge(0, -1); }},
          {Qt::Key_Down, [this] { nudge(0, 1); }}},
         true},
        {"Page Down / Page Up", "klasördeki sonraki / önceki resim",
         {{Qt::Key_PageDown, [this] { openNeighbour(1); }}, {Qt::Key_PageUp, [this] { openNeighbour(-1); }}}},
        {"N", "nokta numaralarını göster ya da gizle", {{Qt::Key_N, [this] { display_.toggleNumbers(); }}}},
        {"L", "büyüteci göster ya da gizle", {{Qt::Key_L, [this] { display_.toggleLoupe(); }}}},
        {"P", "koleksiyondan nokta önerilerini aç ya da kapat (iki nokta konunca öbürleri önerilir)",
         {{Qt::Key_P, [this] { toggleProposals(); }}}},
        {"M ya da Delete", "sıradaki nokta kanatta yok: eksik (yok) olarak işaretle; ona dayanan ölçümler boş kalır",
         {{Qt::Key_M, [this] { markMissing(); }}, {Qt::Key_Delete, [this] { markMissing(); }}}, true},
        {"Enter", "önerilen noktaların hepsini kabul et",
         {{Qt::Key_Return, [this] { acceptProposals(); }}, {Qt::Key_Enter, [this] { acceptProposals(); }}}, true},
        {"K", "ölçek kurulumları: kullanılan kurulumu seç ya da resimdeki bir ölçekten yenisini yap",
         {{Qt::Key_K, [this] { showScaleSetups(); }}}},
        {"F1", "bu liste", {{Qt::Key_F1, [this] { showKeys(); }}}},
    };
}
// clang-format on

void Form1::load() {
    for (const Field field : {Field::x11, Field::y11, Field::x22, Field::y22, Field::x33, Field::y33, Field::Txt1,
                              Field::Txt2, Field::Txt3, Field::cs})
        workingFields_[field].clear();
    showWorkingFields();
    magnification_ = Magnification::TimesHalf;
    scale_ = ScaleTexts::of(buttonOf(magnification_), session_.setups.active().pixelsPerMm, environment_.decimal);
    showScale();
}

bool Form1::mayCalculateAsSheetStands() {
    // A blank field, or one typed without a number, is measured as 0, so such a wing would reach
    // the records with measurements to the view's corner; it goes ahead only when the user says so.
    std::vector<int> unplaced;
    for (int n = 1; n <= landmarkCount; ++n)
        if (capture_.sheet().unplaced(n)) unplaced.push_back(n);
    if (unplaced.empty()) return true;
    return dialogs_.ask(this,
                        QStringLiteral("%1 numaralı %2 konmadı. Boş ya da sayı olmayan bir alan 0 olarak okunur; "
                                       "onu kullanan ölçümler yanlış çıkar ve öyle kaydedilir.\n"
                                       "Kanatta olmayan bir nokta için M'ye basın; ölçümleri boş kalır.\n"
                                       "Yine de hesaplansın mı?")
                            .arg(numberList(unplaced))
                            .arg(unplaced.size() == 1 ? QStringLiteral("nokta") : QStringLiteral("noktalar")),
                        QStringLiteral("Hesapla"), QStringLiteral("Vazgeç"));
}

bool Form1::mayLeaveWing(const QString& whereTo) {
    return !capture_.placedSinceResults() ||
           dialogs_.ask(this,
                        QStringLiteral("Son hesaplamadan sonra konan noktalar hesaplanmadı ve kaydedilmedi. "
                                       "Yine de %1 geçilsin mi?")
                            .arg(whereTo),
                        QStringLiteral("Evet"), QStringLiteral("Hayır"));
}

void Form1::openImage() {
    auto mayLeave = [this](const QString& whereTo) { return mayLeaveWing(whereTo); };
    if (auto opened = browser_.choose(openFilter, mayLeave)) showOpened(std::move(*opened));
}

void Form1::openNeighbour(int step) {
    auto mayLeave = [this](const QString& whereTo) { return mayLeaveWing(whereTo); };
    if (auto opened = browser_.neighbour(step, mayLeave)) showOpened(std::move(*opened));
}

void Form1::showOpened(PictureBrowser::Opened opened) {
    // Another picture is another wing: its landmarks never meet the last one's.
    if (opened.another) refresh();
    setWindowTitle(QDir::toNativeSeparators(opened.path));
    browser_.show(std::move(opened));
    assistant_.pictureChanged();
    showScale();
    showPictureAtScale();
}

void Form1::showPictureAtScale() {
    const QImage& picture = browser_.picture();
    if (picture.isNull()) return; // nothing to show yet: the view keeps its size
    const double scale = scale_.viewScaleValue(environment_.decimal);
    // Outer sizes scale with their borders, as the picture boxes' sizes in twips do.
    const QSize outer(static_cast<int>(roundHalfEven(scale * (picture.width() + 2 * border), 0)),
                      static_cast<int>(roundHalfEven(scale * (picture.height() + 2 * border), 0)));
    controls_.wingView->paintPicture(picture, outer.expandedTo(QSize(2 * border + 1, 2 * border + 1)), scale);
    controls_.viewArea->resize(controls_.wingView->size().boundedTo(viewRoom()));
    capture_.coverMarks();
    showCapture();
}

void Form1::magnify(Magnification magnification) {
    const MagnificationButton& chosen = buttonOf(magnification);
    for (const Magnification other : chosen.disables) controls_.magnificationButtons[indexOf(other)]->setEnabled(false);
    magnification_ = magnification;
    scale_ = ScaleTexts::of(chosen, session_.setups.active().pixelsPerMm, environment_.decimal);
    showPictureAtScale();
}

void Form1::refresh() {
    controls_.magnificationButtons[indexOf(Magnification::TimesHalf)]->setEnabled(true);
    controls_.magnificationButtons[indexOf(Magnification::TimesTwo)]->setEnabled(true);
    capture_.refresh();
    for (std::size_t i = 0; i < workingFieldCount; ++i)
        if (static_cast<Field>(i) != Field::renk) workingFields_.texts[i].clear();
    showWorkingFields();
    showCapture();
    controls_.resultList->hide();
}

void Form1::toggleGuide() {
    if (controls_.guideCheckBox->checkState() == Qt::Checked) controls_.guidePicture->show();
    if (controls_.guideCheckBox->checkState() == Qt::Unchecked) controls_.guidePicture->hide();
}

double Form1::baseHeight() const { return baseHeightOf(double(controls_.wingView->height()) * twipsPerPixel); }

WingCapture::ViewGeometry Form1::viewGeometry() const {
    const QSize area = controls_.wingView->drawingSize();
    return {baseHeight(), double(area.width()), double(area.height())};
}

std::optional<ViewOfPicture> Form1::viewOfPicture() const {
    const QImage& picture = browser_.picture();
    if (picture.isNull()) return std::nullopt;
    // The picture is painted at exactly its scale, so one view pixel is 1/scale source pixels
    // both ways, as the millimetres per view pixel assume.
    const double ratio = 1 / controls_.wingView->pictureScale();
    return ViewOfPicture{baseHeight(), ratio, double(picture.height())};
}

void Form1::pressView(QPointF position, Qt::KeyboardModifiers modifiers) {
    // While the scale is being set, presses mark the ends of the known length, never landmarks.
    if (scaleDialog_ && scaleDialog_->isVisible()) {
        const auto view = viewOfPicture();
        if (!view) return;
        const TpsPoint end = view->toPicture(viewPoint(position));
        scaleDialog_->pressEnd({end.x, end.y});
        std::vector<QPointF> ends;
        for (const QPointF picture : scaleDialog_->ends()) {
            const ViewPoint at = view->toView({picture.x(), picture.y()});
            ends.emplace_back(at.x, at.y);
        }
        controls_.wingView->setRuler(std::move(ends));
        return;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        holdMarkNear(position);
        if (dragged_) return;
    }
    capture_.press(viewPoint(position), viewGeometry());
    showCapture();
}

void Form1::holdMarkNear(QPointF position) { dragged_ = capture_.movableMarkNear(viewPoint(position), grabRadius); }

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

void Form1::acceptProposals() {
    // Enter pressed before the proposals have come waits for them.
    assistant_.finish();
    const auto places = assistant_.places(viewOfPicture(), controls_.wingView->drawingSize());
    if (std::none_of(places.begin(), places.end(), [](const auto& place) { return place.has_value(); })) return;
    if (capture_.placeAll(places, viewGeometry())) showCapture();
}

void Form1::markMissing() {
    capture_.markMissing();
    showCapture();
}

void Form1::toggleProposals() {
    assistant_.toggle();
    showCapture();
}

void Form1::showKeys() { dialogs_.inform(this, keysHelp(keyTable())); }

void Form1::showScaleSetups() {
    if (!scaleDialog_) {
        scaleDialog_ = new ScaleDialog(
            session_.setups, dialogs_, [this] { useSetups(); }, this);
        connect(scaleDialog_, &QDialog::finished, this, [this] { controls_.wingView->setRuler({}); });
    }
    scaleDialog_->showSetups();
    scaleDialog_->show();
    scaleDialog_->raise();
}

void Form1::useSetups() {
    if (!environment_.setupsFile.isEmpty())
        if (const std::string error = session_.setups.write(environment_.setupsFile.toStdString()); !error.empty())
            dialogs_.warn(this, QString::fromStdString(error));
    scale_ = ScaleTexts::of(buttonOf(magnification_), session_.setups.active().pixelsPerMm, environment_.decimal);
    showScale();
}

void Form1::showScale() {
    const ScaleSetup& setup = session_.setups.active();
    const QLocale turkish(QLocale::Turkish);
    QString status = session_.setups.activeIsDefault()
                         ? QStringLiteral("Ölçek: %1").arg(QString::fromStdString(setup.name))
                         : QStringLiteral("Ölçek: %1 piksel/mm — %2")
                               .arg(turkish.toString(setup.pixelsPerMm, 'f', 1), QString::fromStdString(setup.name));
    // A picture that states another resolution than the set-up's is said, never followed by itself.
    const std::optional<double>& stated = browser_.statedPixelsPerMm();
    constexpr double sameWithin = 0.02;
    if (stated && !isPlaceholderResolution(*stated) &&
        std::abs(*stated - setup.pixelsPerMm) > sameWithin * setup.pixelsPerMm)
        status = QStringLiteral("Resim %1 diyor; etkin ölçek %2 piksel/mm. ")
                     .arg(resolutionText(*stated, ','), turkish.toString(setup.pixelsPerMm, 'f', 1)) +
                 status;
    controls_.scaleStatus->setText(status);
}

void Form1::showCapture() {
    const auto view = viewOfPicture();
    assistant_.update(capture_, browser_.picture(), view, dragged_.has_value());
    display_.show(capture_, assistant_.marks(view, controls_.wingView->drawingSize()), assistant_.status());
}

void Form1::showWorkingFields() {
    for (std::size_t i = 0; i < workingFieldCount; ++i)
        controls_.workingFields.at(QString::fromUtf8(workingFieldNames[i]))
            ->setText(QString::fromStdString(workingFields_.texts[i]));
}

std::unique_ptr<PixelSource> Form1::sourcePixels() const {
    // Landmarks are view positions with y counted up from h; the samples come from the source
    // pixel shown there.
    const auto view = viewOfPicture();
    if (!view) return std::make_unique<NoPicture>();
    return std::make_unique<PicturePixels>(browser_.picture(), view->baseHeight, view->ratio);
}

double Form1::landmarkScale() const {
    const char decimal = environment_.decimal;
    return tpsScale(scale_.mmPerPixelValue(decimal), scale_.viewScaleValue(decimal), !browser_.picture().isNull());
}

void Form1::calculate() {
    if (!mayCalculateAsSheetStands()) return;
    controls_.resultList->show();
    const CalculationValues values =
        Calculate(capture_.sheet(), workingFields_, scale_.mmPerPixel, environment_.decimal, *sourcePixels());
    showWorkingFields();
    const WingLandmarks landmarks = sourceLandmarks(capture_.sheet(), viewOfPicture());
    // A wing out of line with the collection is saved only when the user says so; "Düzelt"
    // keeps nothing of this calculation and leaves the landmarks to be corrected.
    if (!assistant_.shapeAccepted(landmarks)) return;
    capture_.appendResults(resultLines(values));
    session_.record.store(values);
    session_.record.measured =
        MeasuredWing{browser_.fileTitle().toStdString(), browser_.path().toStdString(), landmarks, landmarkScale()};
    showCapture();
    save();
}

void Form1::save() {
    const auto saved = saver_.save(capture_.listLines(), browser_.fileTitle(), browser_.folder(), landmarkScale());
    if (saved && session_.record.measured)
        assistant_.learn(*saved, *session_.record.measured, browser_.picture(), browser_.path());
}

void Form1::showAbout() {
    dialogs_.about(this, QStringLiteral("Sphecidae ve Apidae kanat morfometrisi için hazırlanmış bir yazılımdır."));
}

} // namespace kanat
