#include "common/gbk_text.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "common/code_page.h"

namespace kam {
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

// The character of every code: single bytes by value, double bytes as lead * 256 + trail; 0 for
// none.
const std::array<char32_t, 0x10000>& CharTable() {
  static const std::unique_ptr<std::array<char32_t, 0x10000>> table = [] {
    auto t = std::make_unique<std::array<char32_t, 0x10000>>();
    t->fill(0);
    for (int b = 0x80; b < 0x100; ++b) {
      if (const std::optional<char32_t> ch = CharOfAnsiCode(b)) (*t)[b] = *ch;
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const int code = lead * 256 + trail;
        if (const std::optional<char32_t> ch = CharOfAnsiCode(static_cast<std::int16_t>(code))) {
          (*t)[code] = *ch;
        }
      }
    }
    return t;
  }();
  return *table;
}

char* PutUtf8(char* p, char32_t cp) {
  if (cp < 0x80) {
    *p++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *p++ = static_cast<char>(0xC0 | (cp >> 6));
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *p++ = static_cast<char>(0xE0 | (cp >> 12));
    *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *p++ = static_cast<char>(0xF0 | (cp >> 18));
    *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return p;
}

// Writes one ASCII character, as a character reference where markup needs one.
template <bool kEscape>
char* PutAscii(char* p, char c) {
  if constexpr (kEscape) {
    const std::string_view reference = c == '&'    ? "&amp;"
                                       : c == '<'  ? "&lt;"
                                       : c == '>'  ? "&gt;"
                                       : c == '"'  ? "&quot;"
                                       : c == '\'' ? "&#39;"
                                                   : std::string_view();
    if (!reference.empty()) {
      std::memcpy(p, reference.data(), reference.size());
      return p + reference.size();
    }
  }
  *p = c;
  return p + 1;
}

// Decodes as kam::Utf8ToCodePoints does: a malformed sequence gives U+FFFD (which has no code) and
// the scan goes on at the next byte. Writes into room made beforehand for the longest result (a
// character reference per byte), then trims the rest.
template <bool kEscape>
void Append(std::string& out, std::string_view s) {
  constexpr std::size_t kMaxPerByte = kEscape ? 6 : 1;
  const auto& table = CodeTable();
  const std::size_t start = out.size();
  out.resize(start + s.size() * kMaxPerByte);
  char* p = out.data() + start;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
      p = PutAscii<kEscape>(p, static_cast<char>(b0));
      ++i;
      continue;
    }
    const std::size_t len = (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      *p++ = '?';
      ++i;
      continue;
    }
    char32_t cp = len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    bool ok = true;
    for (std::size_t k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (b & 0x3F);
    }
    if (!ok) {
      *p++ = '?';
      ++i;
      continue;
    }
    i += len;
    if (cp < 0x80) {
      // An overlong form of an ASCII character: the character itself, as the code page gives it.
      p = PutAscii<kEscape>(p, static_cast<char>(cp));
      continue;
    }
    const std::uint16_t code = cp < 0x10000 ? table[cp] : kNoCode;
    if (code == kNoCode) {
      *p++ = '?';
    } else if (code < 0x100) {
      *p++ = static_cast<char>(code);
    } else {
      *p++ = static_cast<char>(code >> 8);
      *p++ = static_cast<char>(code & 0xFF);
    }
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
}

}  // namespace

void AppendAsGbk(std::string& out, std::string_view utf8) { Append<false>(out, utf8); }

void AppendHtmlEscapedAsGbk(std::string& out, std::string_view utf8) { Append<true>(out, utf8); }

void AppendGbkAsUtf8(std::string& out, std::string_view gbk) {
  const auto& table = CharTable();
  const std::size_t start = out.size();
  // No byte or pair of bytes gives more than four bytes of UTF-8 per byte.
  out.resize(start + gbk.size() * 4);
  char* p = out.data() + start;
  std::size_t i = 0;
  while (i < gbk.size()) {
    const auto b0 = static_cast<unsigned char>(gbk[i]);
    if (b0 < 0x80) {
      *p++ = static_cast<char>(b0);
      ++i;
      continue;
    }
    if (b0 >= 0x81 && b0 <= 0xFE && i + 1 < gbk.size()) {
      const auto b1 = static_cast<unsigned char>(gbk[i + 1]);
      const char32_t ch = table[b0 * 256 + b1];
      if (ch != 0) {
        p = PutUtf8(p, ch);
        i += 2;
        continue;
      }
    }
    const char32_t single = table[b0];
    p = PutUtf8(p, single != 0 ? single : U'\uFFFD');
    ++i;
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
}

std::size_t GbkPrefixLength(std::string_view gbk, std::size_t limit) {
  const auto& table = CharTable();
  std::size_t i = 0;
  while (i < gbk.size()) {
    const auto b0 = static_cast<unsigned char>(gbk[i]);
    std::size_t step = 1;
    if (b0 >= 0x81 && b0 <= 0xFE && i + 1 < gbk.size() &&
        table[b0 * 256 + static_cast<unsigned char>(gbk[i + 1])] != 0) {
      step = 2;
    }
    if (i + step > limit) return i;
    i += step;
  }
  return i;
}

}  // namespace kam
