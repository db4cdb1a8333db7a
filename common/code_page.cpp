#include "common/code_page.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "common/code_page_platform.h"
#include "common/gbk_text.h"

namespace kam {
namespace {

// Every code of the code page decoded once: 256 single bytes and the double-byte range.
struct CodeTables {
  std::unordered_map<char32_t, int> code_of;
  std::array<char32_t, 65536> char_of{};  // by unsigned 16-bit code; 0 = no character
};

const CodeTables& Tables() {
  static const std::unique_ptr<CodeTables> tables = [] {
    auto t = std::make_unique<CodeTables>();
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      if (auto ch = platform::DecodeAnsiChar(std::string_view(&byte, 1))) {
        t->char_of[b] = *ch;
        t->code_of.emplace(*ch, b);
      }
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        auto ch = platform::DecodeAnsiChar(std::string_view(bytes, 2));
        if (!ch) continue;
        const int code = lead * 256 + trail;
        t->char_of[code] = *ch;
        // The first code of a character wins, as the platform's encoder picks it.
        t->code_of.emplace(*ch, static_cast<int16_t>(code));
      }
    }
    return t;
  }();
  return *tables;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::u32string Utf8ToCodePoints(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int len = b0 < 0x80           ? 1
              : (b0 >> 5) == 0x6  ? 2
              : (b0 >> 4) == 0xE  ? 3
              : (b0 >> 3) == 0x1E ? 4
                                  : 0;
    if (len == 0 || i + len > s.size()) {
      out.push_back(U'\uFFFD');
      ++i;
      continue;
    }
    char32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
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
      out.push_back(U'\uFFFD');
      ++i;
      continue;
    }
    out.push_back(cp);
    i += len;
  }
  return out;
}

std::string CodePointsToUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t cp : text) AppendUtf8(out, cp);
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  std::string out;
  AppendGbkAsUtf8(out, gbk);
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
  std::string out;
  AppendAsGbk(out, utf8);
  return out;
}

std::optional<int> AnsiCodeOf(char32_t ch) {
  if (ch < 0x80) return static_cast<int>(ch);
  const CodeTables& t = Tables();
  auto it = t.code_of.find(ch);
  if (it == t.code_of.end()) return std::nullopt;
  return it->second;
}

std::optional<char32_t> CharOfAnsiCode(int code) {
  if (code >= 0 && code < 0x80) return static_cast<char32_t>(code);
  if (code < -32768 || code > 255) return std::nullopt;
  const auto u = static_cast<uint16_t>(static_cast<int16_t>(code));
  // A double-byte code must have a lead byte; a single byte must stand alone.
  if (code < 0 && (u >> 8) < 0x81) return std::nullopt;
  const char32_t ch = Tables().char_of[u];
  if (ch == 0) return std::nullopt;
  return ch;
}

}  // namespace kam
