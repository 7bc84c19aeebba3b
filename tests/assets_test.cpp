// The window icon and the landmark guide, read back from the program's resources.

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

QByteArray resource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage picture(const QString& path) { return QImage::fromData(resource(path)); }

// The .ico container is parsed by hand here, so that a slip of its writer shows.

// Little-endian fields read byte by byte; -1 past the end.
qint64 littleEndian(const QByteArray& bytes, qsizetype at, int size) {
    if (at < 0 || at + size > bytes.size()) return -1;
    qint64 value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

int u16(const QByteArray& bytes, qsizetype at) { return static_cast<int>(littleEndian(bytes, at, 2)); }

qint64 u32(const QByteArray& bytes, qsizetype at) { return littleEndian(bytes, at, 4); }

struct IconEntry {
    int width, height, colourCount, reserved, planes, bitsPerPixel;
    qint64 bytes, offset;
};

std::vector<IconEntry> iconEntries(const QByteArray& ico) {
    std::vector<IconEntry> entries;
    for (int i = 0; i < u16(ico, 4); ++i) {
        const qsizetype at = 6 + 16 * i;
        if (at + 16 > ico.size()) break;
        const auto byte = [&](int k) { return int(quint8(ico[at + k])); };
        entries.push_back({byte(0), byte(1), byte(2), byte(3), u16(ico, at + 4), u16(ico, at + 6), u32(ico, at + 8),
                           u32(ico, at + 12)});
    }
    return entries;
}

qint64 dibRowBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

// Bytes of a DIB icon picture: header, palette, colour rows, mask rows.
qint64 dibBytes(int size, int bitsPerPixel) {
    const qint64 palette = bitsPerPixel == 8 ? 256 * 4 : 0;
    return 40 + palette + size * (dibRowBytes(size, bitsPerPixel) + dibRowBytes(size, 1));
}

const QString icoPath = ":/assets/kanat.ico";

TEST(WindowIconFile, HoldsSixPicturesOf48_32And16PixelsAt8And32Bits) {
    const QByteArray ico = resource(icoPath);
    ASSERT_GE(ico.size(), 6);
    EXPECT_EQ(u16(ico, 0), 0);
    EXPECT_EQ(u16(ico, 2), 1) << "type 1 is an icon, 2 a cursor";
    ASSERT_EQ(u16(ico, 4), 6);

    std::vector<std::pair<int, int>> kinds;
    for (const IconEntry& entry : iconEntries(ico)) kinds.emplace_back(entry.width, entry.bitsPerPixel);
    std::sort(kinds.begin(), kinds.end());
    const std::vector<std::pair<int, int>> expected{{16, 8}, {16, 32}, {32, 8}, {32, 32}, {48, 8}, {48, 32}};
    EXPECT_EQ(kinds, expected);
}

TEST(WindowIconFile, EveryEntryPointsInsideTheFileAtAnUncompressedDibOfItsOwnSize) {
    const QByteArray ico = resource(icoPath);
    const std::vector<IconEntry> entries = iconEntries(ico);
    ASSERT_EQ(entries.size(), 6u);
    for (const IconEntry& e : entries) {
        SCOPED_TRACE(testing::Message() << e.width << " px, " << e.bitsPerPixel << " bits");
        EXPECT_EQ(e.height, e.width);
        EXPECT_EQ(e.colourCount, 0) << "0 stands for 256 colours and for none";
        EXPECT_EQ(e.reserved, 0);
        EXPECT_EQ(e.planes, 1);
        ASSERT_GE(e.offset, 6 + 16 * 6);
        ASSERT_LE(e.offset + e.bytes, ico.size());
        EXPECT_EQ(e.bytes, dibBytes(e.width, e.bitsPerPixel));

        const qint64 h = e.offset;
        EXPECT_EQ(u32(ico, h), 40) << "BITMAPINFOHEADER";
        EXPECT_EQ(u32(ico, h + 4), e.width);
        EXPECT_EQ(u32(ico, h + 8), 2 * e.width) << "colour rows and mask rows";
        EXPECT_EQ(u16(ico, h + 12), 1);
        EXPECT_EQ(u16(ico, h + 14), e.bitsPerPixel);
        EXPECT_EQ(u32(ico, h + 16), 0) << "uncompressed";
        EXPECT_LE(u32(ico, h + 32), 256);
    }
}

TEST(WindowIconFile, PicturesFollowTheDirectoryWithoutOverlapping) {
    const QByteArray ico = resource(icoPath);
    std::vector<IconEntry> entries = iconEntries(ico);
    std::sort(entries.begin(), entries.end(),
              [](const IconEntry& a, const IconEntry& b) { return a.offset < b.offset; });
    qint64 end = 6 + 16 * qint64(entries.size());
    for (const IconEntry& e : entries) {
        EXPECT_GE(e.offset, end);
        end = e.offset + e.bytes;
    }
    EXPECT_EQ(end, ico.size()) << "nothing trails the last picture";
}

// Older desktops read the AND mask, newer ones the alpha bytes; both must agree.
TEST(WindowIconFile, TrueColourPicturesSayTransparencyInAlphaAndMask) {
    const QByteArray ico = resource(icoPath);
    for (const IconEntry& e : iconEntries(ico)) {
        if (e.bitsPerPixel != 32) continue;
        SCOPED_TRACE(testing::Message() << e.width << " px");
        const qint64 pixels = e.offset + 40;
        const qint64 mask = pixels + e.width * dibRowBytes(e.width, 32);
        const int centre = e.width / 2;
        const qint64 centreRow = e.width - 1 - centre; // rows are stored bottom-up
        ASSERT_LE(mask + e.width * dibRowBytes(e.width, 1), ico.size());
        EXPECT_EQ(quint8(ico[pixels + 3]), 0) << "corner alpha";
        EXPECT_EQ(quint8(ico[mask]) & 0x80, 0x80) << "corner mask bit";
        EXPECT_EQ(quint8(ico[pixels + centreRow * e.width * 4 + centre * 4 + 3]), 255);
        EXPECT_EQ(quint8(ico[mask + centreRow * dibRowBytes(e.width, 1) + centre / 8]) & (0x80 >> (centre % 8)), 0);
    }
}

// The icon as Qt decodes it.

std::vector<QImage> iconPictures() {
    QImageReader reader(icoPath);
    std::vector<QImage> pictures;
    for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i)
        pictures.push_back(reader.read().convertToFormat(QImage::Format_ARGB32));
    return pictures;
}

