#include "player/browse/site_schemes.h"

#include <array>

#include "common/ascii_text.h"
#include "player/browse/player_schemes.h"

namespace kam {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != prefix[i]) return false;
  }
  return true;
}

constexpr std::array<std::string_view, 3> kOtherSchemes = {kShortcutScheme, kCloseScheme,
                                                           kListScheme};

}  // namespace

std::vector<std::string> SiteSchemeNames() {
  std::vector<std::string> names;
  auto add = [&names](std::string_view scheme) {
    names.emplace_back(scheme.substr(0, scheme.find(':')));
  };
  for (std::string_view s : PlayerSchemes) add(s);
  for (std::string_view s : kOtherSchemes) add(s);
  return names;
}

std::size_t SiteSchemePrefixLength(std::string_view text) {
  for (std::string_view s : PlayerSchemes) {
    if (StartsWithIgnoringCase(text, s)) return s.size();
  }
  for (std::string_view s : kOtherSchemes) {
    if (StartsWithIgnoringCase(text, s)) return s.size();
  }
  return 0;
}

}  // namespace kam
