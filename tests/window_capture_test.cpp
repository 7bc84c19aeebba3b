#include "tests/window_fixture.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace kanat::test {
namespace {

using Window = WindowTest;

TEST_F(Window, OpensWithItsLayoutItsMenuAndTheFocusOnHesapla) {
    EXPECT_EQ(form().windowTitle(), "Sphecidae ve Apidae Kanat Morfometrisi Yazılımı");
    const QList<QAction*> menu = form().menuBar()->actions();
    ASSERT_EQ(menu.size(), 3);
    EXPECT_EQ(menu[0]->text(), "Kanat Resmi Aç");
    EXPECT_EQ(menu[1]->text(), "Ölçümü Kaydet");
    EXPECT_EQ(menu[2]->text(), "Hakkında");
    EXPECT_EQ(controls().calculateButton->geometry(), QRect(504, 8, 65, 25));
    EXPECT_EQ(controls().wingView->size(), QSize(545, 265));
    EXPECT_EQ(controls().sheetFrame->geometry(), QRect(1104, 8, 169, 609));
    EXPECT_EQ(controls().coordinateFields[0]->geometry(), QRect(48, 32, 53, 20));
    EXPECT_EQ(controls().coordinateFields[35]->geometry(), QRect(104, 576, 53, 20));
    EXPECT_FALSE(controls().resultList->isVisible());
    EXPECT_TRUE(controls().guidePicture->isVisible());
    EXPECT_FALSE(controls().guideCheckBox->isChecked());
    for (const char* hidden : {"x11", "y44", "Txt1", "cs", "oran", "renk", "Text43", "Text44"})
        EXPECT_FALSE(field(QString::fromUtf8(hidden))->isVisible()) << hidden;
    EXPECT_EQ(field("renk")->text(), "renk");
    EXPECT_EQ(field("Text43")->text(), "0");
    EXPECT_EQ(form().viewScale(), "0.5");
    EXPECT_EQ(form().mmPerPixel(), "0.021052632");
    EXPECT_EQ(QApplication::focusWidget(), controls().calculateButton);
}

// The digits of a coordinate field are drawn inside it, whatever font the system offers.
TEST_F(Window, ACoordinateFieldShowsItsDigits) {
    QLineEdit* coordinate = controls().coordinateFields[0];
    auto darkInside = [&] {
        const QImage shown = coordinate->grab().toImage();
        int dark = 0;
        for (int y = 3; y < shown.height() - 3; ++y)
            for (int x = 3; x < shown.width() - 3; ++x) dark += qGray(shown.pixel(x, y)) < 100;
        return dark;
    };
    EXPECT_EQ(darkInside(), 0);
    coordinate->setText(QStringLiteral("123"));
    EXPECT_GT(darkInside(), 10);
}

TEST_F(Window, TabWalksTheControlsInTheirOrderAndBackToHesapla) {
    std::vector<QWidget*> expected{controls().calculateButton, controls().wingView};
    for (int n = 16; n >= 1; --n) expected.push_back(controls().coordinateFields[static_cast<std::size_t>(n - 1)]);
    for (int n = 17; n <= 36; ++n) expected.push_back(controls().coordinateFields[static_cast<std::size_t>(n - 1)]);
    expected.push_back(controls().guideCheckBox);
    expected.insert(expected.end(), {controls().refreshButton, controls().resetButton});
    for (QPushButton* button : controls().magnificationButtons) expected.push_back(button);
    expected.push_back(controls().calculateButton);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), expected[i])
            << "stop " << i << ": " << QApplication::focusWidget()->objectName().toStdString();
    }
}

TEST_F(Window, APressOnTheViewsBorderPlacesNothing) {
    const QSize area = controls().wingView->drawingSize();
    const QPoint border[] = {
        {-1, 10}, {-2, 5}, {10, -1}, {area.width(), 10}, {10, area.height()}, {area.width() + 1, area.height() + 1}};
    for (const QPoint& at : border) press(at.x(), at.y());
    EXPECT_EQ(field("Text43")->text(), "0");
    EXPECT_EQ(controls().wingView->markCount(), 0u);
    press(area.width() - 1, area.height() - 1);
    EXPECT_EQ(field("Text43")->text(), "1");
}

