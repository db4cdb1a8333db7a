#include "common/url_host.h"

#include <array>
#include <cstdint>
#include <vector>

#include "common/ascii_text.h"
#include "common/code_page.h"
#include "common/host_libraries.h"
#include "common/percent_decode.h"

namespace kam {
namespace {

// Characters no domain may hold once decoded (the URL standard's forbidden domain code points).
bool IsForbiddenInDomain(char32_t c) {
  if (c <= 0x20 || c == 0x7F) return true;
  switch (c) {
    case '#':
    case '%':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '@':
    case '[':
    case '\\':
    case ']':
    case '^':
    case '|':
      return true;
    default:
      return false;
  }
}

// A domain that UTS #46 would only lower-case: ASCII with no "xn--" label to check. Browsers take
// such a name as it stands, hyphens anywhere ("r3---sn-x.example") and underscores included.
bool IsPlainAsciiDomain(std::string_view domain) {
  std::size_t label = 0;
  for (std::size_t i = 0; i < domain.size(); ++i) {
    if (static_cast<unsigned char>(domain[i]) >= 0x80) return false;
    if (domain[i] == '.') {
      label = i + 1;
    } else if (i == label + 3 && LowerAscii(domain.substr(label, 4)) == "xn--") {
      return false;
    }
  }
  return true;
}

bool IsValidUtf8(std::string_view text) {
  for (char32_t c : Utf8ToCodePoints(text)) {
    if (c == U'\uFFFD' || (c >= 0xD800 && c <= 0xDFFF)) return false;
  }
  return true;
}

// One IPv4 part: decimal, "0x" hexadecimal or "0" octal. Nothing when it is not a number.
std::optional<std::uint64_t> ParseIpv4Part(std::string_view part) {
  if (part.empty()) return std::nullopt;
  int radix = 10;
  if (part.size() >= 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
    radix = 16;
    part.remove_prefix(2);
  } else if (part.size() >= 2 && part[0] == '0') {
    radix = 8;
    part.remove_prefix(1);
  }
  std::uint64_t value = 0;
  for (char c : part) {
    const int d = HexDigitValue(c);
    if (d < 0 || d >= radix) return std::nullopt;
    value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
    if (value > 0xFFFFFFFFull) value = 0x100000000ull;  // too big either way; stop growing
  }
  return value;
}

std::vector<std::string_view> SplitDots(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t dot = text.find('.', from);
    parts.push_back(text.substr(from, dot == std::string_view::npos ? dot : dot - from));
    if (dot == std::string_view::npos) return parts;
    from = dot + 1;
  }
}

// Whether a browser reads the domain as an IPv4 address: its last label (a trailing empty one
// aside) is a decimal number or "0x" followed by hex digits.
bool EndsInNumber(std::string_view domain) {
  std::vector<std::string_view> labels = SplitDots(domain);
  if (labels.back().empty() && labels.size() > 1) labels.pop_back();
  const std::string_view last = labels.back();
  if (last.empty()) return false;
  bool digits = true;
  for (char c : last) digits = digits && c >= '0' && c <= '9';
  if (digits) return true;
  if (last.size() < 2 || last[0] != '0' || (last[1] != 'x' && last[1] != 'X')) return false;
  for (char c : last.substr(2)) {
    if (HexDigitValue(c) < 0) return false;
  }
  return true;
}

std::optional<std::string> ParseIpv4(std::string_view domain) {
  std::vector<std::string_view> parts = SplitDots(domain);
  if (parts.back().empty() && parts.size() > 1) parts.pop_back();
  if (parts.size() > 4) return std::nullopt;
  std::vector<std::uint64_t> numbers;
  for (std::string_view p : parts) {
    const std::optional<std::uint64_t> n = ParseIpv4Part(p);
    if (!n) return std::nullopt;
    numbers.push_back(*n);
  }
  for (std::size_t i = 0; i + 1 < numbers.size(); ++i) {
    if (numbers[i] > 255) return std::nullopt;
  }
  const std::size_t spare = 5 - numbers.size();
  if (numbers.back() >= (1ull << (8 * spare))) return std::nullopt;
  std::uint64_t address = numbers.back();
  for (std::size_t i = 0; i + 1 < numbers.size(); ++i) address += numbers[i] << (8 * (3 - i));
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (!out.empty()) out.push_back('.');
    out += std::to_string((address >> shift) & 0xFF);
  }
  return out;
}

