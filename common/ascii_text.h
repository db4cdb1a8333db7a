// ASCII-only case folding. Scheme names, settings names and executable names compare without
// case, but the bytes of other characters must stay intact in UTF-8 text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kam {

inline char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

// Whether text contains needle, ignoring the case of ASCII letters; needle is in lower case.
inline bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view lower_needle) {
  return LowerAscii(text).find(lower_needle) != std::string::npos;
}

// Whether text begins with prefix, ignoring the case of ASCII letters on both sides.
inline bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

}  // namespace kam