TEST_F(Window, APressBecomesTheNextLandmarkCountedUpFromTheBaseLine) {
    press(10, 20);
    EXPECT_EQ(field("Text43")->text(), "1");
    EXPECT_EQ(listLines(), QStringList{"10;238"});
    EXPECT_EQ(text(1), "10");
    EXPECT_EQ(text(2), "238");
    EXPECT_EQ(controls().wingView->markCount(), 1u);
    // Below the base line (h = 258.13) y turns negative.
    press(5, 260);
    EXPECT_EQ(text(3), "5");
    EXPECT_EQ(text(4), "-2");
}

TEST_F(Window, EveryButtonAndModifierPlacesALandmarkButADoubleClickPlacesOne) {
    press(1, 1, Qt::RightButton);
    press(2, 2, Qt::LeftButton, Qt::ShiftModifier);
    press(30, 3, Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier); // away from every mark
    EXPECT_EQ(field("Text43")->text(), "3");
    // A double click arrives as a press, a release and then the double click itself.
    press(40, 40);
    QTest::mouseDClick(controls().wingView, Qt::LeftButton, {}, QPoint(42, 42));
    EXPECT_EQ(field("Text43")->text(), "4");
    EXPECT_EQ(listLines().size(), 4);
}

TEST_F(Window, PressesAfterTheEighteenthOnlyCountListAndMark) {
    for (int i = 0; i < 18; ++i) press(10 + i, 20 + i);
    const QString eighteenth = text(35) + ";" + text(36);
    press(300, 100);
    EXPECT_EQ(field("Text43")->text(), "19");
    EXPECT_EQ(listLines().size(), 19);
    EXPECT_EQ(listLines().last(), "300;158");
    EXPECT_EQ(controls().wingView->markCount(), 19u);
    EXPECT_EQ(text(35) + ";" + text(36), eighteenth);
    EXPECT_EQ(text(1), "10");
}

TEST_F(Window, YenileStartsTheNextWingOnTheSameImage) {
    for (int i = 0; i < 20; ++i) press(10 + i, 20);
    field("cs")->setText("95.5");
    click(controls().refreshButton);
    EXPECT_EQ(field("Text43")->text(), "0");
    EXPECT_TRUE(listLines().isEmpty());
    EXPECT_FALSE(controls().resultList->isVisible());
    EXPECT_EQ(controls().wingView->markCount(), 0u);
    EXPECT_EQ(field("cs")->text(), "");
    EXPECT_EQ(field("renk")->text(), "renk");
    press(7, 8);
    EXPECT_EQ(field("Text43")->text(), "1");
    EXPECT_EQ(text(1), "7");
    for (int n = 3; n <= 36; ++n) EXPECT_EQ(text(n), "") << n;
    EXPECT_EQ(listLines().size(), 1);
}

TEST_F(Window, MagnificationButtonsLockEachOtherUntilYenile) {
    struct Case {
        int button; // x0,5, x2, x4
        const char* viewScale;
        const char* mmPerPixel;
        bool enabledAfterYenile[3];
    };
    const Case cases[] = {{0, "0.5", "0.021052632", {true, true, false}},
                          {1, "1", "0.010526316", {true, true, false}},
                          {2, "2", "0.005263158", {true, true, true}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        makeWindow();
        const auto& buttons = controls().magnificationButtons;
        click(buttons[std::size_t(c.button)]);
        for (int other = 0; other < 3; ++other) EXPECT_EQ(buttons[std::size_t(other)]->isEnabled(), other == c.button);
        EXPECT_EQ(form().viewScale(), c.viewScale);
        EXPECT_EQ(form().mmPerPixel(), c.mmPerPixel);
        click(controls().refreshButton);
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(buttons[std::size_t(other)]->isEnabled(), c.enabledAfterYenile[other]);
        EXPECT_EQ(form().viewScale(), c.viewScale);
    }
}

TEST_F(Window, TheGuideFollowsTheCheckBoxFromTheSecondClickOn) {
    const bool visibleAfter[] = {true, false, true};
    for (bool visible : visibleAfter) {
        QTest::mouseClick(controls().guideCheckBox, Qt::LeftButton, {},
                          QPoint(5, controls().guideCheckBox->height() / 2));
        EXPECT_EQ(controls().guidePicture->isVisible(), visible);
    }
}

TEST_F(Window, TheViewShowsThePictureAtEachScaleAndScrollsWhenLarger) {
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    openPicture(picture);
    EXPECT_EQ(controls().wingView->size(), QSize(202, 152)) << "half the outer size, border included";
    click(controls().magnificationButtons[1]);
    EXPECT_EQ(controls().wingView->drawingSize(), QSize(400, 300));
    click(controls().refreshButton);
    click(controls().magnificationButtons[0]);
    EXPECT_EQ(controls().wingView->size(), QSize(202, 152));
    makeWindow();
    openPicture(picture);
    click(controls().magnificationButtons[2]);
    EXPECT_EQ(controls().wingView->size(), QSize(808, 608));
    const QSize room = controls().viewArea->size();
    EXPECT_LE(room.height(), 520) << "the view never covers the guide picture";
    EXPECT_TRUE(controls().viewArea->verticalScrollBar()->isVisible());
    EXPECT_FALSE(controls().viewArea->geometry().intersects(controls().sheetFrame->geometry()));
    EXPECT_FALSE(controls().viewArea->geometry().intersects(controls().resultList->geometry()));
}

TEST_F(Window, AMagnificationChangePaintsOverTheMarksButKeepsTheCoordinates) {
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::white);
    openPicture(picture);
    press(50, 60);
    click(controls().magnificationButtons[1]);
    EXPECT_EQ(controls().wingView->markCount(), 0u);
    EXPECT_EQ(text(1), "50");
}

