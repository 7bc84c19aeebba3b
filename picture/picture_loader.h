#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>
#include <utility>

namespace kanat {

// A picture file read for the window and the batch calculator: the image at its own pixel
// size, or, when it cannot be used, a few Turkish words saying why.
struct LoadedPicture {
    LoadedPicture() = default;
    // Not an aggregate, so that the many `{image, error}` returns need not name the resolution.
    LoadedPicture(QImage picture, QString reason) : image(std::move(picture)), error(std::move(reason)) {}

    QImage image;
    QString error;
    // The horizontal resolution the file states, in pixels per millimetre; none when it states
    // none (picture/stated_resolution.h says where each format keeps it).
    std::optional<double> statedPixelsPerMm;
    bool ok() const { return error.isEmpty(); }
};

// The largest decoded picture accepted, at four bytes a pixel: 1 GiB holds 12000 x 9000 easily.
inline constexpr qint64 pictureByteLimit = qint64{1} << 30;

// BMP, JPEG, GIF (first frame), PNG, TIFF and WMF, told apart by their content.
LoadedPicture loadPicture(const QString& path);

// The same for a file's bytes already in memory; a smaller `byteLimit` keeps a fuzzer fast.
LoadedPicture decodePicture(const QByteArray& bytes, qint64 byteLimit = pictureByteLimit);

} // namespace kanat