QImage trueColourPicture(int size) {
    const std::vector<IconEntry> entries = iconEntries(resource(icoPath));
    const std::vector<QImage> pictures = iconPictures();
    for (size_t i = 0; i < entries.size() && i < pictures.size(); ++i)
        if (entries[i].width == size && entries[i].bitsPerPixel == 32) return pictures[i];
    return {};
}

// The Windows build's Qt has no ICO plugin: Windows itself shows the icon from kanat.exe's
// resources (tests/windows_install_test.sh checks that it is there).
#define SKIP_WITHOUT_QT_ICO_READER()                                                                                   \
    if (!QImageReader::supportedImageFormats().contains("ico")) GTEST_SKIP() << "this Qt has no ICO reader"

bool isBlack(QRgb p) { return qAlpha(p) == 255 && std::max({qRed(p), qGreen(p), qBlue(p)}) < 40; }

TEST(WindowIconPictures, QtReadsAllSixAtTheirSizes) {
    SKIP_WITHOUT_QT_ICO_READER();
    const std::vector<IconEntry> entries = iconEntries(resource(icoPath));
    const std::vector<QImage> pictures = iconPictures();
    ASSERT_EQ(entries.size(), 6u);
    ASSERT_EQ(pictures.size(), 6u);
    for (size_t i = 0; i < pictures.size(); ++i)
        EXPECT_EQ(pictures[i].size(), QSize(entries[i].width, entries[i].width)) << "picture " << i;
}

// Pixels on the square ring at `inset` from the picture's edge that fail the check.
template <typename Check> int offRing(const QImage& icon, int inset, Check check) {
    const int last = icon.width() - 1 - inset;
    int off = 0;
    for (int i = inset; i <= last; ++i)
        off += !check(icon.pixel(i, inset)) + !check(icon.pixel(i, last)) + !check(icon.pixel(inset, i)) +
               !check(icon.pixel(last, i));
    return off;
}

