// Code page 936 through the Win32 API.
#include <windows.h>

#include "common/code_page_platform.h"

namespace kam::platform {

// Without MB_ERR_INVALID_CHARS, as the system converts text for programs: with it, bytes that
// the code page maps to private-use characters (the single byte 0xFF) are refused. Bytes that
// are no character come out as the code page's default character "?".
std::optional<char32_t> DecodeAnsiChar(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > 2) return std::nullopt;
  wchar_t out[4];
  const int n = MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), out, 4);
  const bool question_mark = bytes.size() == 1 && bytes[0] == '?';
  if (n == 1 && (out[0] != L'?' || question_mark)) return static_cast<char32_t>(out[0]);
  if (n == 2 && out[0] >= 0xD800 && out[0] < 0xDC00) {
    return 0x10000 + ((static_cast<char32_t>(out[0]) - 0xD800) << 10) + (out[1] - 0xDC00);
  }
  return std::nullopt;
}

}  // namespace kam::platform
