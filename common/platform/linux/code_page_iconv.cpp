// GBK through glibc's iconv. CP936 is Windows' own table (it maps 0x80 to the euro sign).
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "common/code_page_platform.h"

namespace kam::platform {

std::optional<char32_t> DecodeAnsiChar(std::string_view bytes) {
  static iconv_t cd = [] {
    iconv_t c = iconv_open("UTF-32LE", "CP936");
    if (c == reinterpret_cast<iconv_t>(-1)) c = iconv_open("UTF-32LE", "GBK");
    return c;
  }();
  if (cd == reinterpret_cast<iconv_t>(-1) || bytes.empty() || bytes.size() > 2) return std::nullopt;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char in[2];
  std::memcpy(in, bytes.data(), bytes.size());
  char out[16];
  char* inp = in;
  char* outp = out;
  size_t inleft = bytes.size();
  size_t outleft = sizeof(out);
  if (iconv(cd, &inp, &inleft, &outp, &outleft) == static_cast<size_t>(-1)) return std::nullopt;
  if (inleft != 0 || sizeof(out) - outleft != 4) return std::nullopt;
  const auto* u = reinterpret_cast<unsigned char*>(out);
  return static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) |
                               (static_cast<char32_t>(u[3]) << 24));
}

}  // namespace kam::platform
