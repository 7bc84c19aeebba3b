#include "picture/picture_errors.h"

#include <algorithm>
#include <limits>

namespace kanat::pictureError {
namespace {

quint64 mebibytes(quint64 bytes) { return (bytes >> 20) + ((bytes & 0xFFFFF) != 0); }

// Two sides of up to 2^31 − 1 pixels at four bytes a pixel still fit in 64 unsigned bits.
quint64 exactBytes(QSize size) { return quint64(std::max(size.width(), 0)) * quint64(std::max(size.height(), 0)) * 4; }

} // namespace

QString fileTooLarge(qint64 bytes, qint64 limit) {
    return QStringLiteral("dosya çok büyük (%1 MB; en çok %2 MB)")
        .arg(mebibytes(quint64(bytes)))
        .arg(mebibytes(quint64(limit)));
}

QString pictureTooLarge(QSize size, qint64 limit) {
    return QStringLiteral("resim çok büyük (%1 × %2 nokta, %3 MB; en çok %4 MB)")
        .arg(size.width())
        .arg(size.height())
        .arg(mebibytes(exactBytes(size)))
        .arg(mebibytes(quint64(limit)));
}

qint64 decodedBytes(QSize size) {
    return qint64(std::min<quint64>(exactBytes(size), std::numeric_limits<qint64>::max()));
}

} // namespace kanat::pictureError
