#include "app/key_table.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

namespace kanat {
namespace {

// A coordinate field being typed in keeps Backspace, the arrows and Enter.
bool typing() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr; }

} // namespace

void installKeys(QWidget& window, const std::vector<KeyRow>& table) {
    for (const KeyRow& row : table)
        for (const auto& [sequence, command] : row.commands) {
            auto* action = new QAction(&window);
            action->setShortcut(sequence);
            QObject::connect(action, &QAction::triggered, &window,
                             [command = command, leaveToFields = row.fieldsKeepThem] {
                                 if (!leaveToFields || !typing()) command();
                             });
            window.addAction(action);
        }
}

QString keysHelp(const std::vector<KeyRow>& table) {
    QString help = QStringLiteral("Kısayol tuşları\n\n");
    for (const KeyRow& row : table) help += row.keys + QStringLiteral(": ") + row.does + QLatin1Char('\n');
    return help +
           QStringLiteral("\nGeri alma ve taşıma \"Hesapla\", \"Yenile\", \"Resetle\", büyütme değişikliği ve yeni "
                          "resim açılmasından öncesine uzanmaz. Bir koordinat kutusuna yazarken Geri Silme, ok "
                          "tuşları ve Enter kutunundur.");
}

} // namespace kanat
