// The host of a web address in one canonical text, as a browser reads it: two spellings that name
// the same host give the same text, and the text handed on is the host a browser then contacts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kam {

// The host part of an http(s) authority (between the userinfo and the port), still
// percent-encoded as written. The result is lower case ASCII:
//  - "[...]" an IPv6 address, compressed the usual way ("[::1]");
//  - an IPv4 address in any form a browser accepts ("127.1", "0x7f.0.0.1", "2130706433") as
//    dotted decimal;
//  - a domain with %XX decoded and then, as the URL standard's domain-to-ASCII does it, an ASCII
//    name without "xn--" labels lower-cased, any other name through UTS #46 (host_libraries.h):
//    full-width forms and ideographic full stops mapped, international labels as "xn--" labels.
// Nothing for a host a browser would refuse: empty, a forbidden character, a malformed number or
// IPv6 address, invalid UTF-8, a name UTS #46 refuses. Where the library is stricter than
// browsers (IDNA2008 refuses symbols and emoji; hyphens in international labels are checked),
// the host is refused too: never a host the browser would read differently.
std::optional<std::string> CanonicalHost(std::string_view host);

// Whether a canonical host is an IP address ("[...]" or dotted decimal) rather than a domain.
bool IsIpAddressHost(std::string_view canonical_host);

}  // namespace kam
