#pragma once

#include <QImage>
#include <QSize>

namespace kanat {

// An uninitialised picture whose pixels the kernel may keep in 2 MB pages: touching a
// 24-megapixel picture's 96 MB for the first time 4 KB at a time costs a third as long as
// decoding the JPEG it comes from, and its pages in memory half as much again when it is freed.
// Rows are laid out as Qt lays them out; null when the memory cannot be had.
QImage largePageImage(QSize size, QImage::Format format);

} // namespace kanat
