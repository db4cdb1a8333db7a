// The two libraries the address rules stand on, behind one seam: libidn2 for international host
// names (UTS #46) and libpsl for the Public Suffix List. A build without them (the Windows cross
// build of the logic) links the stand-ins instead, which refuse what needs a library and take a
// host for its own site: stricter, never looser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kam {

// UTS #46 ToASCII of a domain given in UTF-8, non-transitional, as browsers process host names:
// mapped (case, width, compatibility forms, the ideographic full stops), normalised, checked
// (bidirectional text, joiners, "xn--" labels that do not decode) and written as lower-case ASCII
// with "xn--" labels. Forbidden URL characters are not checked here. Nothing when the name is
// refused, or when the build has no library for it.
std::optional<std::string> DomainToAsciiUts46(std::string_view utf8_domain);

// The registrable domain of an ASCII domain (lower case, "xn--" labels, no trailing dot) by the
// Public Suffix List: "www.example.co.uk" gives "example.co.uk". Nothing for a public suffix
// itself ("co.uk", "github.io"), a name under no suffix the list knows ("localhost"), or when the
// build has no list.
std::optional<std::string> RegistrableDomainByList(std::string_view ascii_domain);

}  // namespace kam
