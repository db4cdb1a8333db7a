#include "player/playlist/gbk_encoder.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "common/code_page.h"

namespace kam::playlist {
namespace {

constexpr std::uint16_t kNoCode = 0;  // no character of the code page maps to 0 beyond ASCII

// The code of every character of the Basic Multilingual Plane, asked once of the code page.
const std::array<std::uint16_t, 0x10000>& CodeTable() {
  static const std::unique_ptr<std::array<std::uint16_t, 0x10000>> table = [] {
    auto t = std::make_unique<std::array<std::uint16_t, 0x10000>>();
    t->fill(kNoCode);
    for (char32_t ch = 0x80; ch < 0x10000; ++ch) {
      if (const std::optional<int> code = AnsiCodeOf(ch)) {
        (*t)[ch] = static_cast<std::uint16_t>(*code);
      }
    }
    return t;
  }();
  return *table;
}

void AppendCode(std::string& out, const std::array<std::uint16_t, 0x10000>& table, char32_t cp) {
  const std::uint16_t code = cp < 0x10000 ? table[cp] : kNoCode;
  if (code == kNoCode) {
    out.push_back('?');
  } else if (code < 0x100) {
    out.push_back(static_cast<char>(code));
  } else {
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  }
}

// Decodes as kam::Utf8ToCodePoints does: a malformed sequence gives U+FFFD (which has no code) and
// the scan goes on at the next byte.
template <bool kEscape>
void Append(std::string& out, std::string_view s) {
  const auto& table = CodeTable();
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
      if constexpr (kEscape) {
        switch (b0) {
          case '&':
            out.append("&amp;");
            break;
          case '<':
            out.append("&lt;");
            break;
          case '>':
            out.append("&gt;");
            break;
          case '"':
            out.append("&quot;");
            break;
          case '\'':
            out.append("&#39;");
            break;
          default:
            out.push_back(static_cast<char>(b0));
        }
      } else {
        out.push_back(static_cast<char>(b0));
      }
      ++i;
      continue;
    }
    const int len = (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      out.push_back('?');
      ++i;
      continue;
    }
    char32_t cp = len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (b & 0x3F);
    }
    if (!ok) {
      out.push_back('?');
      ++i;
      continue;
    }
    if (cp < 0x80) {
      // An overlong form of an ASCII character: the character itself, as the code page gives it.
      const char ascii = static_cast<char>(cp);
      Append<kEscape>(out, std::string_view(&ascii, 1));
    } else {
      AppendCode(out, table, cp);
    }
    i += len;
  }
}

}  // namespace

void AppendAsGbk(std::string& out, std::string_view utf8) { Append<false>(out, utf8); }

void AppendHtmlEscapedAsGbk(std::string& out, std::string_view utf8) { Append<true>(out, utf8); }

}  // namespace kam::playlist
