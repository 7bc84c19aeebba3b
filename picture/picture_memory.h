#pragma once

#include <QImage>
#include <QSize>

#include <thread>

namespace kanat {

// Memory for a large picture about to be decoded. The first touch of a 24-megapixel picture's
// 96 MB, 4 KB at a time, costs a third as long as decoding the JPEG it comes from.

// An uninitialised picture whose pixels the kernel may keep in 2 MB pages, laid out as Qt lays
// out its own; null when the memory cannot be had.
QImage largePageImage(QSize size, QImage::Format format);

// While it lives, the kernel provides the pages of `image` on another core, ahead of a decoder
// that fills them from the top. It must not outlive the image.
class PagesProvidedAhead {
  public:
    explicit PagesProvidedAhead(QImage& image);

  private:
    std::jthread provider_;
};

} // namespace kanat
