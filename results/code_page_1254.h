#pragma once

#include <string>
#include <string_view>

namespace kanat {

// UTF-8 text to the bytes of Windows code page 1254 (Turkish), one byte per character.
// A character that the code page cannot hold, or a broken UTF-8 sequence, becomes '?'.
std::string toCodePage1254(std::string_view utf8);

// The bytes of code page 1254 back to UTF-8; the unassigned bytes become U+FFFD.
std::string fromCodePage1254(std::string_view bytes);

// Whether the bytes are well-formed UTF-8 sequences throughout (plain ASCII is).
bool isUtf8(std::string_view text);

// The text as UTF-8: each line unchanged when it already is, otherwise read as code page 1254.
std::string asUtf8(std::string_view text);

} // namespace kanat