// The URL standard's IPv6 parser; the inside of the brackets.
std::optional<std::array<std::uint16_t, 8>> ParseIpv6(std::string_view in) {
  std::array<std::uint16_t, 8> pieces{};
  int piece = 0;
  int compress = -1;
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return k < in.size() ? in[k] : '\0'; };
  if (at(i) == ':') {
    if (at(i + 1) != ':') return std::nullopt;
    i += 2;
    compress = ++piece;
  }
  while (i < in.size()) {
    if (piece == 8) return std::nullopt;
    if (at(i) == ':') {
      if (compress >= 0) return std::nullopt;
      ++i;
      compress = ++piece;
      continue;
    }
    unsigned value = 0;
    int length = 0;
    while (length < 4 && HexDigitValue(at(i)) >= 0) {
      value = value * 16 + static_cast<unsigned>(HexDigitValue(at(i)));
      ++i;
      ++length;
    }
    if (at(i) == '.') {
      if (length == 0 || piece > 6) return std::nullopt;
      i -= static_cast<std::size_t>(length);
      int seen = 0;
      while (i < in.size()) {
        int v4 = -1;
        if (seen > 0) {
          if (at(i) != '.' || seen >= 4) return std::nullopt;
          ++i;
        }
        if (at(i) < '0' || at(i) > '9') return std::nullopt;
        while (at(i) >= '0' && at(i) <= '9') {
          const int d = at(i) - '0';
          if (v4 == 0) return std::nullopt;  // no leading zeros
          v4 = v4 < 0 ? d : v4 * 10 + d;
          if (v4 > 255) return std::nullopt;
          ++i;
        }
        pieces[piece] = static_cast<std::uint16_t>(pieces[piece] * 0x100 + v4);
        ++seen;
        if (seen == 2 || seen == 4) ++piece;
      }
      if (seen != 4) return std::nullopt;
      break;
    }
    if (at(i) == ':') {
      ++i;
      if (i >= in.size()) return std::nullopt;
    } else if (i < in.size()) {
      return std::nullopt;
    }
    pieces[piece++] = static_cast<std::uint16_t>(value);
  }
  if (compress >= 0) {
    int swaps = piece - compress;
    piece = 7;
    while (piece != 0 && swaps > 0) {
      std::swap(pieces[piece], pieces[compress + swaps - 1]);
      --piece;
      --swaps;
    }
  } else if (piece != 8) {
    return std::nullopt;
  }
  return pieces;
}

std::string SerializeIpv6(const std::array<std::uint16_t, 8>& pieces) {
  // The first longest run of two or more zero pieces is written "::".
  int best = -1;
  int best_len = 1;
  for (int i = 0; i < 8;) {
    int j = i;
    while (j < 8 && pieces[j] == 0) ++j;
    if (j - i > best_len) {
      best = i;
      best_len = j - i;
    }
    i = j == i ? i + 1 : j;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "[";
  for (int i = 0; i < 8; ++i) {
    if (i == best) {
      out += i == 0 ? "::" : ":";
      i += best_len - 1;
      continue;
    }
    std::string piece;
    for (std::uint16_t v = pieces[i]; v != 0 || piece.empty(); v >>= 4) {
      piece.insert(piece.begin(), kHex[v & 0xF]);
      if (v < 16) break;
    }
    out += piece;
    if (i != 7) out.push_back(':');
  }
  out.push_back(']');
  return out;
}

}  // namespace

std::optional<std::string> CanonicalHost(std::string_view host) {
  if (host.empty()) return std::nullopt;
  if (host.front() == '[') {
    if (host.size() < 2 || host.back() != ']') return std::nullopt;
    const auto pieces = ParseIpv6(host.substr(1, host.size() - 2));
    if (!pieces) return std::nullopt;
    return SerializeIpv6(*pieces);
  }
  const std::string decoded = PercentDecode(host);
  std::optional<std::string> domain;
  if (IsPlainAsciiDomain(decoded)) {
    domain = LowerAscii(decoded);
  } else if (IsValidUtf8(decoded)) {
    domain = DomainToAsciiUts46(decoded);
  }
  if (!domain || domain->empty()) return std::nullopt;
  for (char c : *domain) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80 || IsForbiddenInDomain(u)) return std::nullopt;
  }
  if (EndsInNumber(*domain)) return ParseIpv4(*domain);
  return domain;
}

bool IsIpAddressHost(std::string_view canonical_host) {
  if (canonical_host.empty()) return false;
  if (canonical_host.front() == '[') return true;
  // A domain never ends in a number: CanonicalHost reads such a name as an IPv4 address.
  const std::size_t dot = canonical_host.rfind('.');
  const std::string_view last =
      dot == std::string_view::npos ? canonical_host : canonical_host.substr(dot + 1);
  return !last.empty() && last.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace kam
