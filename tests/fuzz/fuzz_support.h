#pragma once

#include "picture/picture_loader.h"

#include <QtGlobal>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace kanat::fuzz {

// Decoders warn about every broken input; millions of lines would only slow the search.
inline void silenceQt() {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A stated resolution is a positive number of pixels per millimetre.
inline void checkResolution(std::optional<double> pixelsPerMm) {
    if (pixelsPerMm && !(std::isfinite(*pixelsPerMm) && *pixelsPerMm > 0)) std::abort();
}

// What every caller relies on: a picture or a reason, never both or neither, never a picture
// past the ceiling, and a resolution only with a picture.
inline void checkOutcome(const LoadedPicture& picture, qint64 byteLimit) {
    if (picture.ok() == picture.image.isNull()) std::abort();
    if (picture.image.sizeInBytes() > byteLimit) std::abort();
    if (picture.statedPixelsPerMm && !picture.ok()) std::abort();
    checkResolution(picture.statedPixelsPerMm);
}

} // namespace kanat::fuzz
