#include "common/code_page.h"

#include <gtest/gtest.h>

namespace kam {
namespace {

struct RoundTrip {
  const char* utf8;
  const char* gbk;
};

void PrintTo(const RoundTrip& r, std::ostream* os) { *os << '"' << r.utf8 << '"'; }

class CodePageRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(CodePageRoundTrip, BothDirections) {
  EXPECT_EQ(Utf8ToGbk(GetParam().utf8), GetParam().gbk);
  EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, CodePageRoundTrip,
                         ::testing::Values(RoundTrip{"", ""}, RoundTrip{"abc 123", "abc 123"},
                                           RoundTrip{"播放列表",
                                                     "\xB2\xA5\xB7\xC5\xC1\xD0\xB1\xED"},
                                           RoundTrip{"a中b",
                                                     "a\xD6\xD0"
                                                     "b"},
                                           RoundTrip{"€", "\x80"}));

TEST(CodePage, UnmappableCharacterBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToGbk("a\U0001F600b"), "a?b");
}

TEST(CodePage, InvalidGbkBecomesReplacementCharacter) {
  // A lead byte before a byte that is no trail.
  EXPECT_EQ(GbkToUtf8("\xFE\x30"),
            "\xEF\xBF\xBD"
            "0");
  // A lead byte at the very end has no trail byte.
  EXPECT_EQ(GbkToUtf8("a\xD6"), "a\xEF\xBF\xBD");
}

TEST(CodePage, CodesAreSignedSixteenBit) {
  EXPECT_EQ(AnsiCodeOf(U'A'), 65);
  EXPECT_EQ(AnsiCodeOf(U'中'), static_cast<int16_t>(0xD6D0));
  EXPECT_EQ(CharOfAnsiCode(static_cast<int16_t>(0xD6D0)), U'中');
  EXPECT_EQ(CharOfAnsiCode(65), U'A');
  EXPECT_FALSE(AnsiCodeOf(U'\U0001F600').has_value());
  EXPECT_FALSE(CharOfAnsiCode(static_cast<int16_t>(0xA27F)).has_value());  // no trail
  EXPECT_FALSE(CharOfAnsiCode(40000).has_value());
  EXPECT_FALSE(CharOfAnsiCode(static_cast<int16_t>(0x7F41)).has_value());  // no lead byte
}

TEST(CodePage, EveryDoubleByteCodeRoundTrips) {
  int count = 0;
  for (int code = -32768; code < 0; ++code) {
    auto ch = CharOfAnsiCode(code);
    if (!ch) continue;
    ++count;
    ASSERT_EQ(AnsiCodeOf(*ch), code) << "code " << code;
  }
  EXPECT_GT(count, 21000);  // GBK holds 21886 double-byte characters
}

}  // namespace
}  // namespace kam
