#include "picture/picture_loader.h"
#include "picture/stated_resolution.h"
#include "tests/picture_corpus.h"
#include "tests/turbo_jpeg.h"
#include "tests/wmf_writer.h"

#include <gtest/gtest.h>

#include <optional>

namespace kanat {
namespace {

using namespace test;

double dpi(double dotsPerInch) { return dotsPerInch / 25.4; }

const QImage blocks = colourBlocks({64, 48}, 16);

QByteArray writtenAt(const char* format, int dotsPerMeter) {
    QImage image = blocks;
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return encoded(image, format);
}

// XResolution over `denominator` and, when given, ResolutionUnit, after an orientation as
// cameras write them.
QByteArray exifAt(quint32 numerator, quint32 denominator, std::optional<quint32> unit, bool bigEndian = false) {
    std::vector<TiffField> fields{
        {0x0112, 3, {1}}, {282, 5, {numerator, denominator}}, {283, 5, {numerator, denominator}}};
    if (unit) fields.push_back({296, 3, {*unit}});
    return tiffStructure(fields, bigEndian);
}

// The decoder reads every segment up to the first scan, the frame header and tables included.
QByteArray withExifBeforeTheScan(const QByteArray& jpeg, const QByteArray& tiff) {
    const QByteArray segment = withExif(QByteArray("\xFF\xD8"), tiff).mid(2);
    const qsizetype scan = jpeg.indexOf("\xFF\xDA");
    return jpeg.left(scan) + segment + jpeg.mid(scan);
}

TEST(StatedResolution, IsWhatTheFileSaysAndNoneWhenItSaysNothing) {
    const QByteArray png = encoded(blocks, "png"), bmp = encoded(blocks, "bmp");
    const QByteArray noPhys = withoutPngChunk(png, "pHYs");
    const QByteArray physAt2400 = withPngChunk(noPhys, "pHYs", physData(94488, 1));
    const qsizetype physCheck = physAt2400.indexOf("pHYs") + 4 + 9;
    // libjpeg-turbo writes a JFIF block of aspect ratio 1:1, no density.
    const QByteArray jpeg = turboJpeg(blocks, TJPF_RGB, TJSAMP_420), exifOnly = withoutJfif(jpeg);
    const QByteArray exif300 = exifAt(300, 1, 2);
    const std::optional<double> none;
    struct Case {
        const char* name;
        QByteArray bytes;
        std::optional<double> pixelsPerMm;
    };
    std::vector<Case> cases = {
        {"PNG by Qt at 94488 px/m", writtenAt("png", 94488), 94.488},
        {"PNG pHYs of 94488 px/m", physAt2400, 94.488},
        // The 3780 px/m that Qt's reader also gives a PNG without pHYs.
        {"PNG by Qt at 3780 px/m: 96 dpi", writtenAt("png", 3780), 3.78},
        {"PNG without pHYs", noPhys, none},
        {"PNG pHYs in no unit", withPngChunk(noPhys, "pHYs", physData(94488, 0)), none},
        {"PNG pHYs damaged", overwritten(physAt2400, physCheck, QByteArray(4, '\0')), none},
        {"PNG pHYs after the data", withPngChunk(noPhys, "pHYs", physData(94488, 1), true), none},
        {"BMP by Qt at 11811 px/m", writtenAt("bmp", 11811), 11.811},
        {"BMP of 0 px/m", overwritten(bmp, 38, QByteArray(4, '\0')), none},
        {"JPEG of aspect ratio only", jpeg, none},
        {"JFIF 2400 dpi", withJfifDensity(jpeg, 1, 2400), dpi(2400)},
        {"JFIF 118 dots/cm", withJfifDensity(jpeg, 2, 118), 11.8},
        {"JFIF density in units 0", withJfifDensity(jpeg, 0, 300), none},
        {"JPEG by Qt at 11811 px/m", writtenAt("jpeg", 11811), dpi(300)},
        {"EXIF only, 300 dpi, little-endian", withExif(exifOnly, exif300), dpi(300)},
        {"EXIF only, 300 dpi, big-endian", withExif(exifOnly, exifAt(300, 1, 2, true)), dpi(300)},
        {"EXIF 118 dots/cm, big-endian", withExif(exifOnly, exifAt(118, 1, 3, true)), 11.8},
        {"EXIF 3000/10 without a unit: inch", withExif(exifOnly, exifAt(3000, 10, std::nullopt)), dpi(300)},
        {"EXIF after the frame header", withExifBeforeTheScan(exifOnly, exif300), dpi(300)},
        {"EXIF 72 dpi after JFIF's aspect ratio", withExif(jpeg, exifAt(72, 1, 2)), dpi(72)},
        {"JFIF's density before EXIF's", withExif(withJfifDensity(jpeg, 1, 2400), exifAt(72, 1, 2)), dpi(2400)},
        {"EXIF in no unit", withExif(exifOnly, exifAt(300, 1, 1)), none},
        {"EXIF over zero", withExif(exifOnly, exifAt(300, 0, 2)), none},
        // The resolutions' values lie past the block's end, where the next segment's bytes are.
        {"EXIF cut before its values", withExif(exifOnly, exif300.left(exif300.size() - 16)), none},
        // Entries past the block's end might have held another unit.
        {"EXIF directory longer than its block", withExif(exifOnly, overwritten(exif300, 8, "\x20\0")), none},
        {"CMYK JPEG read by Qt, EXIF 300 dpi", withExif(turboJpeg(blocks, TJPF_CMYK, TJSAMP_444), exif300), dpi(300)},
        {"GIF", gif({blocks}), none},
        {"WMF", QByteArray::fromStdString(WmfWriter(blocks.rect(), 96).stretchDib(blocks.rect(), blocks).bytes()),
         none},
    };
    if (qtHasTiff()) {
        const QByteArray tiff = encoded(blocks, "tiff");
        cases.push_back({"TIFF by Qt at 11811 px/m: 300 dpi", writtenAt("tiff", 11811), dpi(300)});
        cases.push_back({"TIFF by Qt at 11800 px/m: 118 dots/cm", writtenAt("tiff", 11800), 11.8});
        cases.push_back(
            {"TIFF in no unit", overwritten(tiff, tiffEntry(tiff, 296) + 8, QByteArray("\x01\0", 2)), none});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedPicture loaded = decodePicture(c.bytes);
        ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
        EXPECT_EQ(loaded.image.size(), blocks.size());
        EXPECT_EQ(loaded.statedPixelsPerMm.has_value(), c.pixelsPerMm.has_value());
        const double expected = c.pixelsPerMm.value_or(0);
        EXPECT_NEAR(loaded.statedPixelsPerMm.value_or(0), expected, expected * 1e-9);
    }
}

TEST(StatedResolution, ReadsInWholeDotsPerInch) {
    struct Case {
        double pixelsPerMm;
        char decimal;
        QString text;
    };
    const Case cases[] = {
        {94.488, '.', "2400 dpi"}, // 2399.995 dpi, as 2400 dpi is kept in pixels per metre
        {11.8, ',', "300 dpi"},    // 118 dots a centimetre: 299.72 dpi
        {dpi(2399.4), '.', "2399 dpi"}, {dpi(2399.6), '.', "2400 dpi"}, {dpi(72), ',', "72 dpi"},
        {dpi(0.25), ',', "0,25 dpi"},   {dpi(0.25), '.', "0.25 dpi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(resolutionText(c.pixelsPerMm, c.decimal), c.text);
    }
}

TEST(StatedResolution, TellsTheWritersPlaceholdersFromARealScale) {
    struct Case {
        double pixelsPerMm;
        bool placeholder;
    };
    const Case cases[] = {
        {dpi(72), true},
        {dpi(96), true},
        {3.78, true}, // Qt's 3780 px/m
        {2.835, true},
        {dpi(72 * 1.0049), true},
        {dpi(72 * 0.9951), true},
        {dpi(72 * 1.0051), false},
        {dpi(96 * 1.0049), true},
        {dpi(96 * 0.9949), false},
        {dpi(84), false},
        {dpi(300), false},
        {dpi(2400), false},
        {dpi(144), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixelsPerMm * 25.4);
        EXPECT_EQ(isPlaceholderResolution(c.pixelsPerMm), c.placeholder);
    }
}

} // namespace
} // namespace kanat
