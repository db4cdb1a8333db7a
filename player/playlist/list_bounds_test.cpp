#include "player/playlist/list_bounds.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/code_page.h"

namespace kam::playlist {
namespace {

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out.append(piece);
  return out;
}

bool ValidUtf8(const std::string& text) { return CodePointsToUtf8(Utf8ToCodePoints(text)) == text; }

TEST(CutToCharsTest, CountsCharactersNotBytes) {
  const struct {
    const char* name;
    std::string text;
    std::size_t max;
    std::string cut;
  } cases[] = {
      {"short text stays", "abc", 5, "abc"},
      {"ascii", "abcdef", 3, "abc"},
      {"chinese, three bytes each", "第一集花絮", 2, "第一"},
      {"mixed", "a第b集", 3, "a第b"},
      {"four-byte character is one",
       "\xF0\x9F\x8E\xAC"
       "x",
       1, "\xF0\x9F\x8E\xAC"},
      {"malformed byte counts as one",
       "\xFF"
       "ab",
       2,
       "\xFF"
       "a"},
      {"truncated sequence is one byte each",
       "\xE7\xAC"
       "ab",
       2, "\xE7\xAC"},
      {"nothing", "abc", 0, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CutToChars(c.text, c.max), c.cut) << c.name;
  }
}

TEST(BoundedEntryTest, Table) {
  const std::string address_4096 = "http://s/" + Repeat("a", kMaxAddressBytes - 9);
  const std::string title_512 = Repeat("长", kMaxTextChars);
  const struct {
    const char* name;
    std::string entry;
    std::optional<std::string> bounded;
  } cases[] = {
      {"entry within the bounds is unchanged", "第1集||http://s/1||剧", "第1集||http://s/1||剧"},
      {"exactly at every bound is unchanged", title_512 + "||" + address_4096 + "||" + title_512,
       title_512 + "||" + address_4096 + "||" + title_512},
      {"trailing spaces of an uncut entry stay", "a||u||t  ", "a||u||t  "},
      {"long text is cut by characters", Repeat("第", 600) + "||u||t",
       Repeat("第", 512) + "||u||t"},
      {"long title is cut by characters", "a||u||" + Repeat("长", 600), "a||u||" + title_512},
      {"fields after the title count with it", "a||u||t||" + Repeat("x", 600),
       "a||u||t||" + Repeat("x", 509)},
      {"address one byte over is dropped", "a||" + address_4096 + "b||t", std::nullopt},
      {"cut text never ends in half a separator",
       Repeat("a", 511) + "|b" + Repeat("c", 9) + "||u||t", Repeat("a", 511) + "||u||t"},
      {"cut title loses the spaces it ends in", "a||u||t" + Repeat(" ", 600) + "x", "a||u||t"},
      {"fewer than three fields", "a||u", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BoundedEntry(c.entry, "||"), c.bounded) << c.name;
  }
}

TEST(BoundedEntryTest, ChineseTextIsCutToWholeCharactersInBothCodes) {
  const std::string text = Repeat("第一集", 300);  // 900 characters, 2700 bytes
  const std::optional<std::string> entry = BoundedEntry(text + "||u||" + text, "||");
  ASSERT_TRUE(entry);
  const std::string expected = Repeat("第一集", 170) + "第一";  // 512 characters
  EXPECT_EQ(*entry, expected + "||u||" + expected);
  EXPECT_TRUE(ValidUtf8(*entry));
  EXPECT_EQ(Utf8ToCodePoints(expected).size(), kMaxTextChars);
  EXPECT_EQ(Utf8ToGbk(expected).size(), 2 * kMaxTextChars);
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(expected)), expected);
}

TEST(BoundedEntryTest, OtherSeparators) {
  EXPECT_EQ(BoundedEntry(Repeat("a", 511) + "#b##u##t", "##"), Repeat("a", 511) + "##u##t");
  EXPECT_EQ(BoundedEntry("a##u##t", "##"), "a##u##t");
  EXPECT_EQ(BoundedEntry("a||u||t", ""), std::nullopt);
}

TEST(CollectedEntryTest, Table) {
  const struct {
    const char* name;
    std::string text, address, title;
    std::optional<std::string> entry;
  } cases[] = {
      {"plain link", "第1集", "http://s/1", "剧", "第1集||http://s/1||剧"},
      {"separators in texts collapse", "a||b|", "http://s/a|b", "t||", "a|b||http://s/a%7Cb||t"},
      {"address at the bound", "e", "http://s/" + Repeat("a", kMaxAddressBytes - 9), "t",
       "e||http://s/" + Repeat("a", kMaxAddressBytes - 9) + "||t"},
      {"address over the bound", "e", "http://s/" + Repeat("a", kMaxAddressBytes - 8), "t",
       std::nullopt},
      {"a '|' in the address counts as stored (%7C)", "e",
       "http://s/" + Repeat("a", kMaxAddressBytes - 11) + "|", "t", std::nullopt},
      {"100 KB title", "e", "http://s/1", Repeat("长", 34000),
       "e||http://s/1||" + Repeat("长", kMaxTextChars)},
      {"cut text loses a '|' at its end", Repeat("a", 511) + "|b", "http://s/1", "t",
       Repeat("a", 511) + "||http://s/1||t"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CollectedEntry(c.text, c.address, c.title), c.entry) << c.name;
  }
}

}  // namespace
}  // namespace kam::playlist
