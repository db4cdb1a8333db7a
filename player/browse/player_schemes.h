// The URL schemes that mark a catalogue link as a playback link, and the rewrite that turns such
// a link into a page address on the catalogue site.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kam {

// The 18 player schemes, lower case. The order decides which scheme PlayerSchemeOf reports and
// the order of the rewrite passes of ToSiteUrl.
inline constexpr std::array<std::string_view, 18> PlayerSchemes = {
    "xfplayplay://",  "xiguaplay://", "qiyiplay://",     "youkuplay://", "tudouplay://",
    "jjvodplay://",   "qqplay://",    "kankanplay://",   "56play://",    "ku6play://",
    "sohuplay://",    "letvplay://",  "funshionplay://", "pptvplay://",  "ckplayerplay://",
    "hunantvplay://", "1905play://",  "ppsplay://",
};

// True when the URL, ASCII letters lower-cased, contains any player scheme anywhere (not only at
// its start: a scheme inside the query counts too).
bool IsPlayerUrl(std::string_view url);

// The scheme found in the URL (case-insensitively, anywhere); when several are present, the one
// latest in the table. Empty when there is none.
std::string PlayerSchemeOf(std::string_view url);

// The URL with every player scheme replaced by the site base address dizhi. Each scheme in table
// order is one pass: the whole text is lower-cased, then every occurrence of the scheme is
// replaced left to right. So the result is lower case throughout, except for base-address text
// inserted by the last pass, which keeps the case dizhi has.
std::string ToSiteUrl(std::string_view url, std::string_view dizhi);

}  // namespace kam
