#pragma once

// What the benchmark's measurements share: a window whose open dialog answers with one picture,
// and the way figures are printed.
#include "app/form_host.h"
#include "view/wing_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace kanat::bench {

// Answers the open dialog with the picture and cancels every save.
class BenchDialogs final : public Dialogs {
public:
    QString picture;
    QString openImage(QWidget*, const QString&, const QString&) override { return picture; }
    QString saveResults(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    bool ask(QWidget*, const QString&, const QString&, const QString&) override { return true; }
    void inform(QWidget*, const QString&) override {}
    void about(QWidget*, const QString&) override {}
    void note(QWidget*, const QString&) override {}
    void warn(QWidget*, const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

inline void print(const char* name, double value, const char* unit) { std::printf("%s: %.3f %s\n", name, value, unit); }

inline double milliseconds(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

// A window over a temporary program folder whose open dialog answers with `picture`.
struct Window {
    BenchDialogs dialogs;
    QTemporaryDir folder;
    std::unique_ptr<FormHost> host;

    // `programFolder` (a temporary one when empty) is where 12.txt and 12.tps are kept.
    explicit Window(const QString& picture, const QString& programFolder = {}) {
        dialogs.picture = picture;
        const QString records = programFolder.isEmpty() ? folder.path() : programFolder;
        host = std::make_unique<FormHost>(dialogs, Environment{records, records, '.'});
        host->show();
        QApplication::processEvents();
    }
    Form1& form() { return *host->form(); }
    void repaintView() {
        form().controls().wingView->repaint();
        QApplication::processEvents();
    }
};

} // namespace kanat::bench
