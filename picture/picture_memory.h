#pragma once

#include <QImage>
#include <QSize>

namespace kanat {

// Memory for a large picture about to be decoded. The first touch of a 24-megapixel picture's
// 96 MB, 4 KB at a time, costs a third as long as decoding the JPEG it comes from.

// An uninitialised picture whose pixels the kernel may keep in 2 MB pages, laid out as Qt lays
// out its own; null when the memory cannot be had.
QImage largePageImage(QSize size, QImage::Format format);

} // namespace kanat
