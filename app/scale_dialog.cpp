#include "app/scale_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace kanat {
namespace {

// Shorter than this, a pixel pressed one off is already half a percent.
constexpr double shortestLength = 20;

QString turkishNumber(double value, int decimals) { return QLocale(QLocale::Turkish).toString(value, 'f', decimals); }

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QString::fromUtf8(name));
    made->setAutoDefault(false);
    return made;
}

} // namespace

ScaleDialog::ScaleDialog(ScaleSetups& setups, Dialogs& dialogs, std::function<void()> changed, QWidget* parent)
    : QDialog(parent), setups_(setups), dialogs_(dialogs), changed_(std::move(changed)) {
    setObjectName(QStringLiteral("scaleDialog"));
    setWindowTitle(QStringLiteral("Ölçek kurulumları"));
    auto* layout = new QVBoxLayout(this);

    auto* inUse = new QHBoxLayout;
    setupList_ = new QComboBox(this);
    setupList_->setObjectName(QStringLiteral("setupList"));
    inUse->addWidget(new QLabel(QStringLiteral("Kurulum:"), this));
    inUse->addWidget(setupList_, 1);
    QPushButton* activate = button(QStringLiteral("Kullan"), "activateSetup", this);
    QPushButton* remove = button(QStringLiteral("Sil"), "removeSetup", this);
    inUse->addWidget(activate);
    inUse->addWidget(remove);
    layout->addLayout(inUse);

    auto* made = new QGroupBox(QStringLiteral("Yeni kurulum"), this);
    auto* form = new QFormLayout(made);
    form->addRow(new QLabel(QStringLiteral("Resimde bilinen bir uzunluğun (ölçek çubuğu, mikrometre çizgileri) iki "
                                           "ucuna tıklayın; L büyüteci açar. Ya da çözünürlüğü yazın."),
                            made));
    measured_ = new QLabel(made);
    measured_->setObjectName(QStringLiteral("measuredLength"));
    form->addRow(QStringLiteral("Ölçülen:"), measured_);
    length_ = new QLineEdit(made);
    length_->setObjectName(QStringLiteral("lengthField"));
    form->addRow(QStringLiteral("Uzunluk (mm):"), length_);
    auto* typed = new QHBoxLayout;
    resolution_ = new QLineEdit(made);
    resolution_->setObjectName(QStringLiteral("resolutionField"));
    unit_ = new QComboBox(made);
    unit_->setObjectName(QStringLiteral("resolutionUnit"));
    unit_->addItems({QStringLiteral("piksel/mm"), QStringLiteral("dpi")});
    typed->addWidget(resolution_, 1);
    typed->addWidget(unit_);
    form->addRow(QStringLiteral("ya da çözünürlük:"), typed);
    name_ = new QLineEdit(made);
    name_->setObjectName(QStringLiteral("setupName"));
    name_->setPlaceholderText(QStringLiteral("ör. Stereo mikroskop 2x"));
    form->addRow(QStringLiteral("Ad:"), name_);
    QPushButton* save = button(QStringLiteral("Kaydet ve kullan"), "saveSetup", made);
    form->addRow(save);
    layout->addWidget(made);

    QPushButton* close = button(QStringLiteral("Kapat"), "closeScaleDialog", this);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(activate, &QPushButton::clicked, this, &ScaleDialog::activateChosen);
    connect(remove, &QPushButton::clicked, this, &ScaleDialog::removeChosen);
    connect(save, &QPushButton::clicked, this, &ScaleDialog::saveNew);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    showSetups();
    measured_->setText(QStringLiteral("— (iki uç bekleniyor)"));
}

