// libFuzzer target: any bytes given to the picture loader, as if read from a file.
#include "picture/picture_loader.h"
#include "picture/stated_resolution.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kanat::fuzz::silenceQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr qint64 byteLimit = qint64{16} << 20;
    const QByteArray bytes = kanat::fuzz::bytesOf(data, size);
    kanat::fuzz::checkOutcome(kanat::decodePicture(bytes, byteLimit), byteLimit);
    // The loader reads the resolution only of a picture it decodes; read it from every input,
    // as each format, so that damaged headers reach the parsers too, and from the fuzzer's own
    // buffer, so that a read one byte past the end is caught.
    const QByteArray exact = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    using kanat::PictureFormat;
    for (PictureFormat format : {PictureFormat::Png, PictureFormat::Bmp, PictureFormat::Tiff, PictureFormat::Jpeg})
        kanat::fuzz::checkResolution(kanat::readStatedPixelsPerMm(format, exact));
    return 0;
}
