// The dialogs and message boxes as the user meets them: Turkish, starting where the user left
// off, and asking before a result file of another day is overwritten.
#include "tests/window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <fstream>
#include <functional>

namespace kanat::test {
namespace {

using Dialog = WindowTest;

// Every word a file dialog shows: labels, buttons, the file types and the column headings.
QStringList shownTexts(const QFileDialog& dialog) {
    QStringList texts;
    for (const auto* label : dialog.findChildren<QLabel*>()) texts << label->text();
    for (const auto* button : dialog.findChildren<QAbstractButton*>()) texts << button->text() << button->toolTip();
    for (const auto* combo : dialog.findChildren<QComboBox*>())
        for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    for (const auto* tree : dialog.findChildren<QTreeView*>())
        for (int column = 0; column < tree->model()->columnCount(); ++column)
            texts << tree->model()->headerData(column, Qt::Horizontal).toString();
    texts.removeAll(QString());
    return texts;
}

TEST_F(Dialog, TheOpenDialogSpeaksTurkishShowsEachFilterAsWrittenAndMatchesAnyLetterCase) {
    controls().openAction->trigger(); // cancelled: only the filter is kept
    ASSERT_EQ(dialogs.openFilters.size(), 1);
    for (const char* name : {"KANAT.BMP", "wing.Bmp", "notes.txt", "photo.JPG", "README"})
        std::ofstream(folder + "/" + name) << "x";
    const auto dialog = makeFileDialog(nullptr, dialogs.openFilters.front(), QFileDialog::AcceptOpen, {});
    const QStringList texts = shownTexts(*dialog);
    for (const char* english :
         {"Look in", "File name", "Files of type", "Cancel", "Open", "Name", "Size", "Type", "Date Modified", "Back",
          "Forward", "Parent Directory", "Create New Folder", "List View", "Detail View"})
        for (const QString& shown : texts)
            EXPECT_FALSE(shown.contains(QString::fromUtf8(english))) << shown.toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("İptal")));
    const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
    EXPECT_EQ(shown, (QStringList{"bmp files (*.BMP)", "jpg files(*.jpg)", "JPE files(*.jpe)", "GIF files(*.gif)",
                                  "wmf files(*.wmf)", "All files(*.*)"}));
    dialog->setDirectory(QString::fromStdString(folder));
    const auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    auto names = [&] {
        QStringList found;
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
            found << list->model()->index(row, 0, list->rootIndex()).data().toString();
        found.sort();
        return found;
    };
    // The dialog reads the folder in the background.
    auto settle = [&](const QStringList& expected) {
        for (int wait = 0; wait < 100 && names() != expected; ++wait) QTest::qWait(50);
        EXPECT_EQ(names(), expected);
    };
    settle({"KANAT.BMP", "wing.Bmp"});
    const QStringList filters = dialogNameFilters(dialogs.openFilters.front());
    dialog->selectNameFilter(filters[1]);
    settle({"photo.JPG"});
    dialog->selectNameFilter(filters[5]);
    settle({"KANAT.BMP", "README", "notes.txt", "photo.JPG", "wing.Bmp"});
    // The detail columns (kind, date) are worded in Turkish too, whatever the locale.
    for (int column = 1; column < list->model()->columnCount(list->rootIndex()); ++column) {
        const QString cell = list->model()->index(0, column, list->rootIndex()).data().toString();
        for (const char* english : {"File", "Folder", "bytes", "Jan", "Dec", "AM", "PM"})
            EXPECT_FALSE(cell.contains(QString::fromUtf8(english))) << cell.toStdString();
    }
}

TEST_F(Dialog, TheOpenDialogStartsAtThePictureShownNeverAtOneThatFailed) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    const QString opened = openPicture(picture);
    const QString elsewhere = QString::fromStdString(folder) + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    dialogs.openAnswers.push_back(elsewhere + QStringLiteral("/missing.png"));
    controls().openAction->trigger(); // cannot be loaded: nothing moves to its folder
    controls().openAction->trigger();
    EXPECT_EQ(dialogs.openStarts, (QStringList{"", opened, opened}));
    calculateWithBlanks();
    EXPECT_EQ(dialogs.saveFolders.last(), QString::fromStdString(folder)) << "the save dialog opens beside the picture";
    click(controls().resetButton); // "Resetle": no picture shown, the dialog still starts at the last one
    QApplication::processEvents();
    controls().openAction->trigger();
    EXPECT_EQ(dialogs.openStarts.last(), opened);
}

TEST_F(Dialog, OnlyAnotherExistingResultFileIsOverwrittenAfterAQuestion) {
    const QString out = QString::fromStdString(folder) + QStringLiteral("/out.txt");
    const QString earlier = QString::fromStdString(folder) + QStringLiteral("/earlier.txt");
    const QString other = QString::fromStdString(folder) + QStringLiteral("/other.txt");
    std::ofstream(earlier.toStdString()) << "an earlier day's results";
    // The file this window writes is rewritten as often as it is saved, without a question.
    dialogs.saveAnswers = {out, out};
    pressWing();
    click(controls().calculateButton);
    controls().saveAction->trigger();
    EXPECT_TRUE(dialogs.asked.isEmpty());
    // Another existing file: "Hayır" goes back to the dialog, which starts at that file.
    dialogs.saveAnswers = {earlier, other};
    dialogs.askAnswers = {false};
    controls().saveAction->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].contains(QDir::toNativeSeparators(earlier)) &&
                dialogs.asked[0].endsWith("[Evet/Hayır]"))
        << dialogs.asked[0].toStdString();
    EXPECT_EQ(dialogs.proposedNames.last(), "earlier.txt");
    EXPECT_EQ(dialogs.saveFolders.last(), QString::fromStdString(folder));
    EXPECT_EQ(readFile(earlier.toStdString()), "an earlier day's results");
    // The third save's text: three blocks of 18 coordinate and 117 result lines, and the
    // closing line end.
    const std::string written = readFile(other.toStdString());
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3 * (18 + 117) + 1);
    // "Evet" overwrites it.
    dialogs.saveAnswers = {earlier};
    dialogs.askAnswers = {true};
    controls().saveAction->trigger();
    EXPECT_EQ(dialogs.asked.size(), 2);
    EXPECT_NE(readFile(earlier.toStdString()), "an earlier day's results");
}

// Runs `show` and reads the message box it opens: its icon and its buttons' texts.
std::pair<QMessageBox::Icon, QStringList> messageBoxOf(const std::function<void()>& show) {
    std::pair<QMessageBox::Icon, QStringList> seen{QMessageBox::Critical, {}};
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.first = box->icon();
        for (const auto* button : box->buttons()) seen.second << button->text().remove(QLatin1Char('&'));
        box->done(0);
    });
    show();
    return seen;
}

TEST_F(Dialog, MessageBoxesAnswerInTurkishAndTheAboutBoxHasNoIcon) {
    QtDialogs real;
    const auto about = messageBoxOf([&] { real.about(&form(), QStringLiteral("yazar")); });
    EXPECT_EQ(about.first, QMessageBox::NoIcon);
    EXPECT_EQ(about.second, QStringList{"Tamam"});
    EXPECT_EQ(messageBoxOf([&] { real.warn(&form(), QStringLiteral("uyarı")); }).second, QStringList{"Tamam"});
    const auto question = messageBoxOf([&] { real.ask(&form(), QStringLiteral("?"), "Evet", "Hayır"); });
    EXPECT_EQ(question.second.size(), 2);
    EXPECT_TRUE(question.second.contains("Evet") && question.second.contains("Hayır"));
}

} // namespace
} // namespace kanat::test
