#include "view/picture_loader.h"

#include <QFileInfo>
#include <QImageReader>

namespace kanat {

LoadedPicture loadPicture(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists()) return {{}, QStringLiteral("dosya bulunamadı")};
    if (file.isDir()) return {{}, QStringLiteral("bu bir klasör, resim değil")};
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) return {{}, QStringLiteral("resim okunamadı (%1)").arg(reader.errorString())};
    return {image, {}};
}

} // namespace kanat
