#include "picture/picture_memory.h"

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace kanat {
#ifdef _WIN32

// Not on Windows: the decoder's first writes provide the pages, as for any plain allocation, and
// the picture is the same.
PagesProvidedAhead::PagesProvidedAhead(QImage&) {}

#else
namespace {

constexpr quintptr pageSize = 4096;

quintptr roundedUp(quintptr address) { return (address + pageSize - 1) & ~(pageSize - 1); }

} // namespace

PagesProvidedAhead::PagesProvidedAhead(QImage& image) {
    const auto first = roundedUp(reinterpret_cast<quintptr>(image.bits()));
    const auto end = reinterpret_cast<quintptr>(image.bits()) + static_cast<quintptr>(image.sizeInBytes());
    if (end <= first) return;
    // A kernel older than 5.14 refuses the request, and the decoder's writes fault as ever.
    provider_ =
        std::jthread([first, end] { madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE); });
}

#endif
} // namespace kanat
