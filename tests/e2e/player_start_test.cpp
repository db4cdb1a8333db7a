// The player's start as a user meets it: the real program from a copy of the program directory,
// on the test display with a tray host, against the demo site on loopback.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "build_config.h"
#include "common/code_page.h"
#include "player/startup/launch_args.h"
#include "tests/support/program_dir_fixture.h"

namespace kam::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// The demo site's home page title.
constexpr char kHomeTitle[] = "看吧影院 - 经典影视 在线观看";

TEST_F(PlayerE2E, NormalStartOpensTheSiteAndTheBufferingPage) {
  ASSERT_TRUE(StartServer());
  auto player = RunPlayer({});
  ASSERT_TRUE(player->started());
  const std::string base = server_->BaseUrl();
  const auto catalogue = WaitForPage(
      devtools_, [&](const PageTarget& p) { return p.url == base + "/" && p.title == kHomeTitle; },
      seconds(60));
  ASSERT_TRUE(catalogue) << "the catalogue never loaded";
  EXPECT_TRUE(WaitForPage(
      devtools_, [&](const PageTarget& p) { return p.url == base + "/huangchong.html"; },
      seconds(30)));
  // The caption comes from the settings the start downloaded over "\kamplayer.db".
  EXPECT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(10)));
  EXPECT_EQ(prog_.Read("\\kamplayer.db"), Settings());
  std::this_thread::sleep_for(milliseconds(1500));
  EXPECT_TRUE(SaveScreenshot("catalogue"));
  EXPECT_TRUE(player->Running());
}

TEST_F(PlayerE2E, SecondInstanceEndsAtOnceAndLeavesTheFirst) {
  ASSERT_TRUE(StartServer());
  auto first = RunPlayer({});
  ASSERT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(60)));
  auto second = RunPlayer({}, "second.log");
  const auto status = second->Wait(seconds(10));
  ASSERT_TRUE(status) << "the second instance kept running";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  EXPECT_TRUE(first->Running());
  EXPECT_EQ(VisibleWindowsNamed(kCaption).size(), 1u);
}

TEST_F(PlayerE2E, OfflineShowsTheBalloonKeepsItReadableThenEnds) {
  // No server: the probe fails. The load handler still reads the history (and rewrites the
  // file in its normal form); the settings file is left alone.
  prog_.Write("\\data\\Data.dat", "junk<Item>  a||http://x/1||t  </Item>");
  prog_.Write("\\kamplayer.db", "former");
  auto player = RunPlayer({});
  std::this_thread::sleep_for(seconds(2));
  EXPECT_TRUE(SaveScreenshot("offline-balloon"));
  EXPECT_FALSE(player->Wait(seconds(6))) << "ended before the balloon could be read";
  // The main window is never shown.
  EXPECT_TRUE(VisibleWindowsNamed(kCaption).empty());
  for (const auto& size : VisibleWindowSizesOf(player->pid())) {
    EXPECT_NE(size, std::make_pair(1186, 702));
  }
  const auto status = player->Wait(seconds(10));
  ASSERT_TRUE(status) << "still running after the balloon's time";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  EXPECT_EQ(prog_.Read("\\data\\Data.dat"), "<Item>a||http://x/1||t</Item>\r\n\r\n");
  EXPECT_EQ(prog_.Read("\\kamplayer.db"), "former");
}

TEST_F(PlayerE2E, OfflineBalloonClickEndsAtOnceWithoutMenu) {
  auto player = RunPlayer({});
  // The balloon is the process's mapped window larger than its tray icon.
  std::optional<std::string> balloon;
  std::pair<int, int> size;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const std::string& w : VisibleWindowsOf(player->pid())) {
          const auto s = WindowSize(w);
          if (s && s->first > 64 && s->first < 600) {
            balloon = w;
            size = *s;
          }
        }
        return balloon.has_value();
      },
      seconds(8)));
  std::this_thread::sleep_for(milliseconds(500));
  ClickWindow(*balloon, 1, size.first / 2, size.second / 2);
  const auto status = player->Wait(seconds(3));
  ASSERT_TRUE(status) << "a click on the balloon did not end the program";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

