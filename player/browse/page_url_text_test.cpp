#include "player/browse/page_url_text.h"

#include <gtest/gtest.h>

#include "player/browse/site_schemes.h"

namespace kam {
namespace {

TEST(PageUrlText, SiteSchemesKeepTheRawTextOtherAddressesTheAbsoluteOne) {
  const struct {
    const char* raw;
    const char* absolute;
    const char* out;
  } cases[] = {
      {"dddisk://名字 Ab@@@/p/1.html", "dddisk://%E5%90%8D%E5%AD%97%20Ab@@@/p/1.html",
       "dddisk://名字 Ab@@@/p/1.html"},
      {"QQPLAY://Abc/1.html", "qqplay://Abc/1.html", "qqplay://Abc/1.html"},
      {"56play://7", "http://h/dir/56play://7", "56play://7"},
      {"1905Play://Z", "http://h/dir/1905Play://Z", "1905play://Z"},
      {"  Colse://x\n", "colse://x", "colse://x"},
      {"PL://3", "pl://3", "pl://3"},
      {"/x.html?u=qqplay://y", "http://h/x.html?u=qqplay://y", "http://h/x.html?u=qqplay://y"},
      {"x/qqplay://y", "http://h/dir/x/qqplay://y", "http://h/dir/x/qqplay://y"},
      {"http://Example.com/a", "http://example.com/a", "http://example.com/a"},
      {"qqplay:/one-slash", "qqplay:/one-slash", "qqplay:/one-slash"},
      {"", "", ""},
      {"ku6play://k", "ku6play://k", "ku6play://k"},
  };
  for (const auto& c : cases) EXPECT_EQ(PageUrlText(c.raw, c.absolute), c.out) << c.raw;
}

TEST(PercentDecode, DecodesEveryWellFormedEscape) {
  EXPECT_EQ(PercentDecode("a%20b%E4%B8%AD%2f"), "a b中/");
  EXPECT_EQ(PercentDecode("100%"), "100%");
  EXPECT_EQ(PercentDecode("%zz%4"), "%zz%4");
  EXPECT_EQ(PercentDecode("%2541"), "%41");  // once, not twice
}

TEST(PercentDecode, EngineAddressKeepsAWebAuthorityEncoded) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"http://site%2F@evil.example/%E4%B8%AD", "http://site%2F@evil.example/中"},
      {"HTTPS://a%40b@c/%40?%23#%2F", "HTTPS://a%40b@c/@?##/"},
      {"http://site", "http://site"},
      {"dddisk://%E5%90%8D@@@/%2F", "dddisk://名@@@//"},
      {"qqplay:///v/%41", "qqplay:///v/A"},
  };
  for (const auto& c : cases) EXPECT_EQ(PercentDecodeAddress(c.in), c.out) << c.in;
  // Decoded, the first case would read as the site: the host must stay where the engine saw it.
  EXPECT_NE(PercentDecodeAddress("http://site%2F@evil/").rfind("http://site/", 0), 0u);
}

TEST(SiteSchemes, NameEveryPlayerSchemeAndTheSitesOwn) {
  const std::vector<std::string> names = SiteSchemeNames();
  EXPECT_EQ(names.size(), 21u);
  EXPECT_EQ(names.front(), "xfplayplay");
  for (const char* n : {"56play", "1905play", "dddisk", "colse", "pl", "ppsplay"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), n), names.end()) << n;
  }
  EXPECT_EQ(SiteSchemePrefixLength("KU6PLAY://x"), 10u);
  EXPECT_EQ(SiteSchemePrefixLength("ku6play:/x"), 0u);
  EXPECT_EQ(SiteSchemePrefixLength("http://qqplay://"), 0u);
}

}  // namespace
}  // namespace kam
