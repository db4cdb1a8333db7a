#include "player/browse/page_url_text.h"

#include <algorithm>

#include "common/ascii_text.h"
#include "player/browse/site_schemes.h"

namespace kam {
namespace {

// What the HTML URL parser strips around an attribute value.
bool IsHtmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

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

std::string PercentDecodeAddress(std::string_view text) {
  const std::string head = LowerAscii(text.substr(0, 8));
  std::size_t start = 0;
  if (head.rfind("http://", 0) == 0) start = 7;
  if (head.rfind("https://", 0) == 0) start = 8;
  if (start == 0) return PercentDecode(text);
  const std::size_t end = std::min(text.find_first_of("/?#\\", start), text.size());
  return std::string(text.substr(0, end)) + PercentDecode(text.substr(end));
}

}  // namespace kam
