#include "player/browse/shortcut_name.h"

#include <array>
#include <cstdint>

namespace kam {
namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a valid one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto b = static_cast<std::uint8_t>(text[i]);
  std::size_t n = 0;
  std::uint32_t cp = 0;
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) {
    n = 2;
    cp = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    n = 3;
    cp = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    n = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto c = static_cast<std::uint8_t>(text[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  static constexpr std::array<std::uint32_t, 5> kMin = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  // C1 control characters (U+0080..U+009F) are no better in a file name than C0 ones.
  if (cp >= 0x80 && cp <= 0x9F) return 0;
  return n;
}

bool IsForbiddenAscii(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u < 0x20 || u == 0x7F) return true;
  switch (c) {
    case '/':
    case '\\':
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
    case '?':
    case '*':
      return true;
    default:
      return false;
  }
}

bool IsWindowsDeviceName(std::string_view name) {
  std::string upper;
  for (char c : name.substr(0, name.find('.'))) {
    upper.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c);
  }
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  for (std::string_view d : kPlain) {
    if (upper == d) return true;
  }
  return upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::string SafeShortcutFileName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t n = Utf8SequenceLength(name, i);
    if (n == 0) {
      out.push_back('_');
      ++i;
      continue;
    }
    if (n == 1 && IsForbiddenAscii(name[i])) {
      out.push_back('_');
    } else {
      if (out.size() + n > kMaxShortcutNameBytes) break;
      out.append(name.substr(i, n));
    }
    i += n;
    if (out.size() >= kMaxShortcutNameBytes) break;
  }
  std::size_t lead = 0;
  while (lead < out.size() && (out[lead] == '.' || out[lead] == ' ')) ++lead;
  out.erase(0, lead);
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  if (out.empty()) return kFallbackShortcutName;
  if (IsWindowsDeviceName(out)) out.push_back('_');
  return out;
}

}  // namespace kam