TEST_F(PlayerE2E, ShortcutArgumentOpensItsAddressAtOnce) {
  ASSERT_TRUE(StartServer());
  const std::string address = server_->Url("/title/xiyouji.html");
  // A name with a blank reaches the program as two arguments, joined again by one blank.
  const std::string encoded = EncodeLaunchArgs("西游 记#@@" + address);
  const auto blank = encoded.find(' ');
  ASSERT_NE(blank, std::string::npos);
  auto player = RunPlayer({encoded.substr(0, blank), encoded.substr(blank + 1)});
  const auto page = WaitForPage(
      devtools_,
      [&](const PageTarget& p) { return p.url == address && p.title == "西游记 - 看吧影院"; },
      seconds(60));
  ASSERT_TRUE(page);
  EXPECT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(10)));
  // The settings timer never runs: the buffering page is not loaded, the catalogue stays.
  std::this_thread::sleep_for(seconds(3));
  for (const PageTarget& p : DevToolsPages(devtools_)) {
    EXPECT_EQ(p.url.find("huangchong"), std::string::npos) << p.url;
    EXPECT_NE(p.url, server_->BaseUrl() + "/");
  }
  EXPECT_TRUE(SaveScreenshot("shortcut"));
}

TEST_F(PlayerE2E, ShortcutArgumentWithoutAddressEndsSilently) {
  ASSERT_TRUE(StartServer());
  auto player = RunPlayer({EncodeLaunchArgs("only-a-name")});
  const auto status = player->Wait(seconds(30));
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  EXPECT_TRUE(VisibleWindowsNamed(kCaption).empty());
}

TEST_F(PlayerE2E, UpgradeDueStartsTheUpdaterWithItsCommandLineAndEnds) {
  WriteSiteSettings(Settings("2.0"));
  prog_.Write("\\skin\\Config.ini", "[Version]\r\nVersion=1.0\r\n");
  // A stand-in updater that records its arguments, one per line.
  prog_.WriteScript("\\update",
                    "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done "
                    "> \"$(dirname \"$0\")/update-args.txt\"\n");
  ASSERT_TRUE(StartServer());
  auto player = RunPlayer({});
  const auto status = player->Wait(seconds(60));
  ASSERT_TRUE(status) << "the player kept running";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  ASSERT_TRUE(WaitUntil([&] { return prog_.Read("\\update-args.txt").has_value(); }, seconds(10)));
  EXPECT_EQ(prog_.Read("\\update-args.txt"), "2.0###shengji###\n");
}

TEST_F(PlayerE2E, UpgradeDueWithoutUpdaterKeepsRunningAndShowsTheVersion) {
  WriteSiteSettings(Settings("2.0"));
  prog_.Write("\\skin\\Config.ini", "[Version]\r\nVersion=1.0\r\n");
  prog_.Remove("\\update");
  ASSERT_TRUE(StartServer());
  auto player = RunPlayer({});
  ASSERT_TRUE(WaitForPage(
      devtools_, [&](const PageTarget& p) { return p.url == server_->BaseUrl() + "/"; },
      seconds(60)));
  std::this_thread::sleep_for(seconds(2));
  EXPECT_TRUE(player->Running());
  EXPECT_TRUE(SaveScreenshot("version-label"));
}

TEST_F(PlayerE2E, TrayIconLeftClickHidesAndShowsTheWindow) {
  ASSERT_TRUE(StartServer());
  auto player = RunPlayer({});
  ASSERT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(60)));
  const auto icon = WaitForTrayIcon(player->pid());
  ASSERT_TRUE(icon) << "no tray icon";
  ClickWindow(*icon, 1);
  EXPECT_TRUE(WaitUntil([] { return VisibleWindowsNamed(kCaption).empty(); }, seconds(5)));
  ClickWindow(*icon, 1);
  EXPECT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(5)));
}

}  // namespace
}  // namespace kam::testing
