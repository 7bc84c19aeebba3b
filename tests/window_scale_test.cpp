// The lab's own scale: a set-up made from a scale bar on the picture shown, its lengths in
// millimetres, bad input said and refused, and the default giving what it always gave.
#include "app/scale_dialog.h"
#include "tests/window_fixture.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <fstream>

namespace kanat::test {
namespace {

class Scale : public WindowTest {
protected:
    // A 10 mm bar drawn at 300 pixels a millimetre would be 3000 pixels; this one is 3 mm: 900.
    QImage scaleBar() {
        QImage picture(1200, 300, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int x = 150; x < 1050; ++x)
            for (int y = 140; y < 160; ++y) picture.setPixel(x, y, qRgb(0, 0, 0));
        return picture;
    }
    ScaleDialog& dialog() {
        QTest::keyClick(&form(), Qt::Key_K);
        auto* found = form().findChild<ScaleDialog*>();
        EXPECT_TRUE(found && found->isVisible());
        return *found;
    }
    template <class Widget> Widget* in(ScaleDialog& dialog, const char* name) {
        return dialog.findChild<Widget*>(QString::fromUtf8(name));
    }
    void fill(ScaleDialog& dialog, const QString& length, const QString& resolution, const QString& name) {
        in<QLineEdit>(dialog, "lengthField")->setText(length);
        in<QLineEdit>(dialog, "resolutionField")->setText(resolution);
        in<QLineEdit>(dialog, "setupName")->setText(name);
        QTest::mouseClick(in<QPushButton>(dialog, "saveSetup"), Qt::LeftButton);
    }
    // The record of the wing's 18 presses; `coordinates` gets their lines.
    QStringList record(QStringList* coordinates = nullptr) {
        pressWing();
        if (coordinates) *coordinates = listLines();
        click(controls().calculateButton);
        const QStringList fields = fieldsOf(recordLines().last());
        click(controls().refreshButton);
        return fields;
    }
};

TEST_F(Scale, ASetUpFromAScaleBarScalesTheLengthsAndOnlyThemAndTheDefaultGivesWhatItAlwaysDid) {
    openPicture(scaleBar(), "olcek.png");
    click(controls().magnificationButtons[1]); // x2: a view pixel is a source pixel
    const QStringList standard = record();
    ScaleDialog& setups = dialog();
    press(150, 150);
    press(1050, 150); // the bar's two ends: no landmark
    EXPECT_EQ(field("Text43")->text(), "0");
    EXPECT_EQ(controls().wingView->markCount(), 0u);
    EXPECT_TRUE(in<QLabel>(setups, "measuredLength")->text().startsWith("900,0 piksel"));
    fill(setups, "3", "", "Stereo mikroskop 2x");
    EXPECT_TRUE(dialogs.warnings.isEmpty()) << dialogs.warnings.join('\n').toStdString();
    EXPECT_EQ(controls().scaleStatus->text(), "Ölçek: 300,0 piksel/mm — Stereo mikroskop 2x");
    EXPECT_EQ(form().mmPerPixel(), "0.003333333") << "a source pixel is 1/300 mm, to nine decimals";
    setups.close();
    QStringList coordinates;
    const QStringList calibrated = record(&coordinates);
    ASSERT_EQ(calibrated.size(), 118);
    EXPECT_EQ(calibrated.mid(0, 76), standard.mid(0, 76)) << "angles, ratios and indices do not depend on the scale";
    EXPECT_EQ(calibrated.mid(100), standard.mid(100)) << "nor do the colours";
    // The lengths are those of the same landmarks at 1/300 mm a pixel.
    std::ofstream(folder + "/presses.txt") << coordinates.join('\n').toStdString() << "\n";
    const auto batch = runBatchTool({"--mm-per-pixel", "0.003333333", folder + "/presses.txt"});
    ASSERT_EQ(batch.status, 0) << batch.err;
    const QStringList lines = QString::fromStdString(batch.out).split('\n');
    for (int slot = 75; slot < 99; ++slot)
        EXPECT_EQ(calibrated[slot + 1], lines[slot].section(';', 1)) << lines[slot].toStdString();
    EXPECT_NE(calibrated.mid(76, 24), standard.mid(76, 24));
    // Back to the default: the very record it always gave.
    ScaleDialog& again = dialog();
    in<QComboBox>(again, "setupList")->setCurrentIndex(0);
    QTest::mouseClick(in<QPushButton>(again, "activateSetup"), Qt::LeftButton);
    again.close();
    EXPECT_EQ(form().mmPerPixel(), "0.010526316");
    EXPECT_EQ(controls().scaleStatus->text(), "Ölçek: Varsayılan (95 piksel/mm)");
    EXPECT_EQ(record(), standard);
}

TEST_F(Scale, EveryMagnificationShowsThePictureAtExactlyItsScaleSoTheBarMeasuresWhatItIs) {
    // The view's outer size scales with its border, which leaves the drawing area a few pixels
    // off scale × the picture; the picture must not be stretched into it, or every length
    // measured on the view would be off by as much.
    const struct {
        int button;
        double scale;
    } cases[] = {{0, 0.5}, {2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        click(controls().resetButton);
        QApplication::processEvents();
        openPicture(scaleBar(), "olcek.png");
        click(controls().magnificationButtons[c.button]);
        const QImage shown = controls().wingView->grab().toImage();
        const int end = int(1050 * c.scale), row = int(150 * c.scale) + WingView::borderWidth;
        EXPECT_EQ(shown.pixelColor(WingView::borderWidth + end - 1, row), QColor(Qt::black)) << "the bar's last pixel";
        EXPECT_EQ(shown.pixelColor(WingView::borderWidth + end + 1, row), QColor(Qt::white)) << "past the bar";
        ScaleDialog& setups = dialog();
        press(int(150 * c.scale), int(150 * c.scale));
        press(end, int(150 * c.scale));
        EXPECT_TRUE(in<QLabel>(setups, "measuredLength")->text().startsWith("900,0 piksel"))
            << in<QLabel>(setups, "measuredLength")->text().toStdString();
        setups.close();
    }
}

TEST_F(Scale, BadInputIsSaidAndChangesNothing) {
    openPicture(scaleBar(), "olcek.png");
    click(controls().magnificationButtons[1]);
    struct Case {
        const char* name;
        std::vector<QPoint> ends;
        QString length, resolution, setup;
        const char* said;
    };
    const Case cases[] = {
        {"no ends pressed", {}, "3", "", "Stereo", "iki ucuna"},
        {"a length of zero", {{150, 150}, {1050, 150}}, "0", "", "Stereo", "sıfırdan büyük"},
        {"a negative length", {{150, 150}, {1050, 150}}, "-3", "", "Stereo", "sıfırdan büyük"},
        {"a length that is text", {{150, 150}, {1050, 150}}, "üç", "", "Stereo", "sıfırdan büyük"},
        {"ends 19 pixels apart", {{150, 150}, {169, 150}}, "3", "", "Stereo", "en az 20 piksel"},
        {"no name", {{150, 150}, {1050, 150}}, "3", "", "", "ad verin"},
        {"the default's name", {{150, 150}, {1050, 150}}, "3", "", "Varsayılan (95 piksel/mm)", "değiştirilemez"},
        {"a resolution of zero dpi", {}, "", "0", "Stereo", "Çözünürlük"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.warnings.clear();
        ScaleDialog& setups = dialog();
        for (const QPoint end : c.ends) press(end.x(), end.y());
        fill(setups, c.length, c.resolution, c.setup);
        ASSERT_EQ(dialogs.warnings.size(), 1);
        EXPECT_TRUE(dialogs.warnings[0].contains(QString::fromUtf8(c.said))) << dialogs.warnings[0].toStdString();
        EXPECT_TRUE(host->session().setups.saved().empty());
        EXPECT_EQ(form().mmPerPixel(), "0.010526316");
        setups.close();
    }
    // The default cannot be removed; a typed resolution in dpi is a set-up too.
    ScaleDialog& setups = dialog();
    QTest::mouseClick(in<QPushButton>(setups, "removeSetup"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.warnings.last().contains("silinemez"));
    in<QComboBox>(setups, "resolutionUnit")->setCurrentIndex(1);
    fill(setups, "", "2400", "Tarayıcı 2400 dpi");
    EXPECT_NEAR(host->session().setups.active().pixelsPerMm, 94.488, 0.001);
}

TEST_F(Scale, APictureThatStatesAnotherResolutionIsSaidAndNothingChangesByItself) {
    struct Case {
        const char* name;
        int dotsPerMetre;
        const char* said; // nothing when empty
    };
    const Case cases[] = {
        {"2400 dpi, within 2 % of 95 pixels a millimetre", 94488, ""},
        {"300 dpi", 11811, "Resim 300 dpi diyor; etkin ölçek 95,0 piksel/mm. "},
        {"72 dpi, what writers put in by default", 2835, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage picture = scaleBar();
        picture.setDotsPerMeterX(c.dotsPerMetre);
        picture.setDotsPerMeterY(c.dotsPerMetre);
        openPicture(picture, QStringLiteral("resim-%1.png").arg(c.dotsPerMetre));
        EXPECT_EQ(controls().scaleStatus->text(), QString::fromUtf8(c.said) + "Ölçek: Varsayılan (95 piksel/mm)");
        EXPECT_EQ(form().mmPerPixel(), "0.021052632");
    }
}

} // namespace
} // namespace kanat::test
