#include "picture/picture_loader.h"

#include "picture/picture_errors.h"
#include "picture/picture_format.h"
#include "picture/raster_picture.h"
#include "picture/wmf_picture.h"

#include <QFile>
#include <QFileInfo>

namespace kanat {
namespace {

// No picture we accept decoded takes a file twice its decoded size, even uncompressed.
constexpr qint64 fileByteLimit = 2 * pictureByteLimit;

// Why a path cannot be read as a file, before a byte is read; empty when it can.
QString fileProblem(const QFileInfo& file) {
    if (!file.exists()) return pictureError::notFound();
    if (file.isDir()) return pictureError::folder();
    // A pipe or a device would block or never end.
    if (!file.isFile()) return pictureError::notAFile();
    if (!file.isReadable()) return pictureError::noPermission();
    if (file.size() == 0) return pictureError::empty();
    if (file.size() > fileByteLimit) return pictureError::fileTooLarge(file.size(), fileByteLimit);
    return {};
}

} // namespace

LoadedPicture loadPicture(const QString& path) {
    if (path.isEmpty()) return {{}, pictureError::notFound()};
    const QFileInfo info(path);
    if (QString problem = fileProblem(info); !problem.isEmpty()) return {{}, problem};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{}, pictureError::unreadable()};
    // No more than the size checked: a ceiling given to read() would be allocated up front.
    const QByteArray bytes = file.read(info.size());
    if (file.error() != QFileDevice::NoError) return {{}, pictureError::unreadable()};
    return decodePicture(bytes);
}

LoadedPicture decodePicture(const QByteArray& bytes, qint64 byteLimit) {
    if (bytes.isEmpty()) return {{}, pictureError::empty()};
    const PictureFormat format = sniffPictureFormat(bytes);
    if (format == PictureFormat::Unknown) return {{}, pictureError::unsupported()};
    if (format == PictureFormat::Wmf) return decodeWmf(bytes, byteLimit);
    return decodeRaster(format, bytes, byteLimit);
}

} // namespace kanat
