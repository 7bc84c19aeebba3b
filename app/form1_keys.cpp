// The keyboard's commands: take back and put back, nudging, the next picture, the marks'
// numbers, the loupe and the list of keys. None of them changes the layout or the menu.
#include "app/form1.h"

#include "app/picture_folder.h"
#include "view/loupe.h"
#include "view/wing_view.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>

namespace kanat {
namespace {

const QString keysHelp = QStringLiteral(
    "Kısayol tuşları\n\n"
    "Ctrl+Z ya da Geri Silme (Backspace): son noktayı ya da son taşımayı geri al\n"
    "Ctrl+Shift+Z ya da Ctrl+Y: geri alınanı yeniden yap\n"
    "Ctrl basılıyken bir noktanın dairesine basıp sürükleyin: noktayı taşı\n"
    "Ok tuşları: son konan ya da taşınan noktayı bir piksel kaydır\n"
    "Page Down / Page Up: klasördeki sonraki / önceki resim\n"
    "N: nokta numaralarını göster ya da gizle\n"
    "L: büyüteci göster ya da gizle\n"
    "P: koleksiyondan nokta önerilerini aç ya da kapat (iki nokta konunca öbürleri önerilir)\n"
    "Enter: önerilen noktaların hepsini kabul et\n"
    "F1: bu liste\n\n"
    "Geri alma ve taşıma \"Hesapla\", \"Yenile\", \"Resetle\", büyütme değişikliği ve yeni resim "
    "açılmasından öncesine uzanmaz. Bir koordinat kutusuna yazarken tuşlar kutunundur.");

// Backspace and the arrows belong to a text field that has the focus.
bool typing() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr; }

} // namespace

void Form1::addKeys() {
    auto key = [this](const QList<QKeySequence>& sequences, auto command) {
        auto* action = new QAction(this);
        action->setShortcuts(sequences);
        connect(action, &QAction::triggered, this, command);
        addAction(action);
    };
    key({QKeySequence::Undo}, &Form1::takeBack);
    key({QKeySequence(Qt::Key_Backspace)}, [this] {
        if (!typing()) takeBack();
    });
    key({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, &Form1::putBack);
    const std::pair<Qt::Key, QPoint> arrows[] = {
        {Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
    for (const auto& arrow : arrows)
        key({QKeySequence(arrow.first)}, [this, step = arrow.second] {
            if (!typing()) nudge(step.x(), step.y());
        });
    key({QKeySequence(Qt::Key_PageDown)}, [this] { openNeighbour(1); });
    key({QKeySequence(Qt::Key_PageUp)}, [this] { openNeighbour(-1); });
    key({QKeySequence(Qt::Key_N)}, &Form1::toggleNumbers);
    key({QKeySequence(Qt::Key_L)}, &Form1::toggleLoupe);
    key({QKeySequence(Qt::Key_F1)}, &Form1::showKeys);
    key({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, [this] {
        if (!typing()) acceptProposals();
    });
    key({QKeySequence(Qt::Key_P)}, &Form1::toggleProposals);
}

void Form1::openNeighbour(int step) {
    if (openedImagePath_.isEmpty()) return;
    std::optional<QString> next = neighbourPicture(openedImagePath_, step);
    if (!next || !mayLeaveWing(step > 0 ? QStringLiteral("sonraki resme") : QStringLiteral("önceki resme"))) return;
    // Files of the folder that do not open are named and passed over, so that one key press
    // always reaches the next picture there is.
    QStringList skipped;
    for (; next; next = neighbourPicture(*next, step)) {
        LoadedPicture loaded = readPicture(*next);
        if (loaded.ok()) {
            showPicture(*next, std::move(loaded.image), true);
            break;
        }
        skipped << notOpened(*next, loaded.error);
    }
    constexpr int namedAtMost = 10;
    if (skipped.size() > namedAtMost)
        skipped = skipped.mid(0, namedAtMost) << QStringLiteral("… ve %1 dosya daha.").arg(skipped.size() - namedAtMost);
    if (!skipped.isEmpty()) dialogs_.warn(this, skipped.join(QLatin1Char('\n')));
}

void Form1::toggleNumbers() {
    numbersShown_ = !numbersShown_;
    controls_.Picture2->setNumbersShown(numbersShown_);
}

void Form1::toggleLoupe() {
    loupeShown_ = !loupeShown_;
    controls_.Picture2->setMouseTracking(loupeShown_);
    if (!loupeShown_) loupe_->hide();
}

void Form1::showKeys() { dialogs_.inform(this, keysHelp); }

} // namespace kanat
