// The exit routine as a user reaches it: the tray menu's exit item with an exit mode other than
// "1" ends the outside player's processes, takes the tray icon away and ends the player, but not
// a player installed in another folder.
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/program_dir_fixture.h"

namespace kam::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST_F(PlayerE2E, ExitItemEndsTheOutsidePlayerThenThePlayer) {
  // Stand-ins of the outside player's three programs, running under their names.
  std::vector<std::unique_ptr<ChildProcess>> outside;
  for (const char* name : {"xgweb", "xgtray", "xgengine"}) {
    outside.push_back(std::make_unique<ChildProcess>(CopyProbeAs(site_.path(), name),
                                                     std::vector<std::string>{"wait"}));
    ASSERT_EQ(outside.back()->ReadLine(seconds(10)), "ready") << name;
  }
  // A player installed in another folder.
  ChildProcess elsewhere(CopyProbeAs(site_.path(), "kamplayer"), {"wait"});
  ASSERT_EQ(elsewhere.ReadLine(seconds(10)), "ready");
  ASSERT_TRUE(StartServer());  // the served settings say exit mode 2
  auto player = RunPlayer({});
  ASSERT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(60)));
  const auto icon = WaitForTrayIcon(player->pid());
  ASSERT_TRUE(icon) << "no tray icon";

  ClickWindow(*icon, 3);  // the tray menu
  std::this_thread::sleep_for(milliseconds(700));
  EXPECT_TRUE(SaveScreenshot("tray-menu"));
  // 退出程序, the fourth item.
  [[maybe_unused]] const int rc =
      std::system("timeout 5 xdotool key --delay 80 Down Down Down Down Return >/dev/null 2>&1");

  const auto status = player->Wait(seconds(20));
  ASSERT_TRUE(status) << "still running after the exit item";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  for (auto& p : outside) {
    const auto ended = p->Wait(seconds(5));
    ASSERT_TRUE(ended);
    EXPECT_TRUE(KilledBySigkill(*ended));
  }
  EXPECT_TRUE(elsewhere.WriteLine("ping"));
  EXPECT_EQ(elsewhere.ReadLine(seconds(5)), "alive") << "the player of another folder ended";
}

}  // namespace
}  // namespace kam::testing
