#include "picture/picture_loader.h"
#include "tests/picture_corpus.h"
#include "tests/wmf_writer.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kanat {
namespace {

using namespace test;
using Clock = std::chrono::steady_clock;

const QImage blocks = colourBlocks({40, 30}, 5);
const QRect area = blocks.rect();
constexpr int firstRecord = 22 + 18; // behind the placeable header and the metafile header

LoadedPicture decoded(const WmfWriter& writer, bool withEnd = true) {
    return decodePicture(QByteArray::fromStdString(writer.bytes(withEnd)));
}

QRect scaled(QRect r, int factor) { return {r.topLeft() * factor, r.size() * factor}; }

TEST(WmfPicture, DrawsTheBitmapOfEachRasterRecordPixelForPixel) {
    const QRect twips = scaled(area, 15), upwards(0, area.height(), area.width(), -area.height());
    struct Case {
        const char* name;
        WmfWriter writer;
        QImage expected;
    };
    const Case cases[] = {
        {"StretchDIB at 96 units an inch", WmfWriter(area, 96).stretchDib(area, blocks), blocks},
        {"StretchDIB in twips", WmfWriter(twips, 1440).window(twips).stretchDib(twips, blocks), blocks},
        {"DIBStretchBlt", WmfWriter(area, 96).window(area).dibStretchBlt(area, blocks), blocks},
        {"DIBBitBlt", WmfWriter(area, 96).dibBitBlt({0, 0}, blocks), blocks},
        {"SetDIBitsToDevice", WmfWriter(area, 96).setDibToDevice({0, 0}, blocks), blocks},
        {"window away from the origin",
         WmfWriter(area.translated(100, -50), 96)
             .window(area.translated(100, -50))
             .stretchDib(area.translated(100, -50), blocks),
         blocks},
        {"window counting upwards, bitmap upside down", WmfWriter(area, 96).window(upwards).stretchDib(upwards, blocks),
         blocks},
        {"negative width mirrors",
         WmfWriter(area, 96).stretchDib(QRect(area.width(), 0, -area.width(), area.height()), blocks),
         blocks.mirrored(true, false)},
        {"stretched to twice its size", WmfWriter(scaled(area, 2), 96).stretchDib(scaled(area, 2), blocks),
         blocks.scaled(blocks.size() * 2)},
        {"half the bitmap into the right half",
         WmfWriter(area, 96).solidBrush(Qt::black).rectangle(area).stretchDib(QRect(20, 0, 20, 30),
                                                                              blocks.copy(20, 0, 20, 30)),
         [] {
             QImage expected = blocks;
             expected.fill(Qt::black);
             for (int y = 0; y < 30; ++y)
                 for (int x = 20; x < 40; ++x) expected.setPixel(x, y, blocks.pixel(x, y));
             return expected;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedPicture loaded = decoded(c.writer);
        ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
        EXPECT_EQ(largestChannelDifference(loaded.image, c.expected), 0);
    }
}

TEST(WmfPicture, TakesItsNaturalSizeFromThePlaceableHeaderAt96PixelsAnInch) {
    struct Case {
        QRect bounds;
        int unitsPerInch;
        QSize size;
    };
    const Case cases[] = {
        {{0, 0, 1440, 720}, 1440, {96, 48}},  {{0, 0, 2540, 1270}, 2540, {96, 48}},
        {{-50, -20, 100, 40}, 96, {100, 40}}, {{0, 0, 1000, 3000}, 1000, {96, 288}},
        {{0, 0, 10, 10}, 1440, {1, 1}},       {{300, 200, 73, 41}, 72, {97, 55}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unitsPerInch);
        const LoadedPicture loaded = decoded(WmfWriter(c.bounds, c.unitsPerInch));
        ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
        EXPECT_EQ(loaded.image.size(), c.size);
        EXPECT_EQ(loaded.image.pixel(0, 0), qRgb(255, 255, 255)) << "drawn on white";
    }
}

TEST(WmfPicture, WithoutAPlaceableHeaderTakesItsWindowAsPixels) {
    const std::string bytes =
        WmfWriter(area, 96).window(QRect(7, 9, 40, 30)).stretchDib(QRect(7, 9, 40, 30), blocks).bytes();
    const LoadedPicture loaded = decodePicture(QByteArray::fromStdString(bytes.substr(22)));
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    EXPECT_EQ(largestChannelDifference(loaded.image, blocks), 0);
}

TEST(WmfPicture, DrawsRectanglesPolygonsAndLinesWhereTheWindowPutsThem) {
    // 1000 x 500 logical units over 100 x 50 pixels: ten units a pixel.
    WmfWriter writer(QRect(0, 0, 1000, 500), 960);
    writer.window(QRect(0, 0, 1000, 500)).nullPen().solidBrush(QColor(200, 0, 0));
    writer.rectangle(QRect(100, 100, 300, 200)).solidBrush(QColor(0, 0, 200));
    writer.polygon({{600, 50}, {900, 50}, {900, 450}});
    writer.solidPen(QColor(0, 150, 0), 0).record(0x0214, {480, 20}).record(0x0213, {480, 980});
    const LoadedPicture loaded = decoded(writer);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    ASSERT_EQ(loaded.image.size(), QSize(100, 50));
    struct Probe {
        QPoint pixel;
        QRgb colour;
    };
    const QRgb red = qRgb(200, 0, 0), blue = qRgb(0, 0, 200), green = qRgb(0, 150, 0), white = qRgb(255, 255, 255);
    const Probe probes[] = {
        {{10, 10}, red},  {{39, 29}, red},   {{40, 20}, white}, {{9, 20}, white},  {{20, 30}, white},
        {{85, 10}, blue}, {{65, 40}, white}, {{50, 48}, green}, {{50, 47}, white}, {{1, 1}, white},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(::testing::Message() << p.pixel.x() << "," << p.pixel.y());
        EXPECT_EQ(loaded.image.pixel(p.pixel), p.colour);
    }
}

TEST(WmfPicture, PassesOverWhatItDoesNotDrawAndKeepsTheRest) {
    struct Case {
        const char* name;
        WmfWriter writer;
    };
    const auto picture = [] { return WmfWriter(area, 96).stretchDib(area, blocks); };
    const Case cases[] = {
        {"unknown record", picture().record(0x0A32, {1, 2, 3, 4, 5})},
        {"select of an object never made", picture().record(0x012D, {500})},
        {"delete of an object never made", picture().record(0x01F0, {65535})},
        {"restore without a save", picture().record(0x0127, {-5})},
        {"blit without a bitmap", picture().record(0x0B41, {0x21, 0xF0, 0, 0, 0, 0, 0, 30, 40, 0, 0})},
        {"bitmap of palette indices",
         picture().record(0x0F43, {0x20, 0xCC, 1, 30, 40, 0, 0, 30, 40, 0, 0}, WmfWriter::dib(blocks.mirrored()))},
        {"save and restore", picture().record(0x001E, {}).record(0x0127, {-1})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedPicture loaded = decoded(c.writer);
        ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
        EXPECT_EQ(largestChannelDifference(loaded.image, blocks), 0);
    }
}

std::string withRecordSize(std::uint32_t words) {
    std::string bytes = WmfWriter(area, 96).stretchDib(area, blocks).bytes();
    for (int i = 0; i < 4; ++i) bytes[firstRecord + i] = static_cast<char>(words >> (8 * i));
    return bytes;
}

std::string withHeaderWord(int offset, std::uint16_t value) {
    std::string bytes = WmfWriter(area, 96).stretchDib(area, blocks).bytes();
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>(value >> 8);
    return bytes;
}

TEST(WmfPicture, RefusesMalformedMetafilesQuickly) {
    const QString damaged = "resim bozuk ya da eksik";
    const std::string bomb = [] {
        std::string dib = WmfWriter::dib(blocks);
        dib.replace(4, 8, std::string("\xA0\x86\x01\0\xA0\x86\x01\0", 8)); // 100000 x 100000
        return WmfWriter(area, 96).record(0x0F43, {0x20, 0xCC, 0, 30, 40, 0, 0, 30, 40, 0, 0}, dib).bytes();
    }();
    const std::string shortBitmap = [] {
        const std::string dib = WmfWriter::dib(blocks);
        return WmfWriter(area, 96)
            .record(0x0F43, {0x20, 0xCC, 0, 30, 40, 0, 0, 30, 40, 0, 0}, dib.substr(0, dib.size() / 2))
            .bytes();
    }();
    const std::string largestBitmap = [] {
        std::string dib = WmfWriter::dib(blocks);
        dib.replace(4, 8, std::string("\xFF\xFF\xFF\x7F\xFF\xFF\xFF\x7F", 8));
        return WmfWriter(area, 96).record(0x0F43, {0x20, 0xCC, 0, 30, 40, 0, 0, 30, 40, 0, 0}, dib).bytes();
    }();
    struct Case {
        const char* name;
        std::string bytes;
        QString reason;
    };
    const Case cases[] = {
        {"bitmap claiming the largest size there is", largestBitmap,
         "resim çok büyük (2147483647 × 2147483647 nokta, 17592186028033 MB; en çok 1024 MB)"},
        {"record of no words", withRecordSize(0), damaged},
        {"record of two words", withRecordSize(2), damaged},
        {"record running past the end", withRecordSize(0x7FFFFFFF), damaged},
        {"record running just past the end", withRecordSize(10000), damaged},
        {"no end record", WmfWriter(area, 96).stretchDib(area, blocks).bytes(false), damaged},
        {"header only", WmfWriter(area, 96).bytes().substr(0, firstRecord), damaged},
        {"placeable header only", WmfWriter(area, 96).bytes().substr(0, 22), damaged},
        {"zero units an inch", withHeaderWord(14, 0), damaged},
        {"bounds without area", withHeaderWord(10, 0), damaged},
        {"metafile header of 5 words", withHeaderWord(22 + 2, 5), damaged},
        {"polygon with more corners than it holds", WmfWriter(area, 96).record(0x0324, {1000, 1, 2, 3, 4}).bytes(),
         damaged},
        {"polygons counted absurdly", WmfWriter(area, 96).record(0x0538, {65535, 65535, 65535}).bytes(), damaged},
        {"polygon of absurd corners", WmfWriter(area, 96).record(0x0538, {2, 3, 65535, 1, 1, 2, 2, 3, 3}).bytes(),
         damaged},
        {"rectangle of two words", WmfWriter(area, 96).record(0x041B, {1, 2}).bytes(), damaged},
        {"pen of one word", WmfWriter(area, 96).record(0x02FA, {0}).bytes(), damaged},
        {"bitmap record without a bitmap",
         WmfWriter(area, 96).record(0x0F43, {0x20, 0xCC, 0, 30, 40, 0, 0, 30, 40, 0, 0}).bytes(), damaged},
        {"bitmap of nonsense",
         WmfWriter(area, 96)
             .record(0x0F43, {0x20, 0xCC, 0, 30, 40, 0, 0, 30, 40, 0, 0}, std::string(60, '\x11'))
             .bytes(),
         damaged},
        {"bitmap cut short", shortBitmap, damaged},
        {"bitmap claiming 100000 x 100000", bomb, "resim çok büyük (100000 × 100000 nokta, 38147 MB; en çok 1024 MB)"},
        {"bounds of 30000 x 30000 pixels", WmfWriter(QRect(0, 0, 30000, 30000), 96).bytes(),
         "resim çok büyük (30000 × 30000 nokta, 3434 MB; en çok 1024 MB)"},
        {"widest bounds at one unit an inch", WmfWriter(QRect(-32768, -32768, 65535, 65535), 1).bytes(),
         "resim çok büyük (6291360 × 6291360 nokta, 150990337 MB; en çok 1024 MB)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = Clock::now();
        const LoadedPicture loaded = decodePicture(QByteArray::fromStdString(c.bytes));
        EXPECT_EQ(loaded.error, c.reason);
        EXPECT_TRUE(loaded.image.isNull());
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    }
}

TEST(WmfPicture, GivesUpOnDrawingThatWouldNeverEnd) {
    struct Case {
        const char* name;
        QRect canvas;
        QRect shape;
        int drawn;   // this many are drawn
        int refused; // this many are not
    };
    const Case cases[] = {
        {"rectangles over a million pixels", {0, 0, 1000, 1000}, {0, 0, 1000, 1000}, 6, 20000},
        {"dots", {0, 0, 100, 100}, {5, 5, 1, 1}, 10000, 400000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto shapes = [&](int count) {
            WmfWriter writer(c.canvas, 96);
            for (int i = 0; i < count; ++i) writer.rectangle(c.shape);
            return QByteArray::fromStdString(writer.bytes());
        };
        EXPECT_TRUE(decodePicture(shapes(c.drawn)).ok());
        const QByteArray endless = shapes(c.refused);
        const auto start = Clock::now();
        EXPECT_EQ(decodePicture(endless).error, "çizim çok karmaşık");
        // Well under a second as built for use; the bound leaves room for sanitizer builds.
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    }
}

} // namespace
} // namespace kanat
