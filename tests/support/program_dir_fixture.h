// Whole-program test fixtures: a copy of the built program directory in a temporary folder, the
// programs run from it as real processes on the test display, a tray host, the browser panes
// seen through the engine's DevTools endpoint, and screenshots into the test's output folder.
#pragma once

#ifndef _WIN32

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/demo_server.h"
#include "tests/support/session_bus.h"
#include "tests/support/temp_dir.h"

namespace kam::testing {

// The build's program directory (programs and assets) copied into a fresh temporary folder, so
// that a test may change its files and the programs find them beside themselves.
class ProgramDirCopy {
 public:
  ProgramDirCopy();
  bool ok() const { return ok_; }
  const std::filesystem::path& path() const { return dir_.path(); }
  // A program file named as the programs name it ("\skin\Config.ini").
  std::filesystem::path File(std::string_view backslash_name) const;
  // Writes bytes over that file (folders created); returns its path.
  std::filesystem::path Write(std::string_view backslash_name, std::string_view bytes) const;
  // Writes an executable shell script there.
  std::filesystem::path WriteScript(std::string_view backslash_name, std::string_view body) const;
  std::optional<std::string> Read(std::string_view backslash_name) const;
  void Remove(std::string_view backslash_name) const;

 private:
  TempDir dir_;
  bool ok_ = false;
};

// A program run as a real process with its output in a log file; killed (with its process
// group) when the object goes.
class ProgramRun {
 public:
  // env: extra "NAME=value" entries on top of this process's environment.
  ProgramRun(const std::filesystem::path& program, const std::vector<std::string>& arguments,
             const std::vector<std::string>& env = {}, const std::filesystem::path& log = {});
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // The wait status once the process has ended; nothing when it still runs after timeout.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  bool Running();
  // SIGTERM, then SIGKILL after grace.
  void Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// One browser page as the engine's DevTools endpoint lists it.
struct PageTarget {
  std::string type;
  std::string url;
  std::string title;
};

// The pages of the program whose engine listens on 127.0.0.1:port; empty when it does not
// answer.
std::vector<PageTarget> DevToolsPages(int port);
// Polls until some page satisfies match (every 200 ms, at most timeout).
std::optional<PageTarget> WaitForPage(int port, const std::function<bool(const PageTarget&)>& match,
                                      std::chrono::milliseconds timeout);

// A free TCP port on loopback at the time of asking.
int FreeLoopbackPort();

// The environment entry that opens the engine's DevTools endpoint on port.
std::string RemoteDebuggingEnv(int port);

// A notification area on the display (trayer) for the object's lifetime. ok() is false when none
// could be started or its window did not show within a few seconds.
class TrayHost {
 public:
  TrayHost();
  ~TrayHost();
  TrayHost(const TrayHost&) = delete;
  TrayHost& operator=(const TrayHost&) = delete;
  bool ok() const { return run_ != nullptr && run_->started() && shown_; }

 private:
  std::unique_ptr<ProgramRun> run_;
  bool shown_ = false;
};

// build folder/test-output/<suite>.<test>/, created on demand.
std::filesystem::path TestOutputDir();
// A screenshot of the whole display as TestOutputDir()/name.png; the path, or nothing.
std::optional<std::filesystem::path> SaveScreenshot(std::string_view name);

// X windows of the display whose name (title) is exactly title and that are mapped.
std::vector<std::string> VisibleWindowsNamed(std::string_view title);
// Mapped X windows of the process.
std::vector<std::string> VisibleWindowsOf(pid_t pid);
// Size (width, height) of the X window; nothing once it is gone.
std::optional<std::pair<int, int>> WindowSize(const std::string& window);
// Sizes (width, height) of the mapped X windows of the process, in no fixed order (two calls
// may list the same windows differently: pair a window with its size through WindowSize).
std::vector<std::pair<int, int>> VisibleWindowSizesOf(pid_t pid);
// The process's tray icon window (a mapped window no larger than 64 x 64), once it shows.
std::optional<std::string> WaitForTrayIcon(
    pid_t pid, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Moves the pointer to (x, y) in the window and clicks button (1 left, 3 right) there.
void ClickWindow(const std::string& window, int button, int x = 6, int y = 6);

// Polls cond every 50 ms until it holds or timeout passes.
bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout);

// The player run from a program directory copy against the demo site on the build's demo port,
// with a tray host and the engine's DevTools endpoint on a free port. The site is a copy whose
// settings text names that port, so tests may change what the servers serve.
class PlayerE2E : public ::testing::Test {
 protected:
  static constexpr char kCaption[] = "看吧影院";

  PlayerE2E();

  // The settings text (GBK) the site serves: this site, kCaption, exit mode 2, buffering on for
  // 10 s, offered version ver.
  static std::string Settings(std::string_view ver = "1.0");
  // Replaces what the site serves at "/upload/my2.txt" (every start) and "/kam/kam.txt".
  void WriteSiteSettings(std::string_view gbk_text);
  // The site serves the stand-in installer, or with real_installer the build's installer (and
  // names its digest in the settings texts).
  bool StartServer(bool real_installer = false);
  // The player of the program directory copy; output goes to TestOutputDir()/log_name.
  std::unique_ptr<ProgramRun> RunPlayer(const std::vector<std::string>& arguments,
                                        std::string_view log_name = "kamplayer.log");

  // The player's user data folder (its browser profile) for this test: never the real user's.
  std::string UserDataEnv() const { return "XDG_DATA_HOME=" + user_data_.path().string(); }

  // A session bus of the test's own: the player never reaches the desktop's (its screen saver,
  // its media controls).
  PrivateSessionBus bus_;
  TempDir site_;
  TempDir user_data_;
  ProgramDirCopy prog_;
  TrayHost tray_;
  int devtools_ = -1;
  std::unique_ptr<DemoServer> server_;
};

}  // namespace kam::testing

#endif  // _WIN32
