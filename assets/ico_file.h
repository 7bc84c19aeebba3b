#pragma once

#include <QByteArray>
#include <QImage>

#include <vector>

namespace kanat {

// One picture of a Windows icon file: a square image and the depth it is stored at,
// 8 (a 256-colour palette, transparency in the AND mask only) or 32 (BGRA with alpha).
struct IconPicture {
    QImage image;
    int bitsPerPixel = 32;
};

// The bytes of an .ico file holding the pictures in the given order, each as a DIB with its
// AND mask. Sizes run from 1 to 256 pixels.
QByteArray icoFile(const std::vector<IconPicture>& pictures);

} // namespace kanat
