// kanat-bench: how fast the window opens, zooms, places landmarks and calculates on today's
// large wing photographs, and how fast the batch calculator goes; offscreen, on pictures it
// makes itself. Prints one figure a line as "name: value unit".
#include "app/form_host.h"
#include "bench/collection_figures.h"
#include "picture/picture_loader.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>

namespace {

using namespace kanat;

// Answers the open dialog with the picture and cancels every save.
class BenchDialogs final : public Dialogs {
public:
    QString picture;
    QString openImage(QWidget*, const QString&) override { return picture; }
    QString saveResults(QWidget*, const QString&, const QString&) override { return {}; }
    void inform(QWidget*, const QString&) override {}
    void warn(QWidget*, const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

void print(const char* name, double value, const char* unit) { std::printf("%s: %.3f %s\n", name, value, unit); }

// A wing-like photograph: a smooth background with darker veins, so the JPEG is of a natural size.
QString makePhotograph(const QString& folder, int width, int height) {
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
    const QString path = QStringLiteral("%1/wing-%2mp.jpg").arg(folder).arg(width * height / 1000000);
    QImageWriter writer(path);
    writer.setQuality(90);
    writer.write(image);
    return path;
}

double milliseconds(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

// Peak resident memory of this process so far, in MB.
double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

struct Window {
    BenchDialogs dialogs;
    QTemporaryDir folder;
    std::unique_ptr<FormHost> host;

    explicit Window(const QString& picture) {
        dialogs.picture = picture;
        host = std::make_unique<FormHost>(dialogs, Environment{folder.path(), folder.path(), '.'});
        host->show();
        QApplication::processEvents();
    }
    Form1& form() { return *host->form(); }
    void repaintView() {
        form().controls().Picture2->repaint();
        QApplication::processEvents();
    }
};

// Opening the picture in a fresh window at one magnification, then its first paint; run in a
// child process so that its peak memory is its own.
int openOnly(const QString& picture, int button) {
    Window window(picture);
    if (button != 4) window.form().magnify(button);
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
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(picture);
    reader.setAllocationLimit(1024);
    const QImage decoded = reader.read();
    const double decodeOnly = milliseconds(timer);
    const double decodedMegabytes = decoded.sizeInBytes() / 1048576.0;

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
    for (int button : {5, 6, 4, 6}) {
        QPushButton* command = window.form().controls().Command[static_cast<std::size_t>(button)];
        if (!command->isEnabled()) window.form().refresh();
        timer.restart();
        window.form().magnify(button);
        window.repaintView();
        zoomWorst = std::max(zoomWorst, milliseconds(timer));
    }
    print(name("zoom_repaint_ms_max").c_str(), zoomWorst, "ms");

    // Wing after wing at x4: "Yenile", 18 presses, "Hesapla". The first calculation of a
    // session also builds the code page table once; the median is what a user waits.
    WingView* view = window.form().controls().Picture2;
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

    for (const auto& [button, label] : {std::pair{4, "peak_mb_x05"}, std::pair{5, "peak_mb_x2"}, std::pair{6, "peak_mb_x4"}})
        print(name(label).c_str(), childPeak(picture, button), "MB");
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
    if (arguments.contains(QStringLiteral("--collection"))) {
        printCollectionFigures(folder.path());
        return 0;
    }
    measurePicture(makePhotograph(folder.path(), 6000, 4000), "");
    measurePicture(makePhotograph(folder.path(), 8000, 6000), "_48mp");
    print("batch_wings_per_s", batchWingsPerSecond(folder.path()), "wings/s");
    printCollectionFigures(folder.path());
    return 0;
}
