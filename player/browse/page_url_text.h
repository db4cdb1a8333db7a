// The text of an address as the page itself states it. The engine hands over addresses parsed
// into its own form, which would lower-case, reject or re-resolve the site's own links
// ("dddisk://名字@@@/p" is no valid URL, "56play://7" resolves as a relative path); logic wants
// them as written.
#pragma once

#include <string>
#include <string_view>

#include "common/percent_decode.h"

namespace kam {

// The address of an anchor: raw is its href attribute as written, absolute the address the page's
// script reads from it (a.href). When raw, without surrounding blanks, begins with a site scheme
// (any letter case), the result is that raw text with its scheme lower-cased; otherwise absolute.
std::string PageUrlText(std::string_view raw, std::string_view absolute);

// An engine address (percent-encoded) percent-decoded for logic, except the authority of an http
// or https address: "http://site%2F@evil/" names the host evil, and decoding would make it read
// as site.
std::string PercentDecodeAddress(std::string_view text);

}  // namespace kam
