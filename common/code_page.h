// The ANSI code page of the target systems: Chinese double-byte GBK (code page 936).
// Files on disk and settings values are in this code page; text inside the programs is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kam {

// GBK bytes to UTF-8. A byte sequence that is not GBK becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK bytes. A character without a GBK form becomes "?".
std::string Utf8ToGbk(std::string_view utf8);

// The code of one character in the code page, as the platform's Asc() gives it: 0..255 for a
// single-byte character, lead * 256 + trail taken as a signed 16-bit value (so negative) for a
// double-byte one. Nothing for a character the code page cannot hold.
std::optional<int> AnsiCodeOf(char32_t ch);

// The character of a code as AnsiCodeOf gives it. Nothing for a code that is not a character of
// the code page (a gap, a lead byte alone, a value out of range).
std::optional<char32_t> CharOfAnsiCode(int code);

// UTF-8 <-> code points. Invalid UTF-8 sequences become U+FFFD.
std::u32string Utf8ToCodePoints(std::string_view utf8);
std::string CodePointsToUtf8(std::u32string_view text);

}  // namespace kam
