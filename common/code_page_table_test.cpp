// The code page layer against Windows' own code page 936, both ways: every single byte, every
// lead/trail pair and every UTF-16 unit, as Windows (Wine) converts them.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/code_page.h"
#include "common/private_profile.h"

namespace kam {
namespace {

struct WindowsTable {
  std::vector<std::uint16_t> char_of;  // by code (single byte, or lead * 256 + trail); 0 = none
  std::vector<std::uint16_t> code_of;  // by UTF-16 unit; 0 = none
};

std::optional<WindowsTable> LoadTable() {
  std::ifstream in(KAM_CP936_TABLE, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() != 4 * 65536) return std::nullopt;
  WindowsTable t;
  t.char_of.resize(65536);
  t.code_of.resize(65536);
  for (std::size_t i = 0; i < 2 * 65536; ++i) {
    const auto v = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                              static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    (i < 65536 ? t.char_of[i] : t.code_of[i - 65536]) = v;
  }
  return t;
}

const WindowsTable& Table() {
  static const std::optional<WindowsTable> table = LoadTable();
  if (!table) ADD_FAILURE() << "cannot read " << KAM_CP936_TABLE;
  static const WindowsTable empty{std::vector<std::uint16_t>(65536),
                                  std::vector<std::uint16_t>(65536)};
  return table ? *table : empty;
}

// The code as AnsiCodeOf gives it: a double byte as a signed 16-bit value.
int AnsiCode(int unsigned_code) {
  return unsigned_code < 0x100 ? unsigned_code : static_cast<std::int16_t>(unsigned_code);
}

std::string Bytes(int unsigned_code) {
  if (unsigned_code < 0x100) return std::string(1, static_cast<char>(unsigned_code));
  return {static_cast<char>(unsigned_code >> 8), static_cast<char>(unsigned_code & 0xFF)};
}

TEST(CodePageAsWindows, EveryCodeGivesWindowsCharacter) {
  const WindowsTable& t = Table();
  int differences = 0;
  for (int code = 0x80; code < 0x10000; ++code) {
    if (code >= 0x100 && code < 0x8100) continue;
    // 0 stands for no character on both sides (no code of 0x80 and up gives U+0000).
    const char32_t ours = CharOfAnsiCode(AnsiCode(code)).value_or(0);
    const char32_t windows = t.char_of[code];
    if (ours != windows && ++differences <= 10) {
      ADD_FAILURE() << std::hex << "code 0x" << code << ": ours 0x"
                    << static_cast<std::uint32_t>(ours) << ", Windows 0x"
                    << static_cast<std::uint32_t>(windows);
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST(CodePageAsWindows, EveryCharacterGivesWindowsCode) {
  const WindowsTable& t = Table();
  int differences = 0;
  for (char32_t unit = 0x80; unit < 0x10000; ++unit) {
    if (unit >= 0xD800 && unit < 0xE000) continue;  // surrogates are no characters
    // 0 stands for no code on both sides (no character of U+0080 and up has the code 0).
    const int ours = AnsiCodeOf(unit).value_or(0);
    const int windows = t.code_of[unit] != 0 ? AnsiCode(t.code_of[unit]) : 0;
    if (ours != windows && ++differences <= 10) {
      ADD_FAILURE() << std::hex << "U+" << static_cast<std::uint32_t>(unit) << ": ours " << ours
                    << ", Windows " << windows;
    }
  }
  EXPECT_EQ(differences, 0);
}

// The bulk conversions over every character of the code page at once.
TEST(CodePageAsWindows, BulkTextOfEveryCharacterBothWays) {
  const WindowsTable& t = Table();
  std::string gbk;
  std::u32string text;
  for (int code = 0x80; code < 0x10000; ++code) {
    if (t.char_of[code] == 0 || (code >= 0x100 && code < 0x8100)) continue;
    gbk += Bytes(code);
    text.push_back(t.char_of[code]);
  }
  ASSERT_GT(text.size(), 23000u);
  const std::string utf8 = CodePointsToUtf8(text);
  EXPECT_TRUE(GbkToUtf8(gbk) == utf8);
  EXPECT_TRUE(Utf8ToGbk(utf8) == gbk);
}

// Settings values whose bytes Windows maps to private-use characters come back as they were:
// a lone 0xFF, and UTF-8 text read as GBK whose pair AD E6 falls in a user-defined row.
TEST(CodePageAsWindows, SettingsValuesWithPrivateUseBytesReadBackWhole) {
  for (const std::string& value : {std::string("\xFF"), std::string("\xAD\xE6\x9C\xAC"),
                                   std::string("a\x80\xFF\xAA\xA1\xFE\xFE")}) {
    const std::string file = "[Main]\r\nKey=" + value + "\r\n";
    const std::string read = ReadProfileValue(file, "Main", "Key", "", 1024);
    EXPECT_EQ(read.find('?'), std::string::npos) << read;
    EXPECT_EQ(Utf8ToGbk(read), value);
    const std::optional<std::string> written = ProfileWithValue("", "Main", "Key", read);
    ASSERT_TRUE(written.has_value());
    EXPECT_NE(written->find("Key=" + value), std::string::npos);
  }
}

}  // namespace
}  // namespace kam
