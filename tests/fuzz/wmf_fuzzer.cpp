// libFuzzer target: any bytes played as a Windows metafile.
#include "picture/wmf_picture.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kanat::fuzz::silenceQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A small ceiling keeps each input quick; the checks are the same at any ceiling.
    constexpr qint64 byteLimit = qint64{4} << 20;
    kanat::fuzz::checkOutcome(kanat::decodeWmf(kanat::fuzz::bytesOf(data, size), byteLimit), byteLimit);
    return 0;
}
