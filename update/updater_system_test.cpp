#include "update/updater_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace kam::update {
namespace {

namespace fs = std::filesystem;

// Linux only: there a downloaded installer may be a "#!" script without the execute bit. The
// Windows start of a program is tested with the process-control tests of the Win32 layer.
#ifndef _WIN32
TEST(SystemUpdaterPorts, StartsADownloadedScriptThatIsNotYetExecutable) {
  kam::testing::TempDir dir;
  const fs::path marker = dir.path() / "ran.txt";
  const fs::path installer =
      dir.Write("sela_pid_uid.exe", "#!/bin/sh\necho ran > '" + marker.string() + "'\n");
  fs::permissions(installer, fs::perms::owner_read | fs::perms::owner_write);

  SystemUpdaterPorts ports(dir.path());
  ASSERT_TRUE(ports.StartProgram(installer));
  EXPECT_NE(fs::status(installer).permissions() & fs::perms::owner_exec, fs::perms::none);
  for (int i = 0; i < 100 && !fs::exists(marker); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(ReadFileBytes(marker), "ran\n");
}
#endif

TEST(SystemUpdaterPorts, MissingInstallerCannotStart) {
  kam::testing::TempDir dir;
  SystemUpdaterPorts ports(dir.path());
  EXPECT_FALSE(ports.StartProgram(dir.path() / "sela_pid_uid.exe"));
}

TEST(SystemUpdaterPorts, SettingsGoThroughTheProgramDirectoryFiles) {
  kam::testing::TempDir dir;
  dir.Write("kamplayer.db", "[kampeizhi]\r\nwangzhan=http://127.0.0.1:18731\r\n");
  fs::create_directories(dir.path() / "skin");
  SystemUpdaterPorts ports(dir.path());
  EXPECT_EQ(ports.ReadSetting("kampeizhi", "wangzhan"), "http://127.0.0.1:18731");
  ASSERT_TRUE(ports.WriteSkinConfig("Version", "Version", "2.0.1"));
  auto config = ReadFileBytes(dir.path() / "skin" / "Config.ini");
  ASSERT_TRUE(config.has_value());
  EXPECT_NE(config->find("Version=2.0.1"), std::string::npos);
}

TEST(SystemTickClock, MovesForward) {
  SystemTickClock clock;
  std::uint32_t first = clock.TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(static_cast<std::uint32_t>(clock.TickCount() - first), 20u);
}

}  // namespace
}  // namespace kam::update
