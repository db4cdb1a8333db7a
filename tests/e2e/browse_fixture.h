// Whole-program tests of browsing: the player from a program directory copy against the demo site,
// with a private desktop folder and home, a stand-in browser (xdg-open) that records what it is
// asked to open, and the panes driven through the engine's DevTools endpoint with real input.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "build_config.h"
#include "common/atomic_file.h"
#include "common/code_page.h"
#include "tests/support/devtools_client.h"
#include "tests/support/program_dir_fixture.h"
#include "tests/support/x_window.h"

namespace kam::testing {

using std::chrono::milliseconds;
using std::chrono::seconds;

class BrowseE2E : public PlayerE2E {
 protected:
  BrowseE2E() {
    std::filesystem::create_directories(home_.path() / "config");
    std::filesystem::create_directories(home_.path() / "bin");
    opened_ = home_.path() / "opened.txt";
    const auto stub = home_.Write(
        "bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + opened_.string() + "'\n");
    std::filesystem::permissions(stub, std::filesystem::perms::owner_all);
  }

  // Settings with this site, the given exit mode and buffering time (buffering on).
  void UseSettings(const std::string& tui, const std::string& loadingtime,
                   const std::string& site = {}) {
    const std::string wangzhan =
        site.empty() ? "http://127.0.0.1:" + std::to_string(kam::build::kDemoPort) : site;
    WriteSiteSettings(Utf8ToGbk("[kampeizhi]\r\nwangzhan=" + wangzhan + "\r\nname=" + kCaption +
                                "\r\n[tui]\r\ntui=" + tui + "\r\n[loading]\r\nloading=1\r\n" +
                                "loadingtime=" + loadingtime + "\r\n[ver]\r\nver=1.0\r\n"));
  }

  // The demo server on the build's port. Other test runs on this machine use that port too, so
  // a busy port is waited for (bounded) rather than taken as a failure.
  bool StartServerPatiently(milliseconds patience = seconds(180)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      server_ = std::make_unique<DemoServer>(-1, site_.path());
      if (server_->ok()) return true;
      if (std::chrono::steady_clock::now() >= deadline) {
        ADD_FAILURE() << server_->error();
        return false;
      }
      std::this_thread::sleep_for(seconds(2));
    }
  }

  std::vector<std::string> Env() const {
    const char* path = std::getenv("PATH");
    return {RemoteDebuggingEnv(devtools_),
            UserDataEnv(),
            bus_.Env(),
            "HOME=" + home_.path().string(),
            "XDG_CONFIG_HOME=" + (home_.path() / "config").string(),
            "XDG_DESKTOP_DIR=" + desktop().string(),
            "PATH=" + (home_.path() / "bin").string() + ":" + (path ? path : "/usr/bin:/bin")};
  }

  std::unique_ptr<ProgramRun> Start(std::string_view log = "kamplayer.log") {
    return std::make_unique<ProgramRun>(prog_.path() / "kamplayer", std::vector<std::string>{},
                                        Env(), TestOutputDir() / std::string(log));
  }

  std::filesystem::path desktop() const { return home_.path() / "桌面"; }

  std::string Base() const { return server_->BaseUrl(); }

  // A session with the pane showing address (exactly), once it has a title.
  std::unique_ptr<DevToolsSession> Pane(const std::string& address,
                                        milliseconds timeout = seconds(60)) {
    return DevToolsSession::Open(
        devtools_, [&](const DevToolsTarget& t) { return t.url == address; }, timeout);
  }

  // The catalogue pane, once the site's home page has loaded completely.
  std::unique_ptr<DevToolsSession> Catalogue() {
    auto s = Pane(Base() + "/");
    if (s) WaitForScript(*s, "document.readyState === 'complete'", seconds(30));
    return s;
  }

  // The catalogue pane after a click on the card of 西游记, once its title page (the episode
  // sources) has loaded; fails the test when a step fails.
  std::unique_ptr<DevToolsSession> XiyoujiTitlePage() {
    auto listweb = Catalogue();
    EXPECT_TRUE(listweb) << "the catalogue never loaded";
    if (!listweb) return nullptr;
    const bool clicked = listweb->ClickElement("a.card-cover[href='/title/xiyouji.html']");
    EXPECT_TRUE(clicked) << "the title's card could not be clicked";
    if (!clicked || !WaitForScript(*listweb,
                                   "location.pathname === '/title/xiyouji.html' && "
                                   "document.readyState === 'complete'",
                                   seconds(30))) {
      ADD_FAILURE() << "the title page never loaded";
      return nullptr;
    }
    return listweb;
  }

  // The main window of the player (its largest mapped window), once it shows.
  static std::string MainWindow(pid_t pid) {
    std::string found;
    WaitUntil(
        [&] {
          for (const std::string& w : VisibleWindowsOf(pid)) {
            if (WindowGeometry(w).width >= 1000) found = w;
          }
          return !found.empty();
        },
        seconds(60));
    return found;
  }

