#pragma once

#include <QSize>
#include <QString>

namespace kanat::pictureError {

// The reasons a picture is refused, in the user's words; the caller names the file.
inline QString notFound() { return QStringLiteral("dosya bulunamadı"); }
inline QString folder() { return QStringLiteral("bu bir klasör, resim değil"); }
inline QString notAFile() { return QStringLiteral("sıradan bir dosya değil"); }
inline QString noPermission() { return QStringLiteral("okuma izni yok"); }
inline QString unreadable() { return QStringLiteral("dosya okunamadı"); }
inline QString empty() { return QStringLiteral("dosya boş"); }
inline QString damaged() { return QStringLiteral("resim bozuk ya da eksik"); }
inline QString tooComplex() { return QStringLiteral("çizim çok karmaşık"); }
inline QString outOfMemory() { return QStringLiteral("bellek yetmedi"); }
inline QString unsupported() {
    return QStringLiteral("desteklenmeyen biçim (BMP, JPEG, GIF, PNG, TIFF ya da WMF değil)");
}
// A format this build's Qt has no reader for (a Qt without its TIFF plugin).
inline QString noReaderHere(const QByteArray& format) {
    return QStringLiteral("bu kurulum %1 resimlerini açamıyor; resmi PNG ya da JPEG olarak kaydedin")
        .arg(QString::fromLatin1(format).toUpper());
}

// Sizes in whole mebibytes, rounded up, so that 1 byte over the limit never reads as equal.
QString fileTooLarge(qint64 bytes, qint64 limit);
QString pictureTooLarge(QSize size, qint64 limit);

// Bytes that a picture of `size` takes decoded, four a pixel; negative sizes count as empty, and
// sizes past what 64 bits hold count as the largest number they do.
qint64 decodedBytes(QSize size);

} // namespace kanat::pictureError