// A ring one sixteenth of the side wide is transparent; inside it lies the black frame.
TEST(WindowIconPictures, TransparentRingThenBlackFrameThenWhite) {
    SKIP_WITHOUT_QT_ICO_READER();
    const std::vector<QImage> pictures = iconPictures();
    ASSERT_EQ(pictures.size(), 6u);
    const auto transparent = [](QRgb p) { return qAlpha(p) == 0; };
    const auto white = [](QRgb p) { return qAlpha(p) == 255 && std::min({qRed(p), qGreen(p), qBlue(p)}) >= 240; };
    for (const QImage& icon : pictures) {
        const int ring = icon.width() / 16;
        SCOPED_TRACE(testing::Message() << icon.width() << " px");
        for (int inset = 0; inset < ring; ++inset) EXPECT_EQ(offRing(icon, inset, transparent), 0) << "inset " << inset;
        for (int inset = ring; inset < 2 * ring; ++inset)
            EXPECT_EQ(offRing(icon, inset, isBlack), 0) << "inset " << inset;
        EXPECT_EQ(offRing(icon, 2 * ring, white), 0) << "the bee keeps clear of the frame";
    }
}

TEST(WindowIconPictures, ShowARedYellowAndBlackBeeWithGreyWings) {
    SKIP_WITHOUT_QT_ICO_READER();
    for (const int size : {32, 48}) {
        const QImage icon = trueColourPicture(size);
        ASSERT_EQ(icon.width(), size);
        int red = 0, yellow = 0, grey = 0, band = 0;
        const int inside = size / 8;
        for (int y = inside; y < size - inside; ++y)
            for (int x = inside; x < size - inside; ++x) {
                const int r = qRed(icon.pixel(x, y)), g = qGreen(icon.pixel(x, y)), b = qBlue(icon.pixel(x, y));
                red += r > 170 && g < 90 && b < 90;
                yellow += r > 200 && g > 160 && b < 90;
                grey += r > 150 && r < 225 && std::abs(r - g) < 12 && std::abs(b - g) < 16;
                band += r < 50 && g < 50 && b < 50;
            }
        const int area = size * size;
        EXPECT_GT(red, area / 60) << size;
        EXPECT_GT(yellow, area / 60) << size;
        EXPECT_GT(grey, area / 60) << size;
        EXPECT_GT(band, area / 60) << size;
    }
}

double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) +
                   std::abs(qAlpha(p) - qAlpha(q));
        }
    return sum / (4.0 * a.width() * a.height());
}

TEST(WindowIconPictures, PalettedPicturesLookLikeTheTrueColourOnes) {
    SKIP_WITHOUT_QT_ICO_READER();
    const std::vector<IconEntry> entries = iconEntries(resource(icoPath));
    const std::vector<QImage> pictures = iconPictures();
    ASSERT_EQ(pictures.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].bitsPerPixel != 8) continue;
        const QImage trueColour = trueColourPicture(entries[i].width);
        ASSERT_EQ(trueColour.size(), pictures[i].size());
        EXPECT_LT(meanDifference(pictures[i], trueColour), 2.0) << entries[i].width << " px";
    }
}

TEST(WindowIconPictures, PngIconsAreTheSamePicturesAsTheIconFile) {
    SKIP_WITHOUT_QT_ICO_READER();
    for (const int size : {16, 32, 48, 256}) {
        const QImage png =
            picture(QString(":/assets/icons/kanat-%1.png").arg(size)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(png.size(), QSize(size, size));
        if (size == 256) {
            EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0);
            EXPECT_TRUE(isBlack(png.pixel(size / 2, size / 16)));
            continue;
        }
        EXPECT_EQ(png, trueColourPicture(size)) << size << " px";
    }
}

// The landmark guide.

constexpr int guideWidth = 517, guideHeight = 169, captionTop = 147;

struct NumberBox {
    int number, acrossPercent, downPercent;
    QPoint centre() const {
        return {int(acrossPercent * guideWidth / 100.0 + 0.5), int(downPercent * guideHeight / 100.0 + 0.5)};
    }
};

const std::vector<NumberBox> numberBoxes{
    {1, 14, 15},  {2, 23, 11},  {3, 27, 11},  {4, 34, 7},   {5, 19, 34},  {6, 27, 35},
    {7, 30, 29},  {8, 34, 28},  {9, 41, 24},  {10, 53, 21}, {11, 26, 57}, {12, 43, 56},
    {13, 49, 43}, {14, 63, 39}, {15, 91, 22}, {16, 42, 72}, {17, 49, 64}, {18, 64, 52},
};

