#include "player/browse/page_url_text.h"

#include "player/browse/site_schemes.h"

namespace kam {
namespace {

// What the HTML URL parser strips around an attribute value.
bool IsHtmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PageUrlText(std::string_view raw, std::string_view absolute) {
  while (!raw.empty() && IsHtmlBlank(raw.front())) raw.remove_prefix(1);
  while (!raw.empty() && IsHtmlBlank(raw.back())) raw.remove_suffix(1);
  const std::size_t scheme = SiteSchemePrefixLength(raw);
  if (scheme == 0) return std::string(absolute);
  std::string text(raw);
  for (std::size_t i = 0; i < scheme; ++i) {
    if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
  }
  return text;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace kam
