#pragma once

#include "picture/picture_loader.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace kanat::fuzz {

// Decoders warn about every broken input; millions of lines would only slow the search.
inline void silenceQt() {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// What every caller relies on: a picture or a reason, never both or neither, and never a
// picture past the ceiling.
inline void checkOutcome(const LoadedPicture& picture, qint64 byteLimit) {
    if (picture.ok() == picture.image.isNull()) std::abort();
    if (picture.image.sizeInBytes() > byteLimit) std::abort();
}

} // namespace kanat::fuzz
