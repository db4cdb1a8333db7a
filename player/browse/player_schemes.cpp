#include "player/browse/player_schemes.h"

#include "common/ascii_text.h"

namespace kam {
namespace {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, pos)) {
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace

bool IsPlayerUrl(std::string_view url) { return !PlayerSchemeOf(url).empty(); }

std::string PlayerSchemeOf(std::string_view url) {
  const std::string lower = LowerAscii(url);
  std::string_view found;
  for (std::string_view scheme : PlayerSchemes) {
    if (lower.find(scheme) != std::string::npos) found = scheme;
  }
  return std::string(found);
}

std::string ToSiteUrl(std::string_view url, std::string_view dizhi) {
  std::string text(url);
  for (std::string_view scheme : PlayerSchemes) {
    text = ReplaceAll(LowerAscii(text), scheme, dizhi);
  }
  return text;
}

}  // namespace kam
