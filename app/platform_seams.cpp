#include "app/platform_seams.h"

#include "app/turkish_file_columns.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolTip>
#include <QTreeView>

namespace kanat {
namespace {

// Qt would add a display name to every window title, so the boxes get theirs here.
const QString messageTitle = QStringLiteral("Kanat Morfometrisi");

QString runFileDialog(QWidget* parent, const QString& filter, QFileDialog::AcceptMode mode, const QString& startFile) {
    const auto dialog = makeFileDialog(parent, filter, mode, startFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst();
}

} // namespace

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& filter, QFileDialog::AcceptMode mode,
                                            const QString& startFile) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    // Our own dialog, so the filters look and match the same on every desktop. Rewriting the
    // result file is the normal flow, so the window asks about overwriting only where it matters.
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                       QFileDialog::DontConfirmOverwrite);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilters(dialogNameFilters(filter));
    dialog->setProxyModel(new TurkishFileColumns(dialog.get()));
    dialog->resize(800, 520); // room for the wing pictures' long names and their dates
    // The detail view's size, kind and date are as wide as their texts; the name takes the rest.
    if (auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (!startFile.isEmpty()) dialog->selectFile(startFile);
    return dialog;
}

QStringList dialogNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The pattern goes in a last pair of parentheses, which the dialog hides; its file
        // list matches names without regard to letter case. "*.*" means every file, also one
        // without an extension.
        const QString pattern = parts[i + 1] == QStringLiteral("*.*") ? QStringLiteral("*") : parts[i + 1];
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters;
}

QString QtDialogs::openImage(QWidget* parent, const QString& filter, const QString& shown) {
    return runFileDialog(parent, filter, QFileDialog::AcceptOpen, shown);
}

QString QtDialogs::saveResults(QWidget* parent, const QString& filter, const QString& proposedName,
                               const QString& folder) {
    // A full path: the dialog opens in that folder with the name filled in, however the picture
    // was opened.
    return runFileDialog(parent, filter, QFileDialog::AcceptSave,
                         folder.isEmpty() ? proposedName : QDir(folder).filePath(proposedName));
}

void QtDialogs::inform(QWidget* parent, const QString& text) { QMessageBox::information(parent, messageTitle, text); }

void QtDialogs::warn(QWidget* parent, const QString& text) { QMessageBox::warning(parent, messageTitle, text); }

bool QtDialogs::ask(QWidget* parent, const QString& question, const QString& yes, const QString& no) {
    QMessageBox box(QMessageBox::Question, messageTitle, question, QMessageBox::NoButton, parent);
    QPushButton* yesButton = box.addButton(yes, QMessageBox::YesRole);
    box.setDefaultButton(box.addButton(no, QMessageBox::NoRole));
    box.exec();
    return box.clickedButton() == yesButton;
}

void QtDialogs::note(QWidget* near, const QString& text) {
    // Shown at the widget's top left for ten seconds, or until the pointer leaves the widget.
    QToolTip::showText(near->mapToGlobal(QPoint(0, 0)), text, near, near->rect(), 10000);
}

void QtDialogs::about(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, messageTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

Environment Environment::fromSystem() {
    const QString point = QLocale().decimalPoint();
    return {QCoreApplication::applicationDirPath(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
            point == QStringLiteral(",") ? ',' : '.', defaultSystemFolders(),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
                QString::fromUtf8(scaleSetupsFile.data(), qsizetype(scaleSetupsFile.size()))};
}

} // namespace kanat
