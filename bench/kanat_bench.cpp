// kanat-bench: how fast the window opens, zooms, places landmarks and calculates on today's
// large wing photographs, and how fast the batch calculator goes; offscreen, on pictures it
// makes itself. Prints one figure a line as "name: value unit".
#include "bench/bench_window.h"
#include "bench/collection_figures.h"
#include "bench/registration_figures.h"
#include "bench/workflow_bench.h"
#include "picture/picture_loader.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

namespace {

using namespace kanat;
using namespace kanat::bench;

// A wing-like photograph: a smooth background with darker veins, so the JPEG is of a natural size.
QImage wingPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(226, 214, 180));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    std::mt19937 random(7);
    for (int vein = 0; vein < 40; ++vein) {
        painter.setPen(QPen(QColor(90, 60, 30), width / 800.0 + random() % 4));
        painter.drawLine(QPointF(random() % width, random() % height), QPointF(random() % width, random() % height));
    }
    painter.end();
    return image;
}

QString writeJpeg(const QImage& image, const QString& path, int quality) {
    QImageWriter writer(path);
    writer.setQuality(quality);
    writer.write(image);
    return path;
}

QString makePhotograph(const QString& folder, int width, int height) {
    return writeJpeg(wingPicture(width, height),
                     QStringLiteral("%1/wing-%2mp.jpg").arg(folder).arg(width * height / 1000000), 90);
}

// The same wing as a camera gives it: membrane texture and sensor grain over the veins, at
// quality 92, so that the file is as large as a camera's (over 10 MB at 24 megapixels).
QString makeCameraPhotograph(const QString& folder) {
    QImage image = wingPicture(6000, 4000);
    std::mt19937 random(3);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int texture =
                static_cast<int>(12 * std::sin(x / 23.0) * std::cos(y / 17.0) + 6 * std::sin(x * 1.9 + y * 0.8));
            const int grain = static_cast<int>(random() % 48) - 24;
            const auto channel = [&](int value) {
                return std::clamp(value + texture + grain + static_cast<int>(random() % 17) - 8, 0, 255);
            };
            line[x] = qRgb(channel(qRed(line[x])), channel(qGreen(line[x])), channel(qBlue(line[x])));
        }
    }
    return writeJpeg(image, folder + QStringLiteral("/camera-24mp-q92.jpg"), 92);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Peak resident memory of this process so far, in MB.
double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// Opening the picture in a fresh window at one magnification, then its first paint; run in a
// child process so that its peak memory is its own.
int openOnly(const QString& picture, int button) {
    Window window(picture);
    if (button != 4) window.form().magnify(magnificationButtons[button - 4].magnification);
    window.form().openImage();
    window.repaintView();
    std::printf("%.1f\n", peakMegabytes());
    return 0;
}

double childPeak(const QString& picture, int button) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--open-only", picture, QString::number(button)});
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toDouble();
}

void measurePicture(const QString& picture, const char* suffix) {
    auto name = [&](const char* base) { return std::string(base) + suffix; };
    // Both timings start from a file already in the page cache, so neither pays for the disk.
    {
        QFile file(picture);
        file.open(QIODevice::ReadOnly);
        file.readAll();
    }
    // The decoding that the window's open does, alone: the floor of opening. Median of three,
    // each picture freed before the next and before the window opens, so that all start with
    // the same memory at hand.
    QElapsedTimer timer;
    std::vector<double> decodes;
    double decodedMegabytes = 0;
    for (int round = 0; round < 3; ++round) {
        timer.start();
        const QImage decoded = loadPicture(picture).image;
        decodes.push_back(milliseconds(timer));
        decodedMegabytes = decoded.sizeInBytes() / 1048576.0;
    }
    const double decodeOnly = median(decodes);

    Window window(picture);
    timer.restart();
    window.form().openImage();
    window.repaintView();
    const double openFirstPaint = milliseconds(timer);
    print(name("decode_only_ms").c_str(), decodeOnly, "ms");
    print(name("open_first_paint_ms").c_str(), openFirstPaint, "ms");
    print(name("open_decode_ratio").c_str(), openFirstPaint / decodeOnly, "x");
    print(name("decoded_mb").c_str(), decodedMegabytes, "MB");

    double zoomWorst = 0;
    for (const Magnification magnification :
         {Magnification::TimesTwo, Magnification::TimesFour, Magnification::TimesHalf, Magnification::TimesFour}) {
        if (!window.form().controls().magnificationButtons[indexOf(magnification)]->isEnabled())
            window.form().refresh();
        timer.restart();
        window.form().magnify(magnification);
        window.repaintView();
        zoomWorst = std::max(zoomWorst, milliseconds(timer));
    }
    print(name("zoom_repaint_ms_max").c_str(), zoomWorst, "ms");

    // Wing after wing at x4: "Yenile", 18 presses, "Hesapla". The first calculation of a
    // session also builds the code page table once; the median is what a user waits.
    WingView* view = window.form().controls().wingView;
    double pressTotal = 0;
    std::vector<double> calculations;
    for (int wing = 0; wing < 9; ++wing) {
        window.form().refresh();
        for (int i = 0; i < 18; ++i) {
            const QPoint at(20 + 15 * i + wing, 30 + 7 * i);
            timer.restart();
            QTest::mousePress(view, Qt::LeftButton, {}, at);
            QTest::mouseRelease(view, Qt::LeftButton, {}, at);
            pressTotal += milliseconds(timer);
        }
        timer.restart();
        window.form().calculate();
        calculations.push_back(milliseconds(timer));
    }
    print(name("press_ms").c_str(), pressTotal / (9 * 18), "ms");
    print(name("calculate_first_ms").c_str(), calculations.front(), "ms");
    std::sort(calculations.begin(), calculations.end());
    print(name("calculate_ms").c_str(), calculations[calculations.size() / 2], "ms");

    for (const auto& [button, label] :
         {std::pair{4, "peak_mb_x05"}, std::pair{5, "peak_mb_x2"}, std::pair{6, "peak_mb_x4"}})
        print(name(label).c_str(), childPeak(picture, button), "MB");
}

