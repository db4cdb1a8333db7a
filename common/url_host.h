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
//  - a domain with %XX decoded, ASCII letters lower-cased, full-width ASCII forms and the
//    ideographic full stops mapped as IDNA maps them, and every label holding other non-ASCII
//    characters written as "xn--" Punycode.
// Nothing for a host a browser would refuse: empty, a forbidden character, a malformed number or
// IPv6 address, invalid UTF-8.
std::optional<std::string> CanonicalHost(std::string_view host);

// RFC 3492 Punycode of a label given in UTF-8 (without the "xn--" prefix); nothing for invalid
// UTF-8 or an overflow.
std::optional<std::string> PunycodeEncode(std::string_view utf8_label);

}  // namespace kam
