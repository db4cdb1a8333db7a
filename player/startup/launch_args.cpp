#include "player/startup/launch_args.h"

#include <optional>

#include "common/code_page.h"

namespace kam {
namespace {

// Double-byte characters below this code are shifted; the rest of the code page is left alone.
constexpr int kShiftBelow = -6000;
constexpr int kShift = 5;

// One character through the substitution; shift is +5 to decode, -5 to encode. "?" needs no
// exception here: it is single-byte, so it never reaches the shift.
char32_t Substitute(char32_t ch, int shift) {
  const std::optional<int> code = AnsiCodeOf(ch);
  if (!code) return ch;
  if (*code < kShiftBelow) {
    const std::optional<char32_t> shifted = CharOfAnsiCode(*code + shift);
    return shifted ? *shifted : ch;
  }
  if (*code >= 80 && *code <= 126) return static_cast<char32_t>(*code - 47);
  if (*code >= 33 && *code <= 79) return static_cast<char32_t>(*code + 47);
  return ch;
}

std::string Substitute(std::string_view text, int shift) {
  std::u32string chars = Utf8ToCodePoints(text);
  for (char32_t& ch : chars) ch = Substitute(ch, shift);
  return CodePointsToUtf8(chars);
}

bool Survives(std::string_view text) {
  for (char32_t ch : Utf8ToCodePoints(text)) {
    if (!SurvivesLaunchArgs(ch)) return false;
  }
  return true;
}

std::string PercentEncodeNonAscii(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0xF]);
    }
  }
  return out;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos;
       pos = hit + from.size()) {
    out.append(text, pos, hit - pos);
    out.append(to);
  }
  out.append(text, pos);
  text = std::move(out);
}

}  // namespace

std::string DecodeLaunchArgs(std::string_view text) { return Substitute(text, kShift); }

std::string EncodeLaunchArgs(std::string_view text) { return Substitute(text, -kShift); }

bool SurvivesLaunchArgs(char32_t ch) { return Substitute(Substitute(ch, -kShift), kShift) == ch; }

std::string EncodeShortcutArgument(std::string_view name, std::string_view address) {
  std::u32string kept;
  for (char32_t ch : Utf8ToCodePoints(name)) {
    if (SurvivesLaunchArgs(ch)) kept.push_back(ch);
  }
  std::string label = CodePointsToUtf8(kept);
  // Removing one separator can join its neighbours into another, so repeat until none is left.
  for (std::size_t at; (at = label.find(kLaunchArgsSeparator)) != std::string::npos;) {
    label.erase(at, kLaunchArgsSeparator.size());
  }

  std::string target(address);
  if (!Survives(target)) target = PercentEncodeNonAscii(target);
  // "#%40@" cannot start a new separator: the "#" is now followed by "%".
  ReplaceAll(target, kLaunchArgsSeparator, "#%40@");
  return EncodeLaunchArgs(label + std::string(kLaunchArgsSeparator) + target);
}

std::vector<std::string> SplitLaunchArgs(std::string_view decoded) {
  std::vector<std::string> fields;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = decoded.find(kLaunchArgsSeparator, from);
    if (at == std::string_view::npos) break;
    fields.emplace_back(decoded.substr(from, at - from));
    from = at + kLaunchArgsSeparator.size();
  }
  fields.emplace_back(decoded.substr(from));
  return fields;
}

}  // namespace kam
