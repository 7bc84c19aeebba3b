// Exercises each library of the Windows cache the way the program does: a Qt window drawn on
// the offscreen platform, the image formats, the Turkish Qt translation, QtConcurrent, a
// TurboJPEG round trip, and OpenCV's SIFT with estimateAffinePartial2D on a known turn.
#include <QApplication>
#include <QBuffer>
#include <QFontDatabase>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <gtest/gtest.h>
#include <opencv2/calib3d.hpp>
#include <opencv2/core.hpp>
#include <opencv2/features2d.hpp>
#include <opencv2/imgproc.hpp>
#include <turbojpeg.h>

#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

namespace {

// moc runs on the build machine for a Windows target: a signal of our own proves it.
class Counter : public QObject {
  Q_OBJECT
public:
  void bump() { emit bumped(++count_); }
signals:
  void bumped(int count);

private:
  int count_ = 0;
};

int darkPixels(const QImage& image) {
  int dark = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 100) ++dark;
  return dark;
}

QImage gradient(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
  return image;
}

TEST(Qt, OffscreenWindowDrawsItsText) {
  EXPECT_EQ(QGuiApplication::platformName(), "offscreen");
  EXPECT_FALSE(QFontDatabase::families().isEmpty()) << "no fonts: is QT_QPA_FONTDIR set?";

  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* label = new QLabel("Kanat ölçümü: ğüşıöç İĞÜŞ");
  layout->addWidget(label);
  layout->addWidget(new QPushButton("Tamam"));
  window.setStyleSheet("background: white; color: black;");
  window.resize(320, 120);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.size(), QSize(320, 120));
  // The label's glyphs are the dark pixels: none would mean no font was found.
  const QImage labelPart = label->grab().toImage();
  EXPECT_GT(darkPixels(labelPart), 50);
  std::printf("window %dx%d, label %d dark pixels, %lld font families\n", shot.width(),
              shot.height(), darkPixels(labelPart),
              static_cast<long long>(QFontDatabase::families().size()));
}

TEST(Qt, StylesIncludeWindowsVista) {
  const QStringList keys = QStyleFactory::keys();
  std::printf("styles: %s\n", qPrintable(keys.join(", ")));
  EXPECT_TRUE(keys.contains("windowsvista", Qt::CaseInsensitive));
  EXPECT_TRUE(keys.contains("Fusion", Qt::CaseInsensitive));
}

TEST(Qt, ImageFormatsRoundTrip) {
  const QList<QByteArray> formats = QImageReader::supportedImageFormats();
  std::printf("image formats: %s\n", formats.join(' ').constData());
  const QImage original = gradient(64, 48);
  for (const char* format : {"bmp", "png", "jpeg"}) {
    ASSERT_TRUE(formats.contains(format)) << format;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, format).write(original)) << format;
    QImage back;
    ASSERT_TRUE(back.loadFromData(bytes, format)) << format;
    EXPECT_EQ(back.size(), original.size()) << format;
    const int tolerance = QByteArray(format) == "jpeg" ? 12 : 0;
    const QRgb a = original.pixel(40, 30), b = back.pixel(40, 30);
    EXPECT_LE(std::abs(qRed(a) - qRed(b)), tolerance) << format;
    EXPECT_LE(std::abs(qGreen(a) - qGreen(b)), tolerance) << format;
  }
  // Qt writes no GIF: a 1x1 picture whose one pixel is colour 0 (black) of its table.
  ASSERT_TRUE(formats.contains("gif"));
  static const char gifBytes[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff"
                                 ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
  const QByteArray gif(gifBytes, sizeof gifBytes - 1);
  ASSERT_EQ(gif.size(), 35);
  QImage fromGif;
  ASSERT_TRUE(fromGif.loadFromData(gif, "gif"));
  EXPECT_EQ(fromGif.size(), QSize(1, 1));
  EXPECT_EQ(qGray(fromGif.pixel(0, 0)), 0);
}

TEST(Qt, TurkishTranslationLoadsFromTheQtPrefix) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  std::printf("translations: %s\n", qPrintable(folder));
  QTranslator translator;
  ASSERT_TRUE(translator.load(QLocale(QLocale::Turkish), "qtbase", "_", folder));
  QCoreApplication::installTranslator(&translator);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Evet"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("İptal"));
  QCoreApplication::removeTranslator(&translator);
}

TEST(Qt, ConcurrentAndSignals) {
  std::vector<int> numbers(1000);
  std::iota(numbers.begin(), numbers.end(), 1);
  const QList<long long> squares =
      QtConcurrent::blockingMapped<QList<long long>>(numbers, [](int n) { return 1LL * n * n; });
  EXPECT_EQ(std::accumulate(squares.begin(), squares.end(), 0LL), 333833500LL);

  Counter counter;
  QSignalSpy spy(&counter, &Counter::bumped);
  counter.bump();
  counter.bump();
  ASSERT_EQ(spy.count(), 2);
  EXPECT_EQ(spy.at(1).at(0).toInt(), 2);
}

