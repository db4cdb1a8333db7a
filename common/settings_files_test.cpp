#include "common/settings_files.h"

#include <gtest/gtest.h>

#include <string>

#include "common/atomic_file.h"
#include "common/code_page.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

// A settings text as the operators' server sends it: GBK, CR LF, every key the programs read.
const char kServerSettings[] =
    "[kampeizhi]\r\n"
    "wangzhan=http://127.0.0.1:18731\r\n"
    "name=\xBF\xA8\xC4\xB7\xD3\xB0\xD2\xF4\r\n"  // 卡姆影音
    "[tui]\r\n"
    "tui=2\r\n"
    "[loading]\r\n"
    "loading=1\r\n"
    "loadingtime=15\r\n"
    "[ver]\r\n"
    "ver=2.1.0\r\n";

struct SettingCase {
  const char* section;
  const char* key;
  const char* expected;
};

class SettingsFile : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingsFile, ReadsEveryKeyOfTheServerText) {
  testing::TempDir dir;
  dir.Write("kamplayer.db", kServerSettings);
  EXPECT_EQ(ReadSetting(dir.path(), GetParam().section, GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SettingsFile,
    ::testing::Values(SettingCase{"kampeizhi", "wangzhan", "http://127.0.0.1:18731"},
                      SettingCase{"kampeizhi", "name", "卡姆影音"}, SettingCase{"tui", "tui", "2"},
                      SettingCase{"loading", "loading", "1"},
                      SettingCase{"loading", "loadingtime", "15"},
                      SettingCase{"ver", "ver", "2.1.0"}, SettingCase{"ver", "Version", ""},
                      SettingCase{"kampeizhi", "tui", ""}));

TEST(SettingsFile, MissingFileReadsEmpty) {
  testing::TempDir dir;
  EXPECT_EQ(ReadSetting(dir.path(), "kampeizhi", "wangzhan"), "");
}

TEST(SettingsFile, LongValueIsCutTo255Bytes) {
  testing::TempDir dir;
  const std::string value(300, 'a');
  dir.Write("kamplayer.db", "[kampeizhi]\r\nname=" + value + "\r\n");
  EXPECT_EQ(ReadSetting(dir.path(), "kampeizhi", "name"), value.substr(0, 255));
}

TEST(SettingsFile, LongChineseValueIsCutBetweenCharacters) {
  testing::TempDir dir;
  // 200 characters of two bytes each: 127 fit in 255 bytes, the 128th would straddle the cut.
  std::string value;
  for (int i = 0; i < 200; ++i) value += "影";
  dir.Write("kamplayer.db", "[kampeizhi]\r\nname=" + Utf8ToGbk(value) + "\r\n");
  const std::string read = ReadSetting(dir.path(), "kampeizhi", "name");
  EXPECT_EQ(Utf8ToGbk(read).size(), 254u);
  EXPECT_EQ(read, value.substr(0, 127 * std::string("影").size()));
}

TEST(SkinConfig, MissingFileGivesTheDefault) {
  testing::TempDir dir;
  EXPECT_EQ(ReadSkinConfig(dir.path(), "Version", "Version", ""), "");
  EXPECT_EQ(ReadSkinConfig(dir.path(), "Version", "Version", "0.9"), "0.9");
}

TEST(SkinConfig, ReadsLongValuesWhole) {
  testing::TempDir dir;
  const std::string value(5000, 'v');
  dir.Write("skin/Config.ini", "[Version]\r\nVersion=" + value + "\r\n");
  EXPECT_EQ(ReadSkinConfig(dir.path(), "Version", "Version", ""), value);
}

TEST(SkinConfig, WriteThenReadKeepsTheOtherContent) {
  testing::TempDir dir;
  dir.Write("skin/Config.ini", "; skin\r\n[Version]\r\nVersion=1.0\r\n[Other]\r\nx=1\r\n");
  ASSERT_TRUE(WriteSkinConfig(dir.path(), "Version", "Version", "2.1.0"));
  EXPECT_EQ(ReadSkinConfig(dir.path(), "Version", "Version", ""), "2.1.0");
  EXPECT_EQ(ReadFileBytes(dir.path() / "skin" / "Config.ini"),
            "; skin\r\n[Version]\r\nVersion=2.1.0\r\n[Other]\r\nx=1\r\n");
}

TEST(SkinConfig, WriteCreatesTheFileInAnExistingSkinFolder) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "skin");
  ASSERT_TRUE(WriteSkinConfig(dir.path(), "Version", "Version", "3"));
  EXPECT_EQ(ReadFileBytes(dir.path() / "skin" / "Config.ini"), "[Version]\r\nVersion=3\r\n");
}

TEST(SkinConfig, WriteWithoutSkinFolderFails) {
  testing::TempDir dir;
  EXPECT_FALSE(WriteSkinConfig(dir.path(), "Version", "Version", "3"));
}

TEST(SkinConfig, ValueFromTheNetworkCannotAddLines) {
  testing::TempDir dir;
  const std::string before = "[Version]\r\nVersion=1.0\r\n";
  dir.Write("skin/Config.ini", before);
  EXPECT_FALSE(WriteSkinConfig(dir.path(), "Version", "Version", "9\r\n[Evil]\r\nx=1"));
  EXPECT_EQ(ReadFileBytes(dir.path() / "skin" / "Config.ini"), before);
}

}  // namespace
}  // namespace kam
