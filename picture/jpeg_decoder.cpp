#include "picture/jpeg_decoder.h"

#include "picture/picture_errors.h"
#include "picture/picture_memory.h"
#include "picture/raster_completeness.h"

#include <turbojpeg.h>

#include <memory>

namespace kanat {
namespace {

struct DecompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Decompressor = std::unique_ptr<void, DecompressorDeleter>;

struct JpegLayout {
    QSize size;
    QImage::Format format = QImage::Format_Invalid;
    TJPF pixelFormat = TJPF_UNKNOWN;
};

// RGB32 holds 0xFFRRGGBB in native byte order; libjpeg-turbo fills the X byte with 0xFF.
constexpr TJPF rgb32Pixels = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;

// The formats Qt's reader gives: grey stays one byte a pixel, YCbCr and RGB become RGB32.
std::optional<JpegLayout> layoutOf(tjhandle decompressor, const QByteArray& bytes) {
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(decompressor, reinterpret_cast<const unsigned char*>(bytes.constData()),
                            static_cast<unsigned long>(bytes.size()), &width, &height, &subsampling, &colourSpace) != 0)
        return std::nullopt;
    const QSize size(width, height);
    if (colourSpace == TJCS_GRAY) return JpegLayout{size, QImage::Format_Grayscale8, TJPF_GRAY};
    if (colourSpace == TJCS_YCbCr || colourSpace == TJCS_RGB)
        return JpegLayout{size, QImage::Format_RGB32, rgb32Pixels};
    return std::nullopt; // Qt turns CMYK into RGB in its own way
}

} // namespace

std::optional<QImage> decodeJpegDirectly(const QByteArray& bytes, qint64 byteLimit) {
    const Decompressor decompressor(tjInitDecompress());
    if (!decompressor) return std::nullopt;
    const std::optional<JpegLayout> layout = layoutOf(decompressor.get(), bytes);
    if (!layout || layout->size.isEmpty()) return std::nullopt;
    // Refused the old way, with its reason, before a pixel is decoded.
    if (pictureError::decodedBytes(layout->size) > byteLimit) return std::nullopt;
    if (!rasterLooksComplete(PictureFormat::Jpeg, bytes)) return std::nullopt;
    QImage image(layout->size, layout->format);
    if (image.isNull()) return std::nullopt;
    // Accurate DCT and smooth upsampling are what Qt's reader uses at its default quality; a
    // warning means damaged data, which Qt's reader shows in its own way.
    constexpr int flags = TJFLAG_ACCURATEDCT | TJFLAG_STOPONWARNING;
    const PagesProvidedAhead pages(image);
    if (tjDecompress2(decompressor.get(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                      static_cast<unsigned long>(bytes.size()), image.bits(), image.width(),
                      static_cast<int>(image.bytesPerLine()), image.height(), layout->pixelFormat, flags) != 0)
        return std::nullopt;
    return image;
}

} // namespace kanat
