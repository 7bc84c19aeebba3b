#include "picture/large_page_image.h"

#include <sys/mman.h>

#include <climits>
#include <cstddef>

namespace kanat {
namespace {

constexpr qsizetype largePage = qsizetype{2} << 20;

struct Mapping {
    void* start;
    std::size_t length;
};

void unmap(void* mapping) {
    const auto* held = static_cast<Mapping*>(mapping);
    munmap(held->start, held->length);
    delete held;
}

} // namespace

QImage largePageImage(QSize size, QImage::Format format) {
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype bytesPerLine = (qsizetype{size.width()} * depth + 31) / 32 * 4;
    if (size.isEmpty() || bytesPerLine > INT_MAX) return {};
    const qsizetype bytes = bytesPerLine * size.height();
    // One large page more, so that the pixels can start on a large page's boundary.
    const auto length = static_cast<std::size_t>(bytes + largePage);
    void* start = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) return {};
    const auto address = reinterpret_cast<quintptr>(start);
    auto* pixels = reinterpret_cast<uchar*>((address + largePage - 1) & ~quintptr(largePage - 1));
    // Only advice: without large pages the kernel hands out small ones as ever.
    madvise(pixels, static_cast<std::size_t>(bytes), MADV_HUGEPAGE);
    QImage image(pixels, size.width(), size.height(), bytesPerLine, format, unmap,
                 new Mapping{start, length});
    return image;
}

} // namespace kanat
