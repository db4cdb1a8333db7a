// "放到桌面": a desktop entry for the title, and the entry started the way a desktop starts it
// opens the title's page in the catalogue pane.
#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

TEST_F(BrowseE2E, ShortcutLinkPutsAnEntryOnTheDesktopThatOpensTheTitle) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  ASSERT_TRUE(PointerClick(player->pid(), *listweb, ".hero a[href^='dddisk://']"));
  const auto entry = desktop() / "西游记.desktop";
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(entry); }, seconds(10)));
  const std::string text = ReadFileBytes(entry).value_or("");
  EXPECT_NE(text.find("\nName=西游记\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nComment=西游记\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nIcon=" + (prog_.path() / "skin" / "icon.ico").string() + "\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nExec=\"" + (prog_.path() / "kamplayer").string() + "\" \""),
            std::string::npos)
      << text;
  // The click was cancelled, and the tip window (356 x 33) says where the title went.
  EXPECT_EQ(listweb->EvaluateString("location.pathname"), "/");
  EXPECT_TRUE(WaitUntil(
      [&] {
        for (const auto& size : VisibleWindowSizesOf(player->pid())) {
          if (size == std::make_pair(356, 33)) return true;
        }
        return false;
      },
      seconds(5)));
  EXPECT_TRUE(SaveScreenshot("shortcut-tip"));

  // The desktop starts the entry once the player has ended.
  player->Stop();
  ASSERT_TRUE(WaitUntil([&] { return PlayerProcesses().empty(); }, seconds(10)));
  std::string env;
  for (const std::string& e : Env()) env += "'" + e + "' ";
  const std::string launch = "env " + env + "gio launch '" + entry.string() + "' > '" +
                             (TestOutputDir() / "gio.log").string() + "' 2>&1";
  ASSERT_EQ(std::system(launch.c_str()), 0);
  auto opened = Pane(Base() + "/title/xiyouji.html", seconds(60));
  EXPECT_TRUE(opened) << "the shortcut did not open the title's page";
  std::this_thread::sleep_for(seconds(2));
  EXPECT_TRUE(SaveScreenshot("started-from-desktop"));
}

TEST_F(BrowseE2E, ShortcutOfTheSameTitleReplacesOnlyThePlayersOwnEntry) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  std::filesystem::create_directories(desktop());
  const auto entry = desktop() / "西游记.desktop";
  ASSERT_TRUE(PointerClick(player->pid(), *listweb, ".hero a[href^='dddisk://']"));
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(entry); }, seconds(10)));
  const std::string first = ReadFileBytes(entry).value_or("");
  // A second click writes the same entry over the player's own.
  ASSERT_TRUE(PointerClick(player->pid(), *listweb, ".hero a[href^='dddisk://']"));
  std::this_thread::sleep_for(seconds(3));
  EXPECT_EQ(DesktopFiles(), std::vector<std::string>({"西游记.desktop"}));
  EXPECT_EQ(ReadFileBytes(entry).value_or(""), first);

  // A file of that name that is not the player's stays; the shortcut takes the next name.
  const std::string other = "[Desktop Entry]\nType=Application\nExec=firefox %u\n";
  ASSERT_TRUE(WriteFileAtomically(entry, other));
  ASSERT_TRUE(PointerClick(player->pid(), *listweb, ".hero a[href^='dddisk://']"));
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(desktop() / "西游记 (2).desktop"); },
                        seconds(10)));
  EXPECT_EQ(ReadFileBytes(entry).value_or(""), other);
  EXPECT_EQ(ReadFileBytes(desktop() / "西游记 (2).desktop").value_or(""), first);
  EXPECT_TRUE(WaitUntil([&] { return TipShown(player->pid()); }, seconds(5)));
}

}  // namespace
}  // namespace kam::testing
