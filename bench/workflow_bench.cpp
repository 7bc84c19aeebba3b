// The digitising workflow on a large photograph at "x4": taking back, putting back, dragging and
// nudging landmarks, the loupe following the pointer at each magnification, and Page Down to
// the next picture of the folder.
#include "bench/workflow_bench.h"

#include "bench/bench_window.h"
#include "picture/picture_loader.h"
#include "view/loupe.h"

#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

namespace kanat::bench {
namespace {

// The slowest of several timings of `action`, each with the repaint it causes.
template <typename Action> double slowest(int times, Action action) {
    double worst = 0;
    QElapsedTimer timer;
    for (int i = 0; i < times; ++i) {
        timer.start();
        action(i);
        QApplication::processEvents();
        worst = std::max(worst, milliseconds(timer));
    }
    return worst;
}

void moveWith(WingView* view, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF position = at + QPointF(WingView::borderWidth, WingView::borderWidth);
    QMouseEvent move(QEvent::MouseMove, position, view->mapToGlobal(position), Qt::NoButton, buttons, modifiers);
    QApplication::sendEvent(view, &move);
}

void measureCorrections(Window& window, const std::string& suffix) {
    Form1& form = window.form();
    WingView* view = form.controls().wingView;
    const auto at = [](int i) { return QPoint(40 + 20 * i, 60 + 9 * i); };
    for (int i = 0; i < 18; ++i) {
        QTest::mousePress(view, Qt::LeftButton, {}, at(i));
        QTest::mouseRelease(view, Qt::LeftButton, {}, at(i));
    }
    QApplication::processEvents();
    print(("take_back_ms_max" + suffix).c_str(),
          slowest(18, [&](int) { QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier); }), "ms");
    print(("put_back_ms_max" + suffix).c_str(),
          slowest(18, [&](int) { QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier); }), "ms");
    const QPoint grabbed = at(4) + QPoint(WingView::borderWidth, WingView::borderWidth);
    QTest::mousePress(view, Qt::LeftButton, Qt::ControlModifier, grabbed);
    print(
        ("move_step_ms_max" + suffix).c_str(),
        slowest(60, [&](int i) { moveWith(view, at(4) + QPoint(i % 30, i / 2), Qt::LeftButton, Qt::ControlModifier); }),
        "ms");
    QTest::mouseRelease(view, Qt::LeftButton, Qt::ControlModifier, grabbed + QPoint(10, 10));
    const int arrows[] = {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up};
    print(("nudge_ms_max" + suffix).c_str(),
          slowest(60, [&](int i) { QTest::keyClick(&form, Qt::Key(arrows[i % 4])); }), "ms");
}

double loupeWorst(Window& window) {
    WingView* view = window.form().controls().wingView;
    const QSize area = view->drawingSize().boundedTo(QSize(500, 240));
    return slowest(80, [&](int i) {
        moveWith(view, QPoint(10 + (i * 37) % (area.width() - 20), 10 + (i * 23) % (area.height() - 20)), Qt::NoButton);
    });
}

} // namespace

void measureWorkflow(const QString& photograph, const char* suffix) {
    // Two copies of the photograph, the first and the second of their own folder.
    QTemporaryDir pictures;
    const QString picture = pictures.filePath(QStringLiteral("wing1.jpg"));
    const QString nextPicture = pictures.filePath(QStringLiteral("wing2.jpg"));
    QFile::copy(photograph, picture);
    QFile::copy(photograph, nextPicture);
    Window window(picture);
    window.form().openImage();
    window.form().magnify(Magnification::TimesFour);
    window.repaintView();
    measureCorrections(window, suffix);

    QTest::keyClick(&window.form(), Qt::Key_L);
    double loupe = 0;
    for (const MagnificationButton& button : magnificationButtons) {
        window.form().refresh();
        window.form().magnify(button.magnification);
        window.repaintView();
        loupe = std::max(loupe, loupeWorst(window));
    }
    QTest::keyClick(&window.form(), Qt::Key_L);
    print((std::string("loupe_repaint_ms_max") + suffix).c_str(), loupe, "ms");

    // Page Down against the next picture's decoding alone; both from a file already in the page
    // cache.
    QElapsedTimer timer;
    loadPicture(nextPicture);
    timer.start();
    const LoadedPicture decoded = loadPicture(nextPicture);
    const double decode = milliseconds(timer);
    timer.restart();
    QTest::keyClick(&window.form(), Qt::Key_PageDown);
    window.repaintView();
    const double pageDown = milliseconds(timer);
    if (window.form().windowTitle() != nextPicture)
        std::fprintf(stderr, "Page Down did not reach %s\n", qPrintable(nextPicture));
    print((std::string("page_down_first_paint_ms") + suffix).c_str(), pageDown, "ms");
    print((std::string("page_down_decode_ratio") + suffix).c_str(), pageDown / decode, "x");
}

} // namespace kanat::bench
