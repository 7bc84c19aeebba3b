#include "tests/turbo_jpeg.h"

#include <memory>

namespace kanat::test {

QByteArray turboJpeg(const QImage& picture, TJPF pixels, int subsampling, int flags) {
    const QImage image = picture.convertToFormat(pixels == TJPF_CMYK ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const std::unique_ptr<void, int (*)(tjhandle)> compressor(tjInitCompress(), tjDestroy);
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int failed =
        tjCompress2(compressor.get(), image.constBits(), image.width(), static_cast<int>(image.bytesPerLine()),
                    image.height(), pixels, &jpeg, &size, subsampling, 90, flags);
    const QByteArray bytes(reinterpret_cast<const char*>(jpeg), failed ? 0 : qsizetype(size));
    tjFree(jpeg);
    return bytes;
}

} // namespace kanat::test
