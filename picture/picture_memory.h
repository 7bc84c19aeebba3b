#pragma once

#include <QImage>

#include <thread>

namespace kanat {

// The first touch of a freshly allocated picture's memory, 4 KB at a time, costs about a third as
// long as decoding the JPEG that fills it (a 24-megapixel picture is 96 MB); a decoder that
// writes row by row into a small buffer, as djpeg does, never pays it. While one of these lives,
// the kernel provides the pages of `image` on another core, ahead of a decoder that fills them
// from the top; it must not outlive the image, and it is gone before the decoder returns.
class PagesProvidedAhead {
public:
    explicit PagesProvidedAhead(QImage& image);

private:
    std::jthread provider_;
};

} // namespace kanat