// Wall time of a whole run of `program`, its output thrown away; not a number when it fails.
double processMilliseconds(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return std::nan("");
    }
    return milliseconds(timer);
}

// JPEG decoding against libjpeg-turbo's own command on one camera-sized file, just written and
// so in the page cache: our loader as the window's open calls it (in this process), the whole batch calculator
// run with --image and two landmarks, and the whole djpeg run writing its PPM to /dev/null.
// Medians of five rounds, the three taken in turn so that the machine's load hits them alike.
void compareWithDjpeg(const QString& folder) {
    const QString photograph = makeCameraPhotograph(folder), landmarks = folder + QStringLiteral("/two-landmarks.txt");
    std::ofstream(landmarks.toStdString()) << "100;100\n200;200\n";
    const QString batch = QCoreApplication::applicationDirPath() + QStringLiteral("/kanat-hesapla");
    std::vector<double> loader, batchRun, djpeg, batchWithoutPicture, windowOpen;
    for (int round = 0; round < 5; ++round) {
        djpeg.push_back(processMilliseconds(QStringLiteral("djpeg"), {"-outfile", "/dev/null", photograph}));
        QElapsedTimer timer;
        timer.start();
        const LoadedPicture loaded = loadPicture(photograph);
        loader.push_back(milliseconds(timer)); // the picture is freed after, as the window keeps it
        if (!loaded.ok()) std::fprintf(stderr, "the photograph did not load\n");
        batchRun.push_back(processMilliseconds(batch, {"--image", photograph, landmarks}));
        batchWithoutPicture.push_back(processMilliseconds(batch, {landmarks}));
        Window window(photograph);
        timer.restart();
        window.form().openImage();
        window.repaintView();
        windowOpen.push_back(milliseconds(timer));
    }
    print("jpeg_file_mb", QFileInfo(photograph).size() / 1048576.0, "MB");
    print("djpeg_ms", median(djpeg), "ms");
    print("jpeg_decode_ms", median(loader), "ms");
    print("jpeg_decode_over_djpeg", median(loader) / median(djpeg), "x");
    print("batch_image_ms", median(batchRun), "ms");
    print("batch_no_image_ms", median(batchWithoutPicture), "ms");
    print("batch_decode_over_djpeg", median(batchRun) / median(djpeg), "x");
    print("camera_open_first_paint_ms", median(windowOpen), "ms");
    print("camera_open_decode_ratio", median(windowOpen) / median(loader), "x");
}

double batchWingsPerSecond(const QString& folder) {
    constexpr int wings = 100000;
    const QString tps = folder + QStringLiteral("/wings.tps");
    {
        std::ofstream file(tps.toStdString());
        std::mt19937 random(11);
        std::uniform_real_distribution<double> x(100, 2000), y(100, 1200);
        char line[64];
        for (int wing = 0; wing < wings; ++wing) {
            file << "LM=18\n";
            for (int n = 0; n < 18; ++n) {
                std::snprintf(line, sizeof line, "%.5f %.5f\n", x(random), y(random));
                file << line;
            }
            file << "ID=" << wing << "\n";
        }
    }
    QProcess batch;
    batch.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    batch.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kanat-hesapla"), {tps});
    batch.waitForFinished(-1);
    if (batch.exitCode() != 0) return 0;
    return wings / (timer.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QStringLiteral("--open-only"))
        return openOnly(arguments[2], arguments[3].toInt());
    QTemporaryDir folder;
    if (arguments.size() >= 2 && arguments[1] == QStringLiteral("--registration")) {
        printRegistrationFigures(arguments.mid(2));
        return 0;
    }
    if (arguments.contains(QStringLiteral("--collection"))) {
        printCollectionFigures(folder.path());
        return 0;
    }
    compareWithDjpeg(folder.path());
    const QString picture48 = makePhotograph(folder.path(), 8000, 6000);
    measurePicture(makePhotograph(folder.path(), 6000, 4000), "");
    measurePicture(picture48, "_48mp");
    measureWorkflow(picture48, "_48mp");
    print("batch_wings_per_s", batchWingsPerSecond(folder.path()), "wings/s");
    printCollectionFigures(folder.path());
    return 0;
}
