// libFuzzer target: any bytes given to the picture loader, as if read from a file.
#include "picture/picture_loader.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kanat::fuzz::silenceQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr qint64 byteLimit = qint64{16} << 20;
    kanat::fuzz::checkOutcome(kanat::decodePicture(kanat::fuzz::bytesOf(data, size), byteLimit), byteLimit);
    return 0;
}
