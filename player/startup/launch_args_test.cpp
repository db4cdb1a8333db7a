#include "player/startup/launch_args.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/code_page.h"

namespace kam {
namespace {

std::string Utf8Of(char32_t ch) { return CodePointsToUtf8(std::u32string(1, ch)); }

std::vector<std::string> Fields(std::string_view text) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(kLaunchArgsSeparator, pos)) != std::string::npos;
       pos = hit + kLaunchArgsSeparator.size()) {
    out.emplace_back(text.substr(pos, hit - pos));
  }
  out.emplace_back(text.substr(pos));
  return out;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

struct CodecCase {
  const char* plain;
  const char* encoded;
};

class LaunchArgs : public ::testing::TestWithParam<CodecCase> {};

TEST_P(LaunchArgs, EncodesAndDecodes) {
  EXPECT_EQ(EncodeLaunchArgs(GetParam().plain), GetParam().encoded);
  EXPECT_EQ(DecodeLaunchArgs(GetParam().encoded), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LaunchArgs,
    ::testing::Values(CodecCase{"", ""}, CodecCase{"?@AB", "nopq"}, CodecCase{"abc", "234"},
                      // Rotation of the whole printable range; space and DEL pass.
                      CodecCase{"!~ \x7F", "PO \x7F"},
                      // 中 is 0xD6D0; 5 codes down is 0xD6CB, 炙.
                      CodecCase{"中文", "炙慰"},
                      // 鑿 0xE88F (-6001) still shifts to 鑺 0xE88A; 钀 0xE890 (-6000) passes.
                      CodecCase{"鑿钀", "鑺钀"},
                      // Outside the code page, and the single-byte euro sign: unchanged.
                      CodecCase{"😀한€", "😀한€"},
                      CodecCase{"Title#@@http://x/1.html", "%:E=6Roo9EEAi^^I^`]9E>="}));

TEST(LaunchArgs, ShiftIntoAGapLeavesTheCharacter) {
  // 丂 is 0x8140: 5 codes down is 0x813B, not a character, so encoding keeps it.
  EXPECT_EQ(EncodeLaunchArgs("丂"), "丂");
  // ... but decoding moves it 5 codes up, to 丒 0x8145: 丂 cannot come back.
  EXPECT_EQ(DecodeLaunchArgs("丂"), "丒");
  EXPECT_FALSE(SurvivesLaunchArgs(U'丂'));
  EXPECT_TRUE(SurvivesLaunchArgs(U'丒'));
}

TEST(LaunchArgs, DecodingTwiceWithoutDoubleByteGivesTheTextBack) {
  const std::string text = "http://127.0.0.1:18731/play/1.html?a=b&c=%20#frag";
  EXPECT_EQ(DecodeLaunchArgs(DecodeLaunchArgs(text)), text);
}

// Every character of the code page: it comes back from encode-then-decode unless it sits beside
// a gap, and SurvivesLaunchArgs says which.
TEST(LaunchArgs, RoundTripOverTheWholeCodePage) {
  int characters = 0;
  std::vector<std::string> lost;
  std::string all;
  for (int code = -32768; code < 256; ++code) {
    const auto ch = CharOfAnsiCode(code);
    if (!ch) continue;
    ++characters;
    const std::string text = Utf8Of(*ch);
    all += text;
    const bool back = DecodeLaunchArgs(EncodeLaunchArgs(text)) == text;
    EXPECT_EQ(back, SurvivesLaunchArgs(*ch)) << text;
    if (back) continue;
    lost.push_back(text);
    // The only way to be lost: encoding finds a gap 5 codes down, decoding a character 5 up.
    EXPECT_LT(code, -6000) << text;
    EXPECT_FALSE(CharOfAnsiCode(code - 5).has_value()) << text;
    EXPECT_TRUE(CharOfAnsiCode(code + 5).has_value()) << text;
  }
  EXPECT_GT(characters, 21000);
  EXPECT_FALSE(lost.empty());
  // Whole texts behave like their characters, and encoding keeps the length.
  EXPECT_EQ(Utf8ToCodePoints(EncodeLaunchArgs(all)).size(), Utf8ToCodePoints(all).size());
  std::string sample;
  for (std::size_t i = 0; i < lost.size(); i += lost.size() / 12 + 1) sample += lost[i] + " ";
  std::cout << characters << " characters, " << lost.size()
            << " do not survive encode-then-decode, e.g. " << sample << "\n";
}

TEST(LaunchArgs, ShortcutArgumentDecodesToNameAndAddress) {
  const std::string arg =
      EncodeShortcutArgument("卡姆影音 第1集", "http://127.0.0.1:18731/play/1.html");
  EXPECT_EQ(arg, EncodeLaunchArgs("卡姆影音 第1集#@@http://127.0.0.1:18731/play/1.html"));
  const auto fields = Fields(DecodeLaunchArgs(arg));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0], "卡姆影音 第1集");
  EXPECT_EQ(fields[1], "http://127.0.0.1:18731/play/1.html");
}

TEST(LaunchArgs, AddressThatWouldNotSurviveIsPercentEncoded) {
  // "、" (0xA1A2) does not survive; the address keeps its meaning as percent-encoded UTF-8.
  const std::string address = "http://x/搜索?q=丂、中";
  const auto fields = Fields(DecodeLaunchArgs(EncodeShortcutArgument("t", address)));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[1], "http://x/%E6%90%9C%E7%B4%A2?q=%E4%B8%82%E3%80%81%E4%B8%AD");
  EXPECT_EQ(PercentDecode(fields[1]), address);
}

TEST(LaunchArgs, AddressesThatSurviveStayReadable) {
  const std::string address = "http://x/电影/第一集.html";
  const auto fields = Fields(DecodeLaunchArgs(EncodeShortcutArgument("t", address)));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[1], address);
}

TEST(LaunchArgs, SeparatorsInsideNameAndAddressCannotSplitTheArgument) {
  const auto fields =
      Fields(DecodeLaunchArgs(EncodeShortcutArgument("a#@#@@@b#", "http://x/p#@@q")));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0], "ab#");
  EXPECT_EQ(fields[1], "http://x/p#%40@q");
}

TEST(LaunchArgs, NameDropsCharactersThatWouldNotSurvive) {
  // The first character of the code page whose shifted code is no character.
  std::string lost;
  for (int code = -32768; code < 0 && lost.empty(); ++code) {
    const auto ch = CharOfAnsiCode(code);
    if (ch && !SurvivesLaunchArgs(*ch)) lost = Utf8Of(*ch);
  }
  ASSERT_FALSE(lost.empty());
  const auto fields =
      Fields(DecodeLaunchArgs(EncodeShortcutArgument("你好" + lost + "。", "http://x/")));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0], "你好。");
}

// Every character that does not survive, in the name and in the address at once.
TEST(LaunchArgs, EveryLostCharacterIsHandledInShortcuts) {
  std::string lost;
  for (int code = -32768; code < 0; ++code) {
    const auto ch = CharOfAnsiCode(code);
    if (ch && !SurvivesLaunchArgs(*ch)) lost += Utf8Of(*ch);
  }
  ASSERT_FALSE(lost.empty());
  const std::string address = "http://x/" + lost + "中文";
  const auto fields = Fields(DecodeLaunchArgs(EncodeShortcutArgument(lost + "名", address)));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0], "名");
  EXPECT_EQ(PercentDecode(fields[1]), address);
}

}  // namespace
}  // namespace kam