TEST_F(Window, ResetleBringsTheWindowBackFromItsLayout) {
    QImage picture(100, 80, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    openPicture(picture);
    click(controls().magnificationButtons[2]);
    press(10, 10);
    click(controls().resetButton);
    QApplication::processEvents();
    EXPECT_EQ(form().windowTitle(), "Sphecidae ve Apidae Kanat Morfometrisi Yazılımı");
    EXPECT_EQ(field("Text43")->text(), "0");
    EXPECT_EQ(text(1), "");
    for (QPushButton* button : controls().magnificationButtons) EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(controls().wingView->picture().isNull());
    EXPECT_EQ(form().viewScale(), "0.5");
}

TEST_F(Window, ResetleClosesTheOldWindowBeforeTheNewOneShows) {
    QPointer<Form1> old = &form();
    bool oldShownWithTheNew = true;
    QObject::connect(host.get(), &FormHost::reloaded, [&](Form1*) { oldShownWithTheNew = old && old->isVisible(); });
    click(controls().resetButton);
    QApplication::processEvents();
    EXPECT_NE(&form(), old.data());
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(oldShownWithTheNew);
}

TEST_F(Window, TheAboutBoxChangesNothing) {
    press(10, 20);
    controls().aboutAction->trigger();
    ASSERT_EQ(dialogs.abouts.size(), 1);
    EXPECT_FALSE(dialogs.abouts.front().isEmpty());
    EXPECT_EQ(field("Text43")->text(), "1");
    EXPECT_EQ(listLines().size(), 1);
}

} // namespace
} // namespace kanat::test

namespace kanat::test {
namespace {

TEST_F(WindowTest, AtX4TheFarCornerOfALargePictureCanBeReachedAndMarked) {
    QImage picture(3000, 2000, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(2999, 1999, qRgb(255, 0, 0));
    openPicture(picture, "large.png");
    click(controls().magnificationButtons[2]);
    QScrollArea* area = controls().viewArea;
    ASSERT_EQ(controls().wingView->size(), QSize(6008, 4008));
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    QApplication::processEvents();
    // The last drawing-area pixel is where the view's bottom-right corner shows.
    const QPoint shown = area->viewport()->rect().bottomRight() - QPoint(WingView::borderWidth, WingView::borderWidth);
    ASSERT_EQ(area->viewport()->childAt(shown), controls().wingView);
    const QPoint corner = controls().wingView->mapFrom(area->viewport(), shown);
    QTest::mousePress(controls().wingView, Qt::LeftButton, {}, corner);
    QTest::mouseRelease(controls().wingView, Qt::LeftButton, {}, corner);
    ASSERT_EQ(field("Text43")->text(), "1");
    EXPECT_EQ(text(1), "6003") << "x of the last drawing-area pixel, 6004 wide";
    EXPECT_EQ(controls().wingView->markCount(), 1u);
}

} // namespace
} // namespace kanat::test
