#include "player/browse/player_schemes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace kam {
namespace {

TEST(PlayerSchemes, TableHoldsTheEighteenSchemesInOrder) {
  const std::array<std::string_view, 18> expected = {
      "xfplayplay://",  "xiguaplay://", "qiyiplay://",     "youkuplay://", "tudouplay://",
      "jjvodplay://",   "qqplay://",    "kankanplay://",   "56play://",    "ku6play://",
      "sohuplay://",    "letvplay://",  "funshionplay://", "pptvplay://",  "ckplayerplay://",
      "hunantvplay://", "1905play://",  "ppsplay://"};
  EXPECT_EQ(PlayerSchemes, expected);
}

TEST(PlayerSchemes, NoEntryIsPartOfAnother) {
  for (size_t i = 0; i < PlayerSchemes.size(); ++i) {
    for (size_t j = 0; j < PlayerSchemes.size(); ++j) {
      if (i == j) continue;
      EXPECT_EQ(PlayerSchemes[j].find(PlayerSchemes[i]), std::string_view::npos)
          << PlayerSchemes[i] << " inside " << PlayerSchemes[j];
    }
  }
}

// Every scheme is found on its own, in any letter case, and reported as stored.
TEST(PlayerSchemes, EachSchemeIsRecognisedInAnyCase) {
  for (std::string_view scheme : PlayerSchemes) {
    std::string upper(scheme);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const std::string& url : {std::string(scheme) + "x/1.html", upper + "X/1.html"}) {
      EXPECT_TRUE(IsPlayerUrl(url)) << url;
      EXPECT_EQ(PlayerSchemeOf(url), scheme) << url;
      EXPECT_EQ(ToSiteUrl(url, "http://site"), "http://sitex/1.html") << url;
    }
  }
}

struct Case {
  const char* name;
  const char* url;
  bool is_player;
  const char* scheme;
  const char* dizhi;
  const char* site_url;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class PlayerSchemeCases : public ::testing::TestWithParam<Case> {};

TEST_P(PlayerSchemeCases, AllThreeOperations) {
  const Case& c = GetParam();
  EXPECT_EQ(IsPlayerUrl(c.url), c.is_player);
  EXPECT_EQ(PlayerSchemeOf(c.url), c.scheme);
  EXPECT_EQ(ToSiteUrl(c.url, c.dizhi), c.site_url);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, PlayerSchemeCases,
    ::testing::Values(
        Case{"CapitalSchemeLowerCasesTheBaseAddress", "QQPLAY://abc", true, "qqplay://",
             "http://Kam.Example/Play", "http://kam.example/playabc"},
        Case{"HighestIndexWins", "qqplay://a?b=ppsplay://c", true, "ppsplay://", "http://h/",
             "http://h/a?b=http://h/c"},
        Case{"HighestIndexWinsWhateverTheOrderInTheUrl", "ppsplay://a?qqplay://b", true,
             "ppsplay://", "S/", "S/a?s/b"},
        Case{"SchemeInsideAQueryCounts", "http://www.example.com/go?to=QQplay://7", true,
             "qqplay://", "http://kam", "http://www.example.com/go?to=http://kam7"},
        Case{"Empty", "", false, "", "http://kam", ""},
        Case{"NoSchemeComesBackLowerCased", "HTTP://Example.COM/A?B=C", false, "", "http://kam",
             "http://example.com/a?b=c"},
        Case{"FiftySixNeedsItsDigits", "56Play://9", true, "56play://", "http://k/", "http://k/9"},
        Case{"Ku6IsItsOwnEntry", "ku6play://9", true, "ku6play://", "http://k/", "http://k/9"},
        Case{"DigitsApartAreNoScheme", "5 6play://9", false, "", "http://k/", "5 6play://9"},
        Case{"SchemeWithoutBothSlashesIsNone", "qqplay:/x", false, "", "http://k/", "qqplay:/x"},
        Case{"SubstringAnywhere", "xqqplay://x", true, "qqplay://", "D", "xdx"},
        Case{"EveryOccurrenceIsReplaced", "qqplay://a/qqplay://b/QQPLAY://c", true, "qqplay://",
             "H", "ha/hb/hc"},
        Case{"LastPassKeepsTheCaseOfTheBaseAddress", "PPSplay://Ep/1", true, "ppsplay://",
             "http://Kam.Example", "http://Kam.Exampleep/1"},
        Case{"EarlierInsertIsLowerCasedLaterInsertIsNot", "qqplay://1|ppsplay://2", true,
             "ppsplay://", "AB", "ab1|AB2"},
        Case{"InsertedTextGoesThroughLaterPasses", "qqplay://1", true, "qqplay://",
             "http://Host/ppsplay://", "http://host/http://Host/ppsplay://1"},
        Case{"EmptyBaseAddressDropsTheScheme", "tudouplay://x.html", true, "tudouplay://", "",
             "x.html"},
        Case{"NonAsciiTextIsKept",
             "qqplay://\xE7\xAC\xAC"
             "1\xC3\x84",
             true, "qqplay://", "http://k/",
             "http://k/\xE7\xAC\xAC"
             "1\xC3\x84"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kam
