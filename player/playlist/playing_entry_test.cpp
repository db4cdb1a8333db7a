#include "player/playlist/playing_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam::playlist {
namespace {

constexpr char kSite[] = "http://site:18731";

const std::vector<std::string> kList = {
    "暂无记录||http://site:18731/play/a-1.html||剧",
    "第1集||http://site:18731/play/a-1.html||剧",
    "第2集||HTTP://SITE:18731\\play\\a-2.html||剧",
    "第3集||http://site:18731/play/第3集.html||剧",
    "第4集||http://site:18731/play/a-4.html?src=2||剧",
    "远处||http://other.example/play/a-5.html||剧",
    "两段||http://site:18731/play/a-6.html",
    "重复||http://site:18731/play/a-1.html||剧",
    "竖线||http://site:18731/play/a%7Cb.html||剧",
};

struct ShownCase {
  const char* name;
  const char* shown;
  std::optional<int> hint;
  std::optional<int> expected;
};

void PrintTo(const ShownCase& c, std::ostream* os) { *os << c.name; }

class PlayingEntryRule : public ::testing::TestWithParam<ShownCase> {};

TEST_P(PlayingEntryRule, FindsTheEntryThePaneShows) {
  EXPECT_EQ(PlayingEntry(kList, "||", GetParam().shown, kSite, GetParam().hint),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, PlayingEntryRule,
    ::testing::Values(
        ShownCase{"FirstPlayableEntry", "http://site:18731/play/a-1.html", {}, 1},
        ShownCase{"HintAmongDuplicates", "http://site:18731/play/a-1.html", 7, 7},
        ShownCase{"HintThatDoesNotMatch", "http://site:18731/play/a-1.html", 2, 1},
        ShownCase{"HintOutsideTheList", "http://site:18731/play/a-1.html", 99, 1},
        ShownCase{"FragmentTheEngineKeeps", "http://site:18731/play/a-1.html#t=3", {}, 1},
        ShownCase{
            "BackslashesAndCaseAsTheClickHandsThemOn", "http://site:18731/play/a-2.html", {}, 2},
        ShownCase{"EscapedPath", "http://site:18731/play/%E7%AC%AC3%E9%9B%86.html", {}, 3},
        ShownCase{"DecodedPath", "http://site:18731/play/第3集.html", {}, 3},
        ShownCase{"QueryMatters", "http://site:18731/play/a-4.html?src=2", {}, 4},
        ShownCase{"OtherQuery", "http://site:18731/play/a-4.html?src=3", {}, std::nullopt},
        ShownCase{"EntryOffTheSite", "http://other.example/play/a-5.html", {}, std::nullopt},
        ShownCase{"EntryWithTwoFields", "http://site:18731/play/a-6.html", {}, std::nullopt},
        ShownCase{"EscapedBar", "http://site:18731/play/a%7Cb.html", {}, 8},
        ShownCase{"OtherPort", "http://site:18732/play/a-1.html", {}, std::nullopt},
        ShownCase{"LocalPage", "file:///opt/kam/skin/Loading.html", {}, std::nullopt},
        ShownCase{"Empty", "", {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlayingEntryRule, NothingWithoutASite) {
  EXPECT_EQ(PlayingEntry(kList, "||", "http://site:18731/play/a-1.html", ""), std::nullopt);
}

TEST(ShownAddressKeyRule, SameKeyForTheFormsOfOneAddress) {
  const auto key = ShownAddressKey("http://Site:80");
  ASSERT_TRUE(key);
  EXPECT_EQ(key, ShownAddressKey("http://site/"));
  EXPECT_EQ(key, ShownAddressKey("http://site/#top"));
  EXPECT_NE(key, ShownAddressKey("https://site/"));
  EXPECT_NE(ShownAddressKey("http://site/a?x"), ShownAddressKey("http://site/a"));
  EXPECT_FALSE(ShownAddressKey("dddisk://名字@@@/p"));
}

}  // namespace
}  // namespace kam::playlist
