// Platform side of the code page: decoding one character's bytes.
#pragma once

#include <optional>
#include <string_view>

namespace kam::platform {

// Decodes the bytes of exactly one character of the ANSI code page (one or two bytes).
// Nothing when the bytes are not exactly one valid character.
std::optional<char32_t> DecodeAnsiChar(std::string_view bytes);

}  // namespace kam::platform
