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
