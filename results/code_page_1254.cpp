#include "results/code_page_1254.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

namespace kanat {
namespace {

constexpr char32_t unassigned = 0xFFFD;

// The code point of each of the bytes 0x80 to 0xFF; below them the code page is ASCII. Our own
// table, so that every platform writes the very same bytes.
constexpr std::array<char32_t, 128> upperHalf{
    0x20AC, unassigned, 0x201A,     0x0192,     0x201E,     0x2026,     0x2020, 0x2021,     0x02C6,     0x2030, 0x0160,
    0x2039, 0x0152,     unassigned, unassigned, unassigned, unassigned, 0x2018, 0x2019,     0x201C,     0x201D, 0x2022,
    0x2013, 0x2014,     0x02DC,     0x2122,     0x0161,     0x203A,     0x0153, unassigned, unassigned, 0x0178, 0x00A0,
    0x00A1, 0x00A2,     0x00A3,     0x00A4,     0x00A5,     0x00A6,     0x00A7, 0x00A8,     0x00A9,     0x00AA, 0x00AB,
    0x00AC, 0x00AD,     0x00AE,     0x00AF,     0x00B0,     0x00B1,     0x00B2, 0x00B3,     0x00B4,     0x00B5, 0x00B6,
    0x00B7, 0x00B8,     0x00B9,     0x00BA,     0x00BB,     0x00BC,     0x00BD, 0x00BE,     0x00BF,     0x00C0, 0x00C1,
    0x00C2, 0x00C3,     0x00C4,     0x00C5,     0x00C6,     0x00C7,     0x00C8, 0x00C9,     0x00CA,     0x00CB, 0x00CC,
    0x00CD, 0x00CE,     0x00CF,     0x011E,     0x00D1,     0x00D2,     0x00D3, 0x00D4,     0x00D5,     0x00D6, 0x00D7,
    0x00D8, 0x00D9,     0x00DA,     0x00DB,     0x00DC,     0x0130,     0x015E, 0x00DF,     0x00E0,     0x00E1, 0x00E2,
    0x00E3, 0x00E4,     0x00E5,     0x00E6,     0x00E7,     0x00E8,     0x00E9, 0x00EA,     0x00EB,     0x00EC, 0x00ED,
    0x00EE, 0x00EF,     0x011F,     0x00F1,     0x00F2,     0x00F3,     0x00F4, 0x00F5,     0x00F6,     0x00F7, 0x00F8,
    0x00F9, 0x00FA,     0x00FB,     0x00FC,     0x0131,     0x015F,     0x00FF,
};

const std::array<char32_t, 256>& byteTable() {
    static const auto table = [] {
        std::array<char32_t, 256> bytes{};
        for (std::size_t byte = 0; byte < 128; ++byte) bytes[byte] = static_cast<char32_t>(byte);
        for (std::size_t byte = 128; byte < 256; ++byte) bytes[byte] = upperHalf[byte - 128];
        return bytes;
    }();
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

// Line by line: the window writes 12.tps in code page 1254 while kanat-hesapla prints UTF-8, and
// the README tells the lab to append the one to the other, so a file may hold both.
std::string asUtf8(std::string_view text) {
    if (isUtf8(text)) return std::string(text);
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
        const std::string_view line = text.substr(0, end);
        result += isUtf8(line) ? std::string(line) : fromCodePage1254(line);
        text.remove_prefix(end);
    }
    return result;
}

} // namespace kanat
