#include "picture/picture_format.h"

#include <array>
#include <string_view>

namespace kanat {
namespace {

struct Signature {
    std::string_view bytes;
    PictureFormat format;
};

using namespace std::string_view_literals;

constexpr std::array signatures{
    Signature{"BM"sv, PictureFormat::Bmp},
    Signature{"\xFF\xD8\xFF"sv, PictureFormat::Jpeg},
    Signature{"GIF87a"sv, PictureFormat::Gif},
    Signature{"GIF89a"sv, PictureFormat::Gif},
    Signature{"\x89PNG\r\n\x1A\n"sv, PictureFormat::Png},
    Signature{"II*\0"sv, PictureFormat::Tiff},
    Signature{"MM\0*"sv, PictureFormat::Tiff},
    Signature{"II+\0"sv, PictureFormat::Tiff}, // BigTIFF
    Signature{"MM\0+"sv, PictureFormat::Tiff},
    Signature{"\xD7\xCD\xC6\x9A"sv, PictureFormat::Wmf}, // placeable header
    // A metafile without the placeable header: in memory or on disk, nine header words,
    // version 1 or 3.
    Signature{"\x01\0\x09\0\0\x03"sv, PictureFormat::Wmf},
    Signature{"\x02\0\x09\0\0\x03"sv, PictureFormat::Wmf},
    Signature{"\x01\0\x09\0\0\x01"sv, PictureFormat::Wmf},
    Signature{"\x02\0\x09\0\0\x01"sv, PictureFormat::Wmf},
};

} // namespace

PictureFormat sniffPictureFormat(const QByteArray& bytes) {
    const std::string_view start(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    for (const Signature& signature : signatures)
        if (start.starts_with(signature.bytes)) return signature.format;
    return PictureFormat::Unknown;
}

QByteArray qtFormatName(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Png: return "png";
    case PictureFormat::Tiff: return "tiff";
    case PictureFormat::Wmf:
    case PictureFormat::Unknown: break;
    }
    return {};
}

} // namespace kanat
