#include "results/code_page_1254.h"

#include <array>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>
#include <unordered_map>

namespace kanat {
namespace {

constexpr char32_t unassigned = 0xFFFD;

// The code point of each of the 256 bytes, asked of the C library's iconv once.
std::array<char32_t, 256> buildByteTable() {
    iconv_t converter = iconv_open("UTF-32LE", "CP1254");
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert from CP1254");
    std::array<char32_t, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        unsigned char out[4] = {};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const bool ok = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
        table[static_cast<std::size_t>(byte)] =
            ok && outLeft == 0 ? static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24) : unassigned;
    }
    iconv_close(converter);
    return table;
}

const std::array<char32_t, 256>& byteTable() {
    static const auto table = buildByteTable();
    return table;
}

const std::unordered_map<char32_t, char>& codePointTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, char> map;
        const auto& bytes = byteTable();
        for (std::size_t byte = 0; byte < bytes.size(); ++byte)
            if (bytes[byte] != unassigned) map.emplace(bytes[byte], static_cast<char>(byte));
        return map;
    }();
    return table;
}

// Decodes one UTF-8 sequence at `pos`; a broken one gives `unassigned` and moves on one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;
    int extra = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        code = lead & 0x07;
    } else
        return unassigned;
    if (pos + static_cast<std::size_t>(extra) > text.size()) return unassigned;
    for (int i = 0; i < extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) return unassigned;
        code = code << 6 | (next & 0x3F);
    }
    pos += static_cast<std::size_t>(extra);
    return code;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string toCodePage1254(std::string_view utf8) {
    const auto& table = codePointTable();
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t code = decodeUtf8(utf8, pos);
        if (code < 0x80) {
            bytes += static_cast<char>(code);
            continue;
        }
        const auto found = table.find(code);
        bytes += found == table.end() ? '?' : found->second;
    }
    return bytes;
}

std::string fromCodePage1254(std::string_view bytes) {
    const auto& table = byteTable();
    std::string utf8;
    utf8.reserve(bytes.size() * 2);
    for (char byte : bytes) appendUtf8(utf8, table[static_cast<unsigned char>(byte)]);
    return utf8;
}

bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
        i += length;
    }
    return true;
}

std::string asUtf8(std::string_view text) { return isUtf8(text) ? std::string(text) : fromCodePage1254(text); }

} // namespace kanat
