#include "app/platform_seams.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QStandardPaths>

namespace kanat {
namespace {

// Qt would add a display name to every window title, so the boxes get theirs here.
const QString messageTitle = QStringLiteral("Kanat Morfometrisi");

QString runFileDialog(QWidget* parent, const QString& filter, QFileDialog::AcceptMode mode,
                      const QString& proposedName) {
    const auto dialog = makeFileDialog(parent, filter, mode, proposedName);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst();
}

} // namespace

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& filter,
                                            QFileDialog::AcceptMode mode, const QString& proposedName) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    // Our own dialog, so the filters look and match the same on every desktop.
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilters(dialogNameFilters(filter));
    if (!proposedName.isEmpty()) dialog->selectFile(proposedName);
    return dialog;
}

QStringList dialogNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The pattern goes in a last pair of parentheses, which the dialog hides; its file
        // list matches names without regard to letter case.
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    }
    return filters;
}


QString QtDialogs::openImage(QWidget* parent, const QString& filter) {
    return runFileDialog(parent, filter, QFileDialog::AcceptOpen, {});
}

QString QtDialogs::saveResults(QWidget* parent, const QString& filter, const QString& proposedName) {
    return runFileDialog(parent, filter, QFileDialog::AcceptSave, proposedName);
}

void QtDialogs::inform(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, messageTitle, text);
}

void QtDialogs::warn(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, messageTitle, text);
}

Environment Environment::fromSystem() {
    const QString point = QLocale().decimalPoint();
    return {QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
            point == QStringLiteral(",") ? ',' : '.'};
}

} // namespace kanat
