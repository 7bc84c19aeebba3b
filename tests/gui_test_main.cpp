// Window tests need an application object; they run on Qt's offscreen platform.
#include "app/qt_turkish.h"
#include "app/readable_font.h"

#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    kanat::keepTextFieldsReadable(); // as the program starts
    if (!kanat::installQtTurkish(application)) {
        fprintf(stderr, "Qt's Turkish translation qtbase_tr is not installed (qt6-translations-l10n)\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
