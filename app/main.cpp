#include "app/form_host.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kanat"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/kanat.ico")));
    kanat::QtDialogs dialogs;
    kanat::FormHost host(dialogs, kanat::Environment::fromSystem());
    host.show();
    return QApplication::exec();
}
