#pragma once

#include "picture/picture_loader.h"

namespace kanat {

// A Windows metafile drawn at its natural size: the placeable header's bounds at 96 pixels an
// inch, on white, as the system's picture loader showed it.
LoadedPicture decodeWmf(const QByteArray& bytes, qint64 byteLimit);

} // namespace kanat
