#include "tests/window_fixture.h"

#include "results/code_page_1254.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

namespace kanat::test {

QString ScriptedDialogs::openImage(QWidget*, const QString& filter, const QString& shown) {
    openFilters << filter;
    openStarts << shown;
    if (openAnswers.empty()) return {};
    const QString answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::saveResults(QWidget*, const QString& filter, const QString& proposedName,
                                     const QString& folder) {
    saveFilters << filter;
    proposedNames << proposedName;
    saveFolders << folder;
    if (saveAnswers.empty()) return {};
    const QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::ask(QWidget*, const QString& question, const QString& yes, const QString& no) {
    asked << question + QStringLiteral(" [") + yes + QLatin1Char('/') + no + QLatin1Char(']');
    if (askAnswers.empty()) return false;
    const bool answer = askAnswers.front();
    askAnswers.pop_front();
    return answer;
}

void WindowTest::SetUp() {
    folder = makeTemporaryFolder();
    makeWindow();
}

void WindowTest::makeWindow(char decimal) {
    environment = {QString::fromStdString(folder), QString::fromStdString(folder + "/user-data"), decimal};
    host = std::make_unique<FormHost>(dialogs, environment);
    host->show();
    QApplication::setActiveWindow(&form());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form()));
}

void WindowTest::TearDown() {
    if (host && host->form()) host->form()->close();
    host.reset();
    QApplication::processEvents();
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder);
}

QLineEdit* WindowTest::field(const QString& name) { return form().findChild<QLineEdit*>(name); }

QString WindowTest::text(int n) { return controls().coordinateFields[static_cast<std::size_t>(n - 1)]->text(); }

QStringList WindowTest::listLines() {
    QStringList lines;
    for (int i = 0; i < controls().resultList->count(); ++i) lines << controls().resultList->item(i)->text();
    return lines;
}

void WindowTest::press(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    // Positions are in the view's drawing area, inside its border.
    const QPoint at(x + WingView::borderWidth, y + WingView::borderWidth);
    QTest::mousePress(controls().wingView, button, modifiers, at);
    QTest::mouseRelease(controls().wingView, button, modifiers, at);
}

void WindowTest::click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

void WindowTest::calculateWithBlanks() {
    const qsizetype before = dialogs.asked.size();
    dialogs.askAnswers.push_front(true);
    click(form().controls().calculateButton);
    ASSERT_GT(dialogs.asked.size(), before) << "no question before measuring blank landmarks";
    EXPECT_TRUE(dialogs.asked[before].contains(QStringLiteral("konmadı"))) << dialogs.asked[before].toStdString();
}

void WindowTest::pressWing() {
    const int xy[18][2] = {{40, 60},   {90, 50},   {110, 50}, {150, 40},  {70, 100},  {110, 100},
                           {125, 85},  {145, 80},  {175, 75}, {230, 60},  {105, 160}, {185, 150},
                           {205, 120}, {265, 110}, {380, 65}, {180, 200}, {205, 180}, {270, 140}};
    for (const auto& [x, y] : xy) press(x, y);
}

QString WindowTest::savePicture(const QString& name, const QImage& image) {
    const QString path = QString::fromStdString(folder) + QLatin1Char('/') + name;
    EXPECT_TRUE(image.save(path));
    return path;
}

QString WindowTest::openPicture(const QImage& image, const QString& name) {
    const QString path = savePicture(name, image);
    dialogs.openAnswers.push_back(path);
    controls().openAction->trigger();
    return path;
}

QStringList WindowTest::recordLines() {
    const std::string bytes = readFile(folder + "/12.txt");
    QStringList lines = QString::fromStdString(fromCodePage1254(bytes)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QStringList WindowTest::fieldsOf(const QString& record) { return record.split(QLatin1Char('\t')); }

} // namespace kanat::test
