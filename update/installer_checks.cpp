#include "update/installer_checks.h"

namespace kam::update {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// 0..15 for a hex digit of either case, -1 otherwise.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string_view SignatureVerdictName(SignatureVerdict verdict) {
  switch (verdict) {
    case SignatureVerdict::kGood:
      return "good";
    case SignatureVerdict::kMalformed:
      return "malformed";
    case SignatureVerdict::kWrong:
      return "wrong";
    case SignatureVerdict::kBadVersion:
      return "version not signable";
    case SignatureVerdict::kBadKey:
      return "built-in key unusable";
  }
  return "unknown";
}

bool DigestMatches(std::string_view expected, std::string_view actual_hex) {
  expected = TrimBlanks(expected);
  if (expected.size() != 64 || actual_hex.size() != 64) return false;
  for (std::size_t i = 0; i < 64; ++i) {
    const int digit = HexValue(expected[i]);
    if (digit < 0 || "0123456789abcdef"[digit] != actual_hex[i]) return false;
  }
  return true;
}

std::optional<std::array<std::uint8_t, 32>> ParsePublisherKey(std::string_view hex) {
  hex = TrimBlanks(hex);
  if (hex.size() != 64) return std::nullopt;
  std::array<std::uint8_t, 32> key{};
  for (std::size_t i = 0; i < key.size(); ++i) {
    const int high = HexValue(hex[2 * i]);
    const int low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    key[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return key;
}

}  // namespace kam::update