  // The title page of 西游记 in the catalogue (unless it shows already), then a click on episode
  // n of its first play source; and the player pane once it shows that episode.
  static void ClickEpisodeLink(DevToolsSession& listweb, int n) {
    if (listweb.EvaluateString("location.pathname") != "/title/xiyouji.html") {
      EXPECT_TRUE(listweb.ClickElement("a.card-cover[href='/title/xiyouji.html']"));
    }
    EXPECT_TRUE(WaitForScript(listweb,
                              "location.pathname === '/title/xiyouji.html' && "
                              "document.readyState === 'complete'",
                              seconds(30)));
    EXPECT_TRUE(listweb.ClickElement("#source-1 li:nth-child(" + std::to_string(n) + ") a"));
  }
  std::unique_ptr<DevToolsSession> EpisodePane(int n) {
    return Pane(Base() + "/play/xiyouji-" + std::to_string(n) + ".html", seconds(30));
  }

  static bool WaitForScript(DevToolsSession& s, const std::string& condition,
                            milliseconds timeout) {
    return WaitUntil(
        [&] {
          auto v = s.Evaluate(condition);
          return v && v->type == Json::Type::kBool && v->boolean;
        },
        timeout);
  }

  // Lines the stand-in browser was asked to open.
  std::vector<std::string> Opened() const {
    std::vector<std::string> lines;
    std::ifstream in(opened_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // A real move of the display's pointer onto the centre of the first element matching selector
  // in the pane of session s (a pane of the player process pid), then a real click of button 1
  // unless move_only. The program sees these as the user's own input, unlike input sent through
  // DevTools. Where the pane lies on the display is found by moving the pointer over the player's
  // windows until the page reports it under the pointer.
  static bool Pointer(pid_t pid, DevToolsSession& s, const std::string& selector,
                      bool move_only = false) {
    s.Evaluate(
        "window.kamPointerAt = null; if (!window.kamPointerHooked) { window.kamPointerHooked = "
        "true; window.addEventListener('mousemove', function (e) { window.kamPointerAt = "
        "[e.clientX, e.clientY]; }, true); } 1");
    std::optional<std::pair<int, int>> origin;
    // On a loaded machine a page may take longer than one wait to see the pointer move: the
    // sweep is repeated with longer waits before the pane counts as not found.
    for (int round = 1; round <= 3 && !origin; ++round) {
      for (const std::string& w : VisibleWindowsOf(pid)) {
        const Geometry g = WindowGeometry(w);
        if (g.width < 100 || g.height < 100) continue;
        for (int i = 1; i <= 4 && !origin; ++i) {
          for (int j = 1; j <= 4 && !origin; ++j) {
            const int x = g.x + g.width * i / 5, y = g.y + g.height * j / 5;
            s.Evaluate("window.kamPointerAt = null; 1");
            Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
            std::this_thread::sleep_for(milliseconds(150 * round));
            const auto at = s.Evaluate("window.kamPointerAt");
            if (at && at->array.size() == 2) {
              origin = std::make_pair(x - static_cast<int>(at->array[0].number),
                                      y - static_cast<int>(at->array[1].number));
            }
          }
        }
        if (origin) break;
      }
    }
    const auto at = s.CentreOf(selector);
    if (!origin || !at) return false;
    const int x = origin->first + static_cast<int>(at->first);
    const int y = origin->second + static_cast<int>(at->second);
    Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
    std::this_thread::sleep_for(milliseconds(300));
    if (!move_only) Xdo("click 1");
    return true;
  }
  static bool PointerClick(pid_t pid, DevToolsSession& s, const std::string& selector) {
    return Pointer(pid, s, selector);
  }
  static bool PointerMove(pid_t pid, DevToolsSession& s, const std::string& selector) {
    return Pointer(pid, s, selector, true);
  }

  // Whether the shortcut tip (356 x 33) is on screen.
  bool TipShown(pid_t pid) const {
    for (const auto& size : VisibleWindowSizesOf(pid)) {
      if (size == std::make_pair(356, 33)) return true;
    }
    return false;
  }

  // Names of the files on the test's desktop.
  std::vector<std::string> DesktopFiles() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(desktop(), ec)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Presses keys in whatever holds the keyboard (an open pop-up menu).
  static void Keys(const std::string& keys) {
    const std::string cmd = "timeout 5 xdotool key --delay 80 " + keys + " >/dev/null 2>&1";
    [[maybe_unused]] const int rc = std::system(cmd.c_str());
  }

  // Processes whose executable is the player of this test's program directory.
  std::vector<pid_t> PlayerProcesses() const {
    std::vector<pid_t> pids;
    std::error_code ec;
    const auto exe = std::filesystem::canonical(prog_.path() / "kamplayer", ec);
    for (const auto& e : std::filesystem::directory_iterator("/proc", ec)) {
      const std::string name = e.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      std::error_code ec2;
      if (std::filesystem::read_symlink(e.path() / "exe", ec2) == exe) {
        pids.push_back(static_cast<pid_t>(std::stol(name)));
      }
    }
    return pids;
  }

  void KillStrayPlayers() const {
    for (pid_t pid : PlayerProcesses()) kill(pid, SIGKILL);
  }

  ~BrowseE2E() override { KillStrayPlayers(); }

  TempDir home_;
  std::filesystem::path opened_;
};

}  // namespace kam::testing
