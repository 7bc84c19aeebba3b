#pragma once

#include <QByteArray>
#include <QImage>
#include <turbojpeg.h>

namespace kanat::test {

// A JPEG made by libjpeg-turbo at quality 90, in layouts Qt's writer does not make: 4:4:4,
// 4:2:2, grey from colour, progressive, CMYK. It starts with a JFIF block of aspect ratio 1:1
// (CMYK with an Adobe block instead). Empty when it cannot be compressed.
QByteArray turboJpeg(const QImage& picture, TJPF pixels, int subsampling, int flags = 0);

} // namespace kanat::test