void ScaleDialog::showSetups() {
    setupList_->clear();
    setupList_->addItem(QString::fromStdString(defaultSetupName));
    for (const ScaleSetup& setup : setups_.saved())
        setupList_->addItem(QStringLiteral("%1 (%2 piksel/mm)")
                                .arg(QString::fromStdString(setup.name), turkishNumber(setup.pixelsPerMm, 1)),
                            QString::fromStdString(setup.name));
    setupList_->setItemData(0, QString::fromStdString(defaultSetupName));
    setupList_->setCurrentIndex(setupList_->findData(QString::fromStdString(setups_.active().name)));
}

void ScaleDialog::pressEnd(QPointF source) {
    if (ends_.size() == 2) ends_.clear();
    ends_.push_back(source);
    if (ends_.size() == 1) {
        measured_->setText(QStringLiteral("bir uç konuldu; öbür ucuna tıklayın"));
        return;
    }
    const QPointF span = ends_[1] - ends_[0];
    measured_->setText(
        QStringLiteral("%1 piksel (kaynak resim)").arg(turkishNumber(std::hypot(span.x(), span.y()), 1)));
}

std::optional<double> ScaleDialog::measuredPixelsPerMm() {
    if (ends_.size() != 2) {
        dialogs_.warn(this,
                      QStringLiteral("Önce resimde bilinen uzunluğun iki ucuna tıklayın ya da çözünürlüğü yazın."));
        return std::nullopt;
    }
    const QPointF span = ends_[1] - ends_[0];
    const double pixels = std::hypot(span.x(), span.y());
    if (pixels < shortestLength) {
        dialogs_.warn(this,
                      QStringLiteral("İki uç arasında en az %1 piksel olmalı; şimdi %2 piksel. Daha uzun bir ölçek "
                                     "kullanın ya da uçlara daha uzaktan tıklayın.")
                          .arg(shortestLength)
                          .arg(turkishNumber(pixels, 1)));
        return std::nullopt;
    }
    const auto millimetres = typedPixelsPerMm(length_->text().toStdString(), ResolutionUnit::PixelsPerMm);
    if (!millimetres) {
        dialogs_.warn(this, QStringLiteral("Uzunluk sıfırdan büyük bir sayı olmalı (milimetre; ör. 10 ya da 0,5)."));
        return std::nullopt;
    }
    return pixels / *millimetres;
}

void ScaleDialog::saveNew() {
    const QString name = name_->text().trimmed();
    if (name.isEmpty()) {
        dialogs_.warn(this, QStringLiteral("Kuruluma bir ad verin (ör. Stereo mikroskop 2x)."));
        return;
    }
    if (name.toStdString() == defaultSetupName) {
        dialogs_.warn(this, QStringLiteral("Varsayılan kurulum değiştirilemez; yeni kuruluma başka bir ad verin."));
        return;
    }
    std::optional<double> pixelsPerMm;
    if (!resolution_->text().trimmed().isEmpty()) {
        const auto unit = unit_->currentIndex() == 1 ? ResolutionUnit::DotsPerInch : ResolutionUnit::PixelsPerMm;
        pixelsPerMm = typedPixelsPerMm(resolution_->text().toStdString(), unit);
        if (!pixelsPerMm) {
            dialogs_.warn(this, QStringLiteral("Çözünürlük sıfırdan büyük bir sayı olmalı (ör. 312,4 piksel/mm ya da "
                                               "2400 dpi)."));
            return;
        }
    } else if (!(pixelsPerMm = measuredPixelsPerMm())) {
        return;
    }
    setups_.save({name.toStdString(), *pixelsPerMm});
    showSetups();
    changed_();
}

void ScaleDialog::activateChosen() {
    if (!setups_.activate(setupList_->currentData().toString().toStdString())) return;
    changed_();
}

void ScaleDialog::removeChosen() {
    const std::string chosen = setupList_->currentData().toString().toStdString();
    if (chosen == defaultSetupName) {
        dialogs_.warn(this, QStringLiteral("Varsayılan kurulum silinemez."));
        return;
    }
    if (!setups_.remove(chosen)) return;
    showSetups();
    changed_();
}

} // namespace kanat
