#include "picture/picture_memory.h"

#include <sys/mman.h>

#include <climits>
#include <cstddef>

namespace kanat {
namespace {

constexpr quintptr largePage = quintptr{2} << 20;

struct Mapping {
    void* start;
    std::size_t length;
};

void unmap(void* mapping) {
    const auto* held = static_cast<Mapping*>(mapping);
    munmap(held->start, held->length);
    delete held;
}

quintptr roundedUp(quintptr address, quintptr page) {
    return (address + page - 1) & ~(page - 1);
}

} // namespace

QImage largePageImage(QSize size, QImage::Format format) {
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype bytesPerLine = (qsizetype{size.width()} * depth + 31) / 32 * 4;
    if (size.isEmpty() || bytesPerLine > INT_MAX) return {};
    const auto bytes = static_cast<std::size_t>(bytesPerLine * size.height());
    // One large page more, so that the pixels can start on a large page's boundary.
    const std::size_t length = bytes + largePage;
    void* start = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) return {};
    auto* pixels =
        reinterpret_cast<uchar*>(roundedUp(reinterpret_cast<quintptr>(start), largePage));
    // Only advice: without large pages the kernel hands out small ones as ever.
    madvise(pixels, bytes, MADV_HUGEPAGE);
    auto* mapping = new Mapping{start, length};
    QImage image(pixels, size.width(), size.height(), bytesPerLine, format, unmap, mapping);
    if (image.isNull()) unmap(mapping); // Qt calls it only for a picture it made
    return image;
}

} // namespace kanat
