#include "app/form_host.h"
#include "app/qt_turkish.h"
#include "app/readable_font.h"
#include "picture/worker_threads.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    kanat::prepareQtForWorkerThreads();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kanat"));
    kanat::keepTextFieldsReadable();
    if (!kanat::installQtTurkish(application))
        qWarning("Qt'nin Türkçe metinleri (qtbase_tr) bulunamadı; pencerelerde İngilizce sözler görünebilir.");
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/kanat.ico")));
    kanat::QtDialogs dialogs;
    kanat::FormHost host(dialogs, kanat::Environment::fromSystem());
    host.show();
    return QApplication::exec();
}
