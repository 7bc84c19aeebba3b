#include "app/qt_turkish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kanat {

bool installQtTurkish(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_tr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace kanat
