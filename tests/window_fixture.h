#pragma once

#include "app/form_host.h"
#include "tests/test_support.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <deque>
#include <gtest/gtest.h>

namespace kanat::test {

// Answers the window's dialogs from queues the test fills, and keeps what was asked.
class ScriptedDialogs final : public Dialogs {
public:
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<bool> askAnswers; // none left: the second answer
    QStringList openFilters;
    QStringList openStarts;
    QStringList saveFilters;
    QStringList proposedNames;
    QStringList saveFolders;
    QStringList asked;
    QStringList informed;
    QStringList warnings;
    QStringList abouts;
    QStringList notes;

    QString openImage(QWidget*, const QString& filter, const QString& shown) override;
    QString saveResults(QWidget*, const QString& filter, const QString& proposedName, const QString& folder) override;
    bool ask(QWidget*, const QString& question, const QString& yes, const QString& no) override;
    void inform(QWidget*, const QString& text) override { informed << text; }
    void warn(QWidget*, const QString& text) override { warnings << text; }
    void about(QWidget*, const QString& text) override { abouts << text; }
    void note(QWidget*, const QString& text) override { notes << text; }
};

// A main window over a temporary program folder, driven as a user would.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void makeWindow(char decimal = '.');

    Form1& form() { return *host->form(); }
    const WindowControls& controls() { return form().controls(); }
    QLineEdit* field(const QString& name);
    QString text(int n);
    QStringList listLines();
    void press(int x, int y, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});
    void click(QPushButton* button);
    void pressWing(); // the 18 landmarks of a real wing, at the view's size
    // "Hesapla" on a sheet with landmarks never placed: the question comes first and is answered
    // "Hesapla", which measures the blanks as 0.
    void calculateWithBlanks();
    QString savePicture(const QString& name, const QImage& image);
    QString openPicture(const QImage& image, const QString& name = QStringLiteral("kanat1.png"));
    QStringList recordLines(); // 12.txt, decoded
    QStringList fieldsOf(const QString& record);

    std::string folder;
    Environment environment;
    ScriptedDialogs dialogs;
    std::unique_ptr<FormHost> host;
};

} // namespace kanat::test
