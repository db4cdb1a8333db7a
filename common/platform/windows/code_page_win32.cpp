// Code page 936 through the Win32 API.
#include <windows.h>

#include "common/code_page_platform.h"

namespace kam::platform {

std::optional<char32_t> DecodeAnsiChar(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > 2) return std::nullopt;
  wchar_t out[4];
  const int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), out, 4);
  if (n == 1) return static_cast<char32_t>(out[0]);
  if (n == 2 && out[0] >= 0xD800 && out[0] < 0xDC00) {
    return 0x10000 + ((static_cast<char32_t>(out[0]) - 0xD800) << 10) + (out[1] - 0xDC00);
  }
  return std::nullopt;
}

}  // namespace kam::platform