TEST(TurboJpeg, CompressesAndDecompresses) {
  const int width = 96, height = 64;
  std::vector<unsigned char> rgb(width * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &rgb[(y * width + x) * 3];
      p[0] = static_cast<unsigned char>(x * 255 / width);
      p[1] = static_cast<unsigned char>(y * 255 / height);
      p[2] = 90;
    }
  tjhandle compressor = tjInitCompress();
  ASSERT_NE(compressor, nullptr);
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  ASSERT_EQ(tjCompress2(compressor, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &jpegSize,
                        TJSAMP_444, 95, 0),
            0)
      << tjGetErrorStr2(compressor);
  tjDestroy(compressor);

  tjhandle decompressor = tjInitDecompress();
  int w = 0, h = 0, subsampling = 0, colourspace = 0;
  ASSERT_EQ(tjDecompressHeader3(decompressor, jpeg, jpegSize, &w, &h, &subsampling, &colourspace), 0);
  EXPECT_EQ(w, width);
  EXPECT_EQ(h, height);
  std::vector<unsigned char> back(width * height * 3);
  ASSERT_EQ(tjDecompress2(decompressor, jpeg, jpegSize, back.data(), width, 0, height, TJPF_RGB, 0),
            0)
      << tjGetErrorStr2(decompressor);
  tjDestroy(decompressor);
  tjFree(jpeg);

  double error = 0;
  for (size_t i = 0; i < rgb.size(); ++i) error += std::abs(int(rgb[i]) - int(back[i]));
  error /= double(rgb.size());
  std::printf("turbojpeg: %lu bytes, mean error %.2f\n", jpegSize, error);
  EXPECT_LT(error, 2.0);
}

// The "Parallel framework:" line of OpenCV's build summary.
std::string parallelFramework() {
  const std::string information = cv::getBuildInformation();
  const std::string key = "Parallel framework:";
  const size_t at = information.find(key);
  if (at == std::string::npos) return "?";
  const size_t start = information.find_first_not_of(' ', at + key.size());
  return information.substr(start, information.find('\n', start) - start);
}

TEST(OpenCv, SiftAndPartialAffineRecoverAKnownTurn) {
  // Shapes on a plain ground, then the same picture turned 12 degrees, scaled by 1.05 and moved.
  cv::Mat picture(320, 320, CV_8UC1, cv::Scalar(40));
  cv::RNG rng(20240607);
  for (int i = 0; i < 40; ++i) {
    const cv::Point centre(rng.uniform(20, 300), rng.uniform(20, 300));
    const cv::Scalar shade(rng.uniform(90, 255));
    if (i % 2)
      cv::circle(picture, centre, rng.uniform(4, 18), shade, cv::FILLED);
    else
      cv::rectangle(picture, centre, centre + cv::Point(rng.uniform(6, 30), rng.uniform(6, 30)),
                    shade, cv::FILLED);
  }
  cv::GaussianBlur(picture, picture, cv::Size(3, 3), 0);
  const double angle = 12.0, scale = 1.05;
  cv::Mat turn = cv::getRotationMatrix2D(cv::Point2f(160, 160), angle, scale);
  turn.at<double>(0, 2) += 7;
  turn.at<double>(1, 2) -= 5;
  cv::Mat turned;
  cv::warpAffine(picture, turned, turn, picture.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT,
                 cv::Scalar(40));

  cv::Ptr<cv::SIFT> sift = cv::SIFT::create();
  std::vector<cv::KeyPoint> points1, points2;
  cv::Mat descriptors1, descriptors2;
  sift->detectAndCompute(picture, cv::noArray(), points1, descriptors1);
  sift->detectAndCompute(turned, cv::noArray(), points2, descriptors2);
  ASSERT_GT(points1.size(), 30u);
  ASSERT_GT(points2.size(), 30u);

  cv::FlannBasedMatcher matcher;
  std::vector<std::vector<cv::DMatch>> candidates;
  matcher.knnMatch(descriptors1, descriptors2, candidates, 2);
  std::vector<cv::Point2f> from, to;
  for (const auto& pair : candidates)
    if (pair.size() == 2 && pair[0].distance < 0.75f * pair[1].distance) {
      from.push_back(points1[pair[0].queryIdx].pt);
      to.push_back(points2[pair[0].trainIdx].pt);
    }
  ASSERT_GE(from.size(), 10u);

  std::vector<unsigned char> inliers;
  const cv::Mat found = cv::estimateAffinePartial2D(from, to, inliers, cv::RANSAC, 2.0);
  ASSERT_FALSE(found.empty());
  const double a = found.at<double>(0, 0), b = found.at<double>(1, 0);
  const double foundScale = std::hypot(a, b);
  // getRotationMatrix2D turns counter-clockwise on screen: b is minus the sine.
  const double foundAngle = -std::atan2(b, a) * 180.0 / CV_PI;
  std::printf("opencv %s (%s, %d threads): %zu and %zu keypoints, %zu matches, %d inliers, "
              "turn %.2f degrees, scale %.4f\n",
              CV_VERSION, parallelFramework().c_str(), cv::getNumThreads(), points1.size(),
              points2.size(), from.size(), cv::countNonZero(inliers), foundAngle, foundScale);
  EXPECT_EQ(parallelFramework(), "pthreads");
  EXPECT_NEAR(foundAngle, angle, 0.3);
  EXPECT_NEAR(foundScale, scale, 0.01);
  EXPECT_NEAR(found.at<double>(0, 2), turn.at<double>(0, 2), 1.5);
  EXPECT_NEAR(found.at<double>(1, 2), turn.at<double>(1, 2), 1.5);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  std::printf("Qt %s on %s, %s\n", qVersion(), qPrintable(QSysInfo::prettyProductName()),
              qPrintable(QLibraryInfo::path(QLibraryInfo::PrefixPath)));
  return RUN_ALL_TESTS();
}

#include "windows_check.moc"
