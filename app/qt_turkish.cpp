#include "app/qt_turkish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kanat {

bool installQtTurkish(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    // Qt's own folder on Debian; on Windows the translation travels in a folder beside the
    // program, as its DLLs and plugins do.
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString& folder : folders)
        if (translator->load(QStringLiteral("qtbase_tr"), folder))
            return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

} // namespace kanat
