// Which addresses are on the site, by registrable domain, and international site addresses.
// Needs libidn2 and libpsl: a build without them takes every host for a site of its own, refuses
// international names and leaves this file out.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/site_address.h"

namespace kam {
namespace {

TEST(SameSite, SameRegistrableDomainIsTheSite) {
  const struct {
    const char* name;
    const char* address;
    const char* site;
    bool on_site;
  } cases[] = {
      {"SameHost", "http://www.example.com/p", "http://www.example.com", true},
      {"Subdomain", "http://img.cdn.example.com/a.png", "http://www.example.com", true},
      {"BareDomain", "http://example.com/", "http://www.example.com", true},
      {"HttpsAndOtherPort", "https://example.com:8443/", "http://www.example.com", true},
      {"HostInAnyCase", "HTTP://WWW.EXAMPLE.COM/", "http://www.example.com", true},
      {"TrailingDot", "http://www.example.com./", "http://example.com", true},
      {"OtherRegistrableDomain", "http://example.net/", "http://www.example.com", false},
      {"LookAlikeSuffix", "http://www.example.com.evil.net/", "http://www.example.com", false},
      {"SiteNameInsideAnother", "http://notexample.com/", "http://example.com", false},
      {"TwoLevelSuffixSibling", "http://other.co.uk/", "http://shop.example.co.uk", false},
      {"TwoLevelSuffixSameSite", "http://a.shop.example.co.uk/", "http://example.co.uk", true},
      {"TheSuffixItself", "http://co.uk/", "http://example.co.uk", false},
      {"HostingTenantsAreSitesOfTheirOwn", "https://evil.github.io/", "https://demo.github.io",
       false},
      {"HostingTenantsOwnSubdomain", "https://x.demo.github.io/", "https://demo.github.io", true},
      {"HostingSuffixItself", "https://github.io/", "https://demo.github.io", false},
      {"SameIpAddress", "http://127.0.0.1:9000/", "http://127.0.0.1:18731", true},
      {"IpAddressSpelledOtherwise", "http://127.1/", "http://127.0.0.1:18731", true},
      {"OtherLoopbackAddress", "http://127.0.0.2:18731/", "http://127.0.0.1:18731", false},
      {"AddressesSharingTheirLastParts", "http://10.0.0.1/", "http://192.168.0.1", false},
      {"LocalhostBesideLoopback", "http://localhost:18731/", "http://127.0.0.1:18731", false},
      {"LoopbackBesideLocalhost", "http://127.0.0.1:18731/", "http://localhost:18731", false},
      {"LocalhostItself", "http://localhost:1/", "http://LOCALHOST:2", true},
      {"Ipv6", "http://[::1]:8080/", "http://[0:0::1]", true},
      {"Ipv6BesideIpv4", "http://[::1]/", "http://127.0.0.1", false},
      {"SingleNameIsItsOwnSite", "http://intranet/", "http://other", false},
      {"IdnSiteAndItsPunycode", "http://www.xn--fsqu00a.xn--fiqs8s/",
       "http://\xE4\xBE\x8B\xE5\xAD\x90.\xE4\xB8\xAD\xE5\x9B\xBD", true},
      {"IdnSiteAndAnotherName", "http://xn--fsqu00b.xn--fiqs8s/",
       "http://\xE4\xBE\x8B\xE5\xAD\x90.\xE4\xB8\xAD\xE5\x9B\xBD", false},
      {"IdnSuffixSibling", "http://\xE5\x88\xAB\xE4\xBA\xBA.\xE4\xB8\xAD\xE5\x9B\xBD/",
       "http://\xE4\xBE\x8B\xE5\xAD\x90.\xE4\xB8\xAD\xE5\x9B\xBD", false},
      {"FullWidthSiteName", "http://www.example.com/", "http://\xEF\xBD\x85xample.com", true},
      {"OriginOfAFrame", "http://img.example.com:81", "http://www.example.com", true},
      {"OpaqueOrigin", "null", "http://www.example.com", false},
      {"LocalFile", "file:///etc/hostname", "http://www.example.com", false},
      {"UserinfoCannotHideTheHost", "http://www.example.com@evil.net/", "http://example.com",
       false},
      {"SiteThatIsNoWebAddress", "http://example.com/", "file:///example.com", false},
      {"EmptySite", "http://example.com/", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OnSameSite(c.address, c.site), c.on_site) << c.name;
  }
}

TEST(SameSite, SiteOfAHost) {
  EXPECT_EQ(SiteOfHost("www.example.co.uk"), "example.co.uk");
  EXPECT_EQ(SiteOfHost("co.uk"), "co.uk");
  EXPECT_EQ(SiteOfHost("a.b.example.com."), "example.com");
  EXPECT_EQ(SiteOfHost("192.168.1.1"), "192.168.1.1");
  EXPECT_EQ(SiteOfHost("[::1]"), "[::1]");
  EXPECT_EQ(SiteOfHost("localhost"), "localhost");
}

// Site addresses given in Unicode meet their links in Punycode (the rule of the play links).
TEST(SameSite, InternationalSiteAddressMatchesItsPunycode) {
  EXPECT_EQ(
      AddressOnSite("http://xn--fsqu00a.example/p", "http://\xE4\xBE\x8B\xE5\xAD\x90.example"),
      "http://xn--fsqu00a.example/p");
  EXPECT_EQ(
      AddressOnSite("http://xn--fsqu00b.example/p", "http://\xE4\xBE\x8B\xE5\xAD\x90.example"),
      std::nullopt);
  EXPECT_EQ(JoinOnSite("http://\xE4\xBE\x8B\xE5\xAD\x90.example", "/p"),
            "http://xn--fsqu00a.example/p");
}

}  // namespace
}  // namespace kam
