// The platform's shortcut writer on real folders. On Linux the entry is also started the way a
// desktop starts it (gio launch), which checks the Exec quoting end to end.
#include <gtest/gtest.h>

#include "player/browse/desktop_shortcut.h"
#include "player/browse/shortcut_file_choice.h"

#ifdef __linux__
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <thread>

#include "common/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

// Points HOME and the XDG variables at a temporary folder for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class DesktopWriterTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  ScopedEnv home_{"HOME", dir_.path().c_str()};
  ScopedEnv config_{"XDG_CONFIG_HOME", (dir_.path() / "config").c_str()};
  ScopedEnv desktop_{"XDG_DESKTOP_DIR", nullptr};
  std::unique_ptr<DesktopShortcutPort> writer_ = MakeDesktopShortcutWriter();
};

DesktopShortcut Sample() {
  return DesktopShortcut{"剧 名", "/opt/kam/kamplayer", "arg", "剧 名", "/opt/kam/skin/icon.ico"};
}

TEST_F(DesktopWriterTest, WritesAnExecutableEntryIntoHomeDesktop) {
  ASSERT_TRUE(writer_->Save(Sample()));
  const auto file = dir_.path() / "Desktop" / "剧 名.desktop";
  const std::optional<std::string> bytes = ReadFileBytes(file);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, DesktopEntryText(Sample()));
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
}

TEST_F(DesktopWriterTest, ReplacesAShortcutOfTheSameNameAndLeavesNothingElse) {
  DesktopShortcut s = Sample();
  ASSERT_TRUE(writer_->Save(s));
  s.arguments = "second";
  ASSERT_TRUE(writer_->Save(s));
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path() / "Desktop")) {
    ++files;
    EXPECT_EQ(e.path().filename(), "剧 名.desktop");
  }
  EXPECT_EQ(files, 1);
  EXPECT_EQ(*ReadFileBytes(dir_.path() / "Desktop" / "剧 名.desktop"), DesktopEntryText(s));
}

TEST_F(DesktopWriterTest, FollowsTheUsersDesktopSetting) {
  std::filesystem::create_directories(dir_.path() / "config");
  dir_.Write("config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
  ASSERT_TRUE(writer_->Save(Sample()));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "桌面" / "剧 名.desktop"));
}

TEST_F(DesktopWriterTest, FollowsXdgDesktopDir) {
  ScopedEnv desk("XDG_DESKTOP_DIR", (dir_.path() / "elsewhere").c_str());
  ASSERT_TRUE(writer_->Save(Sample()));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "elsewhere" / "剧 名.desktop"));
}

TEST_F(DesktopWriterTest, OtherFilesOfTheSameNameStayAndTheShortcutTakesTheNextFreeName) {
  const auto desk = dir_.path() / "Desktop";
  const std::string firefox = "[Desktop Entry]\nType=Application\nExec=firefox %u\n";
  dir_.Write("Desktop/剧 名.desktop", firefox);
  DesktopShortcut elsewhere = Sample();
  elsewhere.program = "/other/dir/kamplayer";  // another copy's shortcut is not this one's
  dir_.Write("Desktop/剧 名 (2).desktop", DesktopEntryText(elsewhere));
  std::filesystem::create_directories(desk / "剧 名 (3).desktop");
  std::filesystem::create_symlink(dir_.path() / "nowhere", desk / "剧 名 (4).desktop");
  ASSERT_TRUE(writer_->Save(Sample()));
  EXPECT_EQ(*ReadFileBytes(desk / "剧 名.desktop"), firefox);
  EXPECT_EQ(*ReadFileBytes(desk / "剧 名 (2).desktop"), DesktopEntryText(elsewhere));
  EXPECT_EQ(*ReadFileBytes(desk / "剧 名 (5).desktop"), DesktopEntryText(Sample()));
  // The player's own file of a name is replaced in place: no further copies.
  DesktopShortcut again = Sample();
  again.arguments = "again";
  ASSERT_TRUE(writer_->Save(again));
  EXPECT_EQ(*ReadFileBytes(desk / "剧 名 (5).desktop"), DesktopEntryText(again));
  EXPECT_FALSE(std::filesystem::exists(desk / "剧 名 (6).desktop"));
}

TEST_F(DesktopWriterTest, FailureIsReportedAndLeavesNoTemporaryFile) {
  // Folders under every name the shortcut could take: nothing may replace them.
  const auto desk = dir_.path() / "Desktop";
  std::filesystem::create_directories(desk / "剧 名.desktop");
  for (int i = 2; i <= kMaxShortcutNameTries; ++i) {
    std::filesystem::create_directories(desk / ("剧 名 (" + std::to_string(i) + ").desktop"));
  }
  EXPECT_FALSE(writer_->Save(Sample()));
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(desk)) {
    ++entries;
    EXPECT_TRUE(e.is_directory()) << e.path();
  }
  EXPECT_EQ(entries, kMaxShortcutNameTries);
}

TEST_F(DesktopWriterTest, NoDesktopAnywhereIsReported) {
  ScopedEnv desk("XDG_DESKTOP_DIR", (dir_.path() / "file").c_str());
  dir_.Write("file", "not a folder");
  EXPECT_FALSE(writer_->Save(Sample()));
  EXPECT_EQ(*ReadFileBytes(dir_.path() / "file"), "not a folder");
}

TEST_F(DesktopWriterTest, DesktopStartsTheProgramWithTheArgumentIntact) {
  if (std::system("command -v gio >/dev/null 2>&1") != 0) GTEST_SKIP() << "gio missing";
  const auto out = dir_.path() / "args.txt";
  const auto program =
      dir_.Write("bin/fake player", "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"" + out.string() +
                                        ".tmp\" && mv \"" + out.string() + ".tmp\" \"" +
                                        out.string() + "\"\n");
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  const std::string argument = "a\\b\"c%d$e`f'g 中 \\\\ %% #@@ ;|&";
  DesktopShortcut s = Sample();
  s.program = program;
  s.arguments = argument;
  ASSERT_TRUE(writer_->Save(s));
  const std::string cmd =
      "gio launch '" + (dir_.path() / "Desktop" / "剧 名.desktop").string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (int i = 0; i < 100 && !std::filesystem::exists(out); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(ReadFileBytes(out).value_or("<not started>"), "1\n" + argument + "\n");
}

}  // namespace
}  // namespace kam
#endif
