#include "player/playlist/entry.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace kam::playlist {
namespace {

using Fields = std::vector<std::string_view>;

TEST(SplitEntryTest, Table) {
  const struct {
    std::string_view entry;
    std::string_view separator;
    Fields fields;
  } cases[] = {
      {"", "||", {}},
      {"a", "||", {"a"}},
      {"a||b||c", "||", {"a", "b", "c"}},
      {"||||", "||", {"", "", ""}},
      {"a|||b||c", "||", {"a", "|b", "c"}},
      {"a||b||c||d", "||", {"a", "b", "c", "d"}},
      {"第1集||http://s/1||剧", "||", {"第1集", "http://s/1", "剧"}},
      {"a||b", "", {"a||b"}},
      {"a##b", "##", {"a", "b"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitEntry(c.entry, c.separator), c.fields) << c.entry << " / " << c.separator;
  }
}

TEST(SplitEntryTest, HasAllFields) {
  EXPECT_TRUE(HasAllFields("a||b||c", "||"));
  EXPECT_TRUE(HasAllFields("||||", "||"));
  EXPECT_FALSE(HasAllFields("a||b", "||"));
  EXPECT_FALSE(HasAllFields("", "||"));
}

TEST(EntryFieldTest, NeverHoldsTheSeparator) {
  const struct {
    std::string_view text;
    std::string_view field;
  } cases[] = {
      {"", ""},           {"第1集", "第1集"},
      {"a|b", "a|b"},     {"看||javascript:alert(1)||看", "看|javascript:alert(1)|看"},
      {"a|||||b", "a|b"}, {"||", ""},
      {"|a||", "|a"},     {"| |", "| "},
      {"a|", "a"},
  };
  for (const auto& c : cases) {
    const std::string field = EntryField(c.text);
    EXPECT_EQ(field, c.field) << c.text;
    EXPECT_EQ(field.find(kDefaultSeparator), std::string::npos) << c.text;
    // Joined with two other fields it splits back into exactly three.
    const std::string address = EntryAddressField("http://s/a|b||c|");
    const std::string entry = field + "||" + address + "||" + field;
    EXPECT_EQ(SplitEntry(entry, kDefaultSeparator),
              std::vector<std::string_view>({field, address, field}))
        << c.text;
  }
  EXPECT_EQ(EntryAddressField("http://s/a|b||c|"), "http://s/a%7Cb%7C%7Cc%7C");
}

TEST(IsPlaceholderTest, Table) {
  const struct {
    Fields fields;
    bool placeholder;
  } cases[] = {
      {{"暂无记录", "u", "t"}, true},         {{"a", "暂无观看记录", "t"}, true},
      {{"a", "u", "暂无观看记录"}, true},     {{"暂无观看记录", "u", "t"}, false},
      {{"a", "暂无记录", "暂无记录"}, false}, {{"暂无记录 ", "u", "t"}, false},
      {{"第1集", "http://s/1", "剧"}, false}, {{}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPlaceholder(c.fields), c.placeholder)
        << (c.fields.empty() ? "" : c.fields[0]) << " " << c.fields.size();
  }
}

}  // namespace
}  // namespace kam::playlist