bool isNearWhite(QRgb p) { return std::min({qRed(p), qGreen(p), qBlue(p)}) >= 235; }
bool isInk(QRgb p) { return std::max({qRed(p), qGreen(p), qBlue(p)}) <= 100; }

QImage guide() { return picture(":/assets/landmark-guide.png").convertToFormat(QImage::Format_RGB32); }

TEST(LandmarkGuide, Is517By169Pixels) { EXPECT_EQ(guide().size(), QSize(guideWidth, guideHeight)); }

TEST(LandmarkGuide, EachNumberStandsOnAWhiteBoxAtItsPosition) {
    const QImage image = guide();
    ASSERT_EQ(image.size(), QSize(guideWidth, guideHeight));
    for (const NumberBox& box : numberBoxes) {
        SCOPED_TRACE(testing::Message() << "landmark " << box.number);
        int white = 0, ink = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) {
                const QRgb p = image.pixel(box.centre() + QPoint(dx, dy));
                white += isNearWhite(p);
                ink += isInk(p);
            }
        EXPECT_GE(white, 15);
        EXPECT_GE(ink, 3) << "the number itself";
    }
}

TEST(LandmarkGuide, NothingElseOnThePhotographIsWhite) {
    const QImage image = guide();
    ASSERT_EQ(image.size(), QSize(guideWidth, guideHeight));
    const auto nearABox = [](QPoint p) {
        return std::any_of(numberBoxes.begin(), numberBoxes.end(), [&](const NumberBox& box) {
            return std::abs(p.x() - box.centre().x()) <= 9 && std::abs(p.y() - box.centre().y()) <= 7;
        });
    };
    int stray = 0;
    for (int y = 0; y < captionTop; ++y)
        for (int x = 0; x < guideWidth; ++x) stray += isNearWhite(image.pixel(x, y)) && !nearABox({x, y});
    EXPECT_EQ(stray, 0);
}

QColor meanColour(const QImage& image, const QRect& area) {
    long r = 0, g = 0, b = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            r += qRed(image.pixel(x, y));
            g += qGreen(image.pixel(x, y));
            b += qBlue(image.pixel(x, y));
        }
    const long n = long(area.width()) * area.height();
    return QColor(int(r / n), int(g / n), int(b / n));
}

TEST(LandmarkGuide, ApexIsDarkBrownAndTheBasalPartPaleAmber) {
    const QImage image = guide();
    ASSERT_EQ(image.size(), QSize(guideWidth, guideHeight));
    const QColor apex = meanColour(image, QRect(20, 50, 20, 20));
    EXPECT_LT(apex.red(), 90);
    EXPECT_GT(apex.red(), apex.blue() + 15);

    const QColor base = meanColour(image, QRect(440, 55, 20, 6));
    EXPECT_GT(base.red(), 200);
    EXPECT_GT(base.red(), base.green());
    EXPECT_GT(base.green(), base.blue() + 25);
}

TEST(LandmarkGuide, OneCentredCaptionLineOnWhiteBelowTheWing) {
    const QImage image = guide();
    ASSERT_EQ(image.size(), QSize(guideWidth, guideHeight));
    int left = guideWidth, right = -1, top = guideHeight, bottom = -1, other = 0;
    for (int y = captionTop; y < guideHeight; ++y)
        for (int x = 0; x < guideWidth; ++x) {
            const QRgb p = image.pixel(x, y);
            if (isInk(p)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            } else if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) {
                ++other;
            }
        }
    EXPECT_EQ(other, 0) << "black text on white only";
    ASSERT_GE(right, 0) << "no caption";
    EXPECT_GT(right - left, 150);
    EXPECT_NEAR((left + right) / 2.0, guideWidth / 2.0, 6);
    EXPECT_LE(bottom - top, 15) << "one line";
    EXPECT_GT(top, captionTop) << "a white margin above";
    EXPECT_LT(bottom, guideHeight - 1) << "and below";
    EXPECT_NE(image.pixel(guideWidth / 2, captionTop - 1), qRgb(255, 255, 255))
        << "the photograph ends where the caption's white begins";
}

} // namespace
