#include "app/turkish_file_columns.h"

#include <QFileSystemModel>
#include <QLocale>

namespace kanat {
namespace {

enum Column { Name, Size, Kind, Date };

QString kindOf(const QFileInfo& file) {
    if (file.isDir()) return file.isRoot() ? QStringLiteral("Sürücü") : QStringLiteral("Klasör");
    if (file.suffix().isEmpty()) return QStringLiteral("Dosya");
    return QStringLiteral("%1 dosyası").arg(file.suffix().toUpper());
}

} // namespace

QVariant TurkishFileColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole ||
        (index.column() != Kind && index.column() != Date && index.column() != Size))
        return QIdentityProxyModel::data(index, role);
    const QFileInfo file = files->fileInfo(mapToSource(index));
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    switch (index.column()) {
    case Kind: return kindOf(file);
    case Date: return turkish.toString(file.lastModified(), QLocale::ShortFormat);
    default: return file.isDir() ? QString() : turkish.formattedDataSize(file.size());
    }
}

} // namespace kanat
