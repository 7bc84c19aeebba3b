#include "picture/jpeg_decoder.h"
#include "picture/picture_loader.h"
#include "tests/picture_corpus.h"
#include "tests/test_support.h"
#include "tests/turbo_jpeg.h"
#include "tests/wmf_writer.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kanat {
namespace {

using namespace test;
using Clock = std::chrono::steady_clock;

// 16-pixel blocks line up with a JPEG's colour blocks, so that their middles survive it.
const QImage blocks = colourBlocks({64, 48}, 16);

QByteArray wmfOf(const QImage& image) {
    return QByteArray::fromStdString(WmfWriter(image.rect(), 96).stretchDib(image.rect(), image).bytes());
}

class PictureLoader : public ::testing::Test {
protected:
    void SetUp() override { folder = makeTemporaryFolder(); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string file(const std::string& name, const QByteArray& bytes) {
        const std::string path = folder + "/" + name;
        writeFile(path, bytes);
        return path;
    }
    LoadedPicture load(const std::string& path) { return loadPicture(QString::fromStdString(path)); }
    std::string folder;
};

TEST_F(PictureLoader, ReadsEveryFormatWithItsPixels) {
    const QImage frame2 = colourBlocks({64, 48}, 8).mirrored(true, false);
    struct Case {
        const char* name;
        QByteArray bytes;
        int tolerance; // largest channel difference in a block's middle
    };
    std::vector<Case> cases = {
        {"wing.bmp", encoded(blocks, "bmp"), 0},
        {"wing-8bit.bmp", encoded(blocks.convertToFormat(QImage::Format_Indexed8), "bmp"), 0},
        {"wing.png", encoded(blocks, "png"), 0},
        {"wing.jpg", encoded(blocks, "jpeg", 100), 6},
        {"wing.gif", gif({blocks}), 0},
        {"animated.gif", gif({blocks, frame2}), 0},
        {"wing.wmf", wmfOf(blocks), 0},
        {"really-a-png.jpg", encoded(blocks, "png"), 0},
        {"no-name-at-all", encoded(blocks, "bmp"), 0},
    };
    if (qtHasTiff()) cases.push_back({"wing.tif", encoded(blocks, "tiff"), 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedPicture loaded = load(file(c.name, c.bytes));
        ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
        EXPECT_EQ(loaded.image.size(), blocks.size());
        EXPECT_LE(largestChannelDifference(loaded.image, blocks, 16, c.tolerance ? 3 : 0), c.tolerance);
    }
}

// Every scan of a progressive JPEG goes over the whole picture once more.
QByteArray withScansRepeated(const QByteArray& jpeg, int extra) {
    const qsizetype scan = jpeg.indexOf("\xFF\xDA"), end = jpeg.lastIndexOf("\xFF\xD9");
    return jpeg.left(end) + jpeg.mid(scan, end - scan).repeated(extra) + jpeg.mid(end);
}

TEST_F(PictureLoader, ReadsAJpegWhateverFollowsItsEnd) {
    // Phones append a second picture or a video, whose bytes may look like JPEG markers.
    const QByteArray appended = encoded(blocks, "jpeg", 100) + "\xFF\xDA\x01\x08 a video \xFF\xC4";
    const LoadedPicture loaded = load(file("motion.jpg", appended));
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    EXPECT_LE(largestChannelDifference(loaded.image, blocks, 16, 3), 6);
}

TEST_F(PictureLoader, LeavesAJpegsExifOrientationAsStored) {
    const QByteArray turned = withExifOrientation(encoded(blocks, "jpeg", 100), 6);
    const std::string path = file("turned.jpg", turned);
    QImageReader rotating(QString::fromStdString(path));
    rotating.setAutoTransform(true);
    ASSERT_EQ(rotating.read().size(), blocks.size().transposed()) << "the EXIF block is not read";
    const LoadedPicture loaded = load(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.image.size(), blocks.size());
    EXPECT_LE(largestChannelDifference(loaded.image, blocks, 16, 3), 6);
}

// Shading under noise with sharp edges, at a size no whole number of colour blocks, so that
// every DCT coefficient and the upsampling at the borders have work to do.
QImage detailedPicture() {
    const QSize size(203, 141);
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 random(5);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int noise = static_cast<int>(random() % 48);
            const int edge = ((x / 9) ^ (y / 7)) & 1 ? 190 : 30;
            image.setPixel(x, y, qRgb(x + noise, edge + noise, (y * 255 / size.height() + noise) % 256));
        }
    return image;
}

QImage readByQt(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false);
    return reader.read();
}

// Lines whose bytes differ, the fourth byte of RGB32 included.
int differingLines(const QImage& a, const QImage& b) {
    const auto lineBytes = static_cast<std::size_t>(a.width() * a.depth() / 8);
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        differing += std::memcmp(a.constScanLine(y), b.constScanLine(y), lineBytes) != 0;
    return differing;
}

TEST(JpegDecoder, GivesTheVeryPixelsAndFormatOfQtsReader) {
    const QImage detail = detailedPicture();
    const QByteArray baseline = encoded(detail, "jpeg", 92);
    struct Case {
        const char* name;
        QByteArray bytes;
        bool decodedDirectly; // false: left to Qt's reader
    };
    const Case cases[] = {
        {"baseline 4:2:0 by Qt's writer", baseline, true},
        {"grey by Qt's writer", encoded(detail.convertToFormat(QImage::Format_Grayscale8), "jpeg"), true},
        {"4:4:4", turboJpeg(detail, TJPF_RGB, TJSAMP_444), true},
        {"4:2:2", turboJpeg(detail, TJPF_RGB, TJSAMP_422), true},
        {"grey from colour", turboJpeg(detail, TJPF_RGB, TJSAMP_GRAY), true},
        {"progressive 4:2:0", turboJpeg(detail, TJPF_RGB, TJSAMP_420, TJFLAG_PROGRESSIVE), true},
        {"progressive 4:4:4", turboJpeg(detail, TJPF_RGB, TJSAMP_444, TJFLAG_PROGRESSIVE), true},
        {"CMYK, stored as YCCK", turboJpeg(detail, TJPF_CMYK, TJSAMP_444), false},
        // A restart marker where none belongs: libjpeg warns, and Qt's reader shows the rest.
        {"damaged scan data", overwritten(baseline, baseline.size() / 2, "\xFF\xD3"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.isEmpty()) << "not compressed";
        EXPECT_EQ(decodeJpegDirectly(c.bytes, pictureByteLimit).has_value(), c.decodedDirectly);
        const LoadedPicture loaded = decodePicture(c.bytes);
        ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
        const QImage byQt = readByQt(c.bytes);
        EXPECT_EQ(loaded.image.format(), byQt.format());
        ASSERT_EQ(loaded.image.size(), byQt.size());
        EXPECT_EQ(differingLines(loaded.image, byQt), 0);
    }
}

TEST_F(PictureLoader, RefusesBadFilesWithAReasonAndQuickly) {
    const QByteArray bmp = encoded(blocks, "bmp"), png = encoded(blocks, "png"), jpeg = encoded(blocks, "jpeg", 90),
                     gifFile = gif({blocks}), wmf = wmfOf(blocks);
    const QString damaged = "resim bozuk ya da eksik";
    struct Case {
        const char* name;
        QByteArray bytes;
        QString reason;
    };
    std::vector<Case> cases = {
        {"empty.bmp", {}, "dosya boş"},
        {"notes.jpg", "Kanat ölçümleri, 12 Mart\n", "desteklenmeyen biçim (BMP, JPEG, GIF, PNG, TIFF ya da WMF değil)"},
        {"zeros.gif", QByteArray(1000, '\0'), "desteklenmeyen biçim (BMP, JPEG, GIF, PNG, TIFF ya da WMF değil)"},
        {"cut.bmp", cut(bmp, 0.9), damaged},
        {"cut.png", cut(png, 0.9), damaged},
        {"cut.jpg", cut(jpeg, 0.9), damaged},
        {"cut.gif", cut(gifFile, 0.9), damaged},
        {"cut.wmf", cut(wmf, 0.9), damaged},
        {"magic-only.png", png.left(8), damaged},
        {"magic-only.jpg", jpeg.left(3), damaged},
        {"bad-depth.bmp", overwritten(bmp, 28, "\x07\0"), damaged},
        {"bad-offset.bmp", overwritten(bmp, 10, "\xFF\xFF\xFF\x7F"), damaged},
        {"bad-data.png", overwritten(png, png.indexOf("IDAT") + 4, "\x55\xAA"), damaged},
        {"bad-precision.jpg", overwritten(jpeg, jpeg.indexOf("\xFF\xC0") + 4, "\x07"), damaged},
        {"no-frame.gif", gifFile.left(13 + 768) + ";", damaged},
        {"bad-version.wmf", overwritten(wmf, 22 + 4, "\x07\x07"), damaged},
        {"101-scans.jpg", withScansRepeated(jpeg, 100), damaged},
    };
    if (qtHasTiff()) {
        const QByteArray tiff = encoded(blocks, "tiff");
        cases.push_back({"cut.tif", cut(tiff, 0.5), damaged});
        cases.push_back({"bad-directory.tif", overwritten(tiff, 4, "\xF0\xFF\xFF\x0F"), damaged});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = Clock::now();
        const LoadedPicture loaded = load(file(c.name, c.bytes));
        EXPECT_EQ(loaded.error, c.reason);
        EXPECT_TRUE(loaded.image.isNull());
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    }
}

TEST_F(PictureLoader, SaysWhyAPathIsNoPictureFile) {
#ifndef _WIN32 // Windows' named pipes are not among the files of a folder
    ASSERT_EQ(mkfifo((folder + "/pipe.bmp").c_str(), 0644), 0);
#endif
    struct Case {
        std::string path;
        QString reason;
    };
    const Case cases[] = {
        {folder + "/absent.bmp", "dosya bulunamadı"},
        {"", "dosya bulunamadı"},
        {folder, "bu bir klasör, resim değil"},
#ifndef _WIN32
        {folder + "/pipe.bmp", "sıradan bir dosya değil"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(load(c.path).error, c.reason);
    }
}

#ifndef _WIN32
// Root reads any file whatever its mode, so as root the check runs in a child that has become
// the unprivileged user `nobody`.
QString errorAsUnprivilegedUser(const std::string& path) {
    if (geteuid() != 0) return loadPicture(QString::fromStdString(path)).error;
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        const QByteArray error = loadPicture(QString::fromStdString(path)).error.toUtf8();
        _exit(write(channel[1], error.constData(), error.size()) == error.size() ? 0 : 4);
    }
    close(channel[1]);
    QByteArray error;
    char buffer[256];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) error.append(buffer, n);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed";
    return QString::fromUtf8(error);
}

TEST_F(PictureLoader, SaysSoWhenTheFileMayNotBeRead) {
    const std::string path = file("secret.png", encoded(blocks, "png"));
    ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    EXPECT_EQ(errorAsUnprivilegedUser(path), "okuma izni yok");
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(errorAsUnprivilegedUser(path), "") << "the same file readable loads";
}
#else
TEST_F(PictureLoader, SaysSoWhenTheFileMayNotBeRead) {
    GTEST_SKIP() << "Windows keeps read rights in access lists that no test user can be denied by; "
                    "Wine reads as the Linux user that runs it";
}
#endif

TEST_F(PictureLoader, SaysSoWhenThisBuildCannotReadTiff) {
    if (qtHasTiff()) GTEST_SKIP() << "this build's Qt reads TIFF";
    // A TIFF of one white pixel, as a scanner's software writes it: width, height, 8 bits, no
    // compression, grey, one strip.
    const QByteArray tiff = tiffStructure(
        {{256, 3, {1}}, {257, 3, {1}}, {258, 3, {8}}, {259, 3, {1}}, {262, 3, {1}}, {273, 4, {8}}, {279, 4, {1}}});
    EXPECT_EQ(load(file("scan.tif", tiff)).error,
              "bu kurulum TIFF resimlerini açamıyor; resmi PNG ya da JPEG olarak kaydedin");
}

TEST_F(PictureLoader, RefusesDecompressionBombsFromTheirHeaders) {
    const QSize huge(100000, 100000), widest(65535, 65535);
    struct Case {
        const char* name;
        QByteArray bytes;
        QString reason;
    };
    std::vector<Case> cases = {
        {"bomb.png", pngClaiming(huge), "resim çok büyük (100000 × 100000 nokta, 38147 MB; en çok 1024 MB)"},
        {"bomb.bmp", bmpClaiming(huge), "resim çok büyük (100000 × 100000 nokta, 38147 MB; en çok 1024 MB)"},
        {"bomb.gif", gifClaiming(widest), "resim çok büyük (65535 × 65535 nokta, 16384 MB; en çok 1024 MB)"},
        {"bomb.jpg", jpegClaiming(encoded(blocks, "jpeg"), {65500, 65500}),
         "resim çok büyük (65500 × 65500 nokta, 16367 MB; en çok 1024 MB)"},
        {"just-over.bmp", bmpClaiming({16384, 16385}),
         "resim çok büyük (16384 × 16385 nokta, 1025 MB; en çok 1024 MB)"},
    };
    if (qtHasTiff())
        cases.push_back({"bomb.tif", tiffClaiming(encoded(blocks, "tiff"), huge),
                         "resim çok büyük (100000 × 100000 nokta, 38147 MB; en çok 1024 MB)"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = Clock::now();
        EXPECT_EQ(load(file(c.name, c.bytes)).error, c.reason);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    }
}

TEST(PictureLimit, AcceptsExactlyTheLimitAndNotAByteMore) {
    const QByteArray png = encoded(blocks, "png");
    const qint64 bytes = qint64{blocks.width()} * blocks.height() * 4;
    EXPECT_TRUE(decodePicture(png, bytes).ok());
    EXPECT_EQ(decodePicture(png, bytes - 1).error, "resim çok büyük (64 × 48 nokta, 1 MB; en çok 1 MB)");
    EXPECT_TRUE(decodePicture(wmfOf(blocks), bytes).ok());
    EXPECT_FALSE(decodePicture(wmfOf(blocks), bytes - 1).ok());
}

// A sparse file: a 24-bit BMP whose pixel rows are all zero but for the first byte written,
// the blue of the bottom-left pixel. Decoded it takes 432 MB, well past Qt's own ceiling.
TEST_F(PictureLoader, LoadsAPictureOfTwelveThousandByNineThousand) {
    const QSize size(12000, 9000);
    QByteArray header = bmpClaiming(size).left(54);
    header += '\xFF';
    const std::string path = file("large.bmp", header);
    std::filesystem::resize_file(path, 54 + std::uintmax_t{12000} * 3 * 9000);
    const LoadedPicture loaded = load(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.image.size(), size);
    EXPECT_EQ(loaded.image.pixel(0, 8999), qRgb(0, 0, 255));
    EXPECT_EQ(loaded.image.pixel(11999, 0), qRgb(0, 0, 0));
}

} // namespace
} // namespace kanat
