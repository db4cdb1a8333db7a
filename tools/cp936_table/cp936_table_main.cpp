// Writes Windows' code page 936 as the system implements it, both ways, to the file named on
// the command line (run once under Wine; the result is kept as test data of the code page layer):
//   65536 x uint16 LE: the UTF-16 unit of each code (single bytes by value, double bytes as
//                      lead * 256 + trail), 0 where the bytes are no character;
//   65536 x uint16 LE: the code of each UTF-16 unit (a single byte by value, a double byte as
//                      lead * 256 + trail), 0 where the code page has none (no best-fit guess).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr UINT kCodePage = 936;

// Without MB_ERR_INVALID_CHARS, as programs convert: with it, bytes that the code page maps to
// private-use characters (the single byte 0xFF) are refused. Bytes that are no character come
// out as the default character "?".
std::uint16_t Decode(const char* bytes, int size) {
  wchar_t out[4];
  const int n = MultiByteToWideChar(kCodePage, 0, bytes, size, out, 4);
  if (n != 1 || (out[0] == L'?' && !(size == 1 && bytes[0] == '?'))) return 0;
  return static_cast<std::uint16_t>(out[0]);
}

std::uint16_t Encode(wchar_t unit) {
  char out[8];
  BOOL used_default = FALSE;
  const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &unit, 1, out, sizeof(out),
                                    nullptr, &used_default);
  if (used_default || n < 1 || n > 2) return 0;
  const auto b0 = static_cast<unsigned char>(out[0]);
  return n == 1 ? b0 : static_cast<std::uint16_t>(b0 * 256 + static_cast<unsigned char>(out[1]));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kam_cp936_table OUTPUT\n");
    return 64;
  }
  std::vector<std::uint16_t> table(2 * 65536, 0);
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    table[b] = Decode(&byte, 1);
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      table[lead * 256 + trail] = Decode(bytes, 2);
    }
  }
  for (int unit = 1; unit < 65536; ++unit) table[65536 + unit] = Encode(static_cast<wchar_t>(unit));
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  for (std::uint16_t v : table) {
    const unsigned char le[2] = {static_cast<unsigned char>(v & 0xFF),
                                 static_cast<unsigned char>(v >> 8)};
    std::fwrite(le, 1, 2, out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
