#include "player/browse/auto_next_setting.h"

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

TEST(AutoNextSettingTest, OnUnlessTheFileSaysOff) {
  testing::TempDir dir;
  const auto file = UserSettingsFile(dir.path() / "kamplayer");
  EXPECT_TRUE(ReadAutoNext(file)) << "no file: on";
  ASSERT_TRUE(WriteAutoNext(file, false));
  EXPECT_FALSE(ReadAutoNext(file));
  ASSERT_TRUE(WriteAutoNext(file, true));
  EXPECT_TRUE(ReadAutoNext(file));
  dir.Write("kamplayer/settings.ini", "[play]\r\nautonext=junk\r\n");
  EXPECT_TRUE(ReadAutoNext(file)) << "anything but 0 is on";
}

TEST(AutoNextSettingTest, KeepsTheFilesOtherSettings) {
  testing::TempDir dir;
  const auto file = dir.Write("settings.ini", "[window]\r\nsize=3\r\n");
  ASSERT_TRUE(WriteAutoNext(file, false));
  EXPECT_EQ(ReadFileBytes(file), "[window]\r\nsize=3\r\n[play]\r\nautonext=0\r\n");
}

}  // namespace
}  // namespace kam
