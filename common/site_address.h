// Web addresses read the way a browser reads them, and the rule that keeps an address built on the
// site's base address on that site. Addresses are joined from texts that pages and settings hand
// over ("http://site" + a link's rest), so the joined text is parsed before anything opens it: a
// "@" or "\" in the rest must not make the browser contact another host.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kam {

struct WebAddress {
  std::string scheme;    // "http" or "https"
  std::string userinfo;  // percent-encoded, without the "@"; empty when there is none
  std::string host;      // canonical (url_host.h)
  int port = 0;          // the explicit port, else the scheme's default
  std::string rest;      // path, query and fragment as written, the path's "\" as "/"

  // The address as text that every URL parser splits the same way: scheme "://", userinfo "@",
  // host, ":" port unless it is the default, then rest.
  std::string Text() const;
};

// The text read as an absolute http or https address as the URL standard reads it: blanks and
// control characters around it dropped, tabs and newlines inside it dropped, the scheme in any
// case, any run of "/" and "\" after it, the userinfo up to the authority's last "@", "\" ending
// the authority like "/". Nothing for another scheme or an address a browser rejects.
std::optional<WebAddress> ParseWebAddress(std::string_view text);

// Same scheme, host and port.
bool SameOrigin(const WebAddress& a, const WebAddress& b);

// The address's Text() when it is an http(s) address on the scheme, host and port of site (the
// base address in dizhi); nothing otherwise, and nothing when site itself is no http(s) address.
std::optional<std::string> AddressOnSite(std::string_view address, std::string_view site);

// site followed directly by rest, as AddressOnSite reads the joined text.
std::optional<std::string> JoinOnSite(std::string_view site, std::string_view rest);

// The site of a canonical host (url_host.h), as browsers group hosts into sites: an IP address is
// a site of its own; a domain's site is its registrable domain by the Public Suffix List
// ("www.example.co.uk" gives "example.co.uk"), or the domain itself where it has none ("localhost",
// "github.io", a single name). A trailing dot makes no other site.
std::string SiteOfHost(std::string_view canonical_host);

// Whether address is an http(s) address on the same site as the http(s) address site (the base
// address in dizhi): scheme and port aside, so the site's move to https or a second port stays
// on it, while another registrable domain, a public suffix's other tenant, another IP address or
// "localhost" beside an IP address does not. An origin ("http://host:port") is an address here.
bool OnSameSite(std::string_view address, std::string_view site);

// The address's Text() when it is any http(s) address.
std::optional<std::string> AnyWebAddress(std::string_view address);

}  // namespace kam
