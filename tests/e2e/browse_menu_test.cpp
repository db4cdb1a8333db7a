// The menus as a user works them: the page menu on a right click in the catalogue, the tray
// menu on a right click on the tray icon, each item chosen with the keyboard.
#include <sys/wait.h>

#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

TEST_F(BrowseE2E, PageMenuGoesBackForwardRefreshesAndHome) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  ASSERT_TRUE(listweb->ClickElement("a.card-cover[href='/title/xiyouji.html']"));
  ASSERT_TRUE(WaitForScript(*listweb,
                            "location.pathname === '/title/xiyouji.html' && "
                            "document.readyState === 'complete'",
                            seconds(30)));
  // A real right click of the display's pointer, in the page's left margin.
  auto choose = [&](int downs) {
    const auto origin = listweb->Evaluate("[window.screenX, window.screenY]");
    ASSERT_TRUE(origin && origin->array.size() == 2);
    const int x = static_cast<int>(origin->array[0].number) + 20;
    const int y = static_cast<int>(origin->array[1].number) + 300;
    const std::string click = "timeout 5 xdotool mousemove " + std::to_string(x) + " " +
                              std::to_string(y) + " click 3 >/dev/null 2>&1";
    ASSERT_EQ(std::system(click.c_str()), 0);
    std::this_thread::sleep_for(milliseconds(700));
    std::string keys;
    for (int i = 0; i < downs; ++i) keys += "Down ";
    Keys(keys + "Return");
  };
  choose(1);  // 后退一页
  EXPECT_TRUE(WaitForScript(*listweb, "location.pathname === '/'", seconds(20)));
  ASSERT_TRUE(WaitForScript(*listweb, "document.readyState === 'complete'", seconds(20)));
  choose(2);  // 前进一页
  EXPECT_TRUE(WaitForScript(*listweb, "location.pathname === '/title/xiyouji.html'", seconds(20)));
  ASSERT_TRUE(WaitForScript(*listweb, "document.readyState === 'complete'", seconds(20)));
  listweb->Evaluate("window.kamMarker = 1");
  choose(3);  // 刷新一下
  EXPECT_TRUE(WaitForScript(*listweb,
                            "window.kamMarker === undefined && "
                            "location.pathname === '/title/xiyouji.html'",
                            seconds(20)));
  ASSERT_TRUE(WaitForScript(*listweb, "document.readyState === 'complete'", seconds(20)));
  choose(4);  // 返回首页
  EXPECT_TRUE(WaitForScript(*listweb, "location.pathname === '/'", seconds(20)));
  EXPECT_TRUE(player->Running());
}

TEST_F(BrowseE2E, TrayMenuShowsAndHidesChecksForUpgradeAndExits) {
  UseSettings("1", "0");  // exit mode 1: the exit item ends this program only
  prog_.WriteScript("\\update",
                    "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/update-args.txt\"\n");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  ASSERT_TRUE(Catalogue());
  const auto icon = WaitForTrayIcon(player->pid());
  ASSERT_TRUE(icon) << "no tray icon";
  auto choose = [&](int downs) {
    ClickWindow(*icon, 3);
    std::this_thread::sleep_for(milliseconds(700));
    std::string keys;
    for (int i = 0; i < downs; ++i) keys += "Down ";
    Keys(keys + "Return");
  };
  ASSERT_FALSE(VisibleWindowsNamed(kCaption).empty());
  choose(1);  // 显示或隐藏
  EXPECT_TRUE(WaitUntil([] { return VisibleWindowsNamed(kCaption).empty(); }, seconds(10)));
  choose(1);
  EXPECT_TRUE(WaitUntil([] { return !VisibleWindowsNamed(kCaption).empty(); }, seconds(10)));

  choose(2);  // 检测升级: the installed version is current
  EXPECT_TRUE(WaitUntil([&] { return prog_.Read("\\update-args.txt").has_value(); }, seconds(20)));
  EXPECT_EQ(prog_.Read("\\update-args.txt"), "1.0###wu###\n");
  EXPECT_TRUE(player->Running());

  // 自动播放下一集 is the fourth item (series_test.cpp works it).
  choose(4);  // 退出程序
  const auto status = player->Wait(seconds(20));
  ASSERT_TRUE(status) << "still running after the exit item";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

}  // namespace
}  // namespace kam::testing
