// Every URL scheme of the system's own making that a page of the site can carry: the 18 player
// schemes, the desktop-shortcut scheme "dddisk", the close scheme "colse" of the player page and
// the list page's "pl". The browser engine must know them all before it starts (see
// qt/url_schemes.h), and a link written in one of them is taken as the page wrote it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kam {

inline constexpr std::string_view kShortcutScheme = "dddisk://";
inline constexpr std::string_view kCloseScheme = "colse://";
inline constexpr std::string_view kListScheme = "pl://";

// Scheme names without "://", lower case, player schemes first in table order.
std::vector<std::string> SiteSchemeNames();

// The length of the site scheme ("name://", any letter case) that text begins with, or 0.
std::size_t SiteSchemePrefixLength(std::string_view text);

}  // namespace kam
