#include "player/browse/command_menu.h"

#include <gtest/gtest.h>

#include "player/browse/browse_fakes.h"

namespace kam {
namespace {

using testing::BrowseRig;
using testing::Log;

// Captions as a user sees them: hidden items left out.
std::vector<std::string> Shown(MenuId menu) {
  std::vector<std::string> out;
  for (const MenuItem& i : MenuItems(menu)) {
    if (i.visible) out.emplace_back(i.caption);
  }
  return out;
}

TEST(MenuTables, ShowTheirItemsInOrderWithoutTheHiddenOnes) {
  EXPECT_EQ(Shown(MenuId::kMenu), std::vector<std::string>({"显示或隐藏", "-", "检测升级",
                                                            "自动播放下一集", "-", "退出程序"}));
  EXPECT_EQ(Shown(MenuId::kMyMenu), std::vector<std::string>({"后退一页", "-", "前进一页", "-",
                                                              "刷新一下", "-", "返回首页"}));
  EXPECT_EQ(Shown(MenuId::kCaidan), std::vector<std::string>({"检测升级", "-", "退出程序"}));
}

TEST(MenuTables, HiddenItemsAndSeparatorsDoNothing) {
  for (MenuId menu : {MenuId::kMenu, MenuId::kMyMenu, MenuId::kCaidan}) {
    for (const MenuItem& i : MenuItems(menu)) {
      if (!i.visible || i.caption == kSeparatorCaption) {
        EXPECT_EQ(i.command, MenuCommand::kNone) << i.name;
      } else {
        EXPECT_NE(i.command, MenuCommand::kNone) << i.name;
      }
    }
  }
}

class MenuActionTest : public ::testing::Test {
 protected:
  BrowseRig rig_;
  CommandMenus menus_{rig_.state, rig_.listweb, rig_.actions};
};

TEST_F(MenuActionTest, DisplayTogglesTheMainWindow) {
  menus_.Click("display");
  menus_.Click("display");
  EXPECT_EQ(rig_.log, Log({"Form1.Hide", "Form1.Show"}));
}

TEST_F(MenuActionTest, BothUpgradeItemsRunTheManualCheck) {
  menus_.Click("dddd");
  menus_.Click("djeu");
  EXPECT_EQ(rig_.log, Log({"shengji", "shengji"}));
}

TEST_F(MenuActionTest, AutoNextItemTurnsTheChoiceOffAndOnAndShowsIt) {
  EXPECT_TRUE(menus_.Checked("zidong"));
  menus_.Click("zidong");
  EXPECT_FALSE(menus_.Checked("zidong"));
  menus_.Click("zidong");
  EXPECT_TRUE(menus_.Checked("zidong"));
  EXPECT_EQ(rig_.log, Log({"AutoNext off", "AutoNext on"}));
  EXPECT_TRUE(CommandMenus::Checkable(MenuCommand::kToggleAutoNext));
}

TEST_F(MenuActionTest, PageItemsDriveTheCatalogue) {
  rig_.state.dizhi = "http://demo";
  EXPECT_FALSE(menus_.Checked("O"));
  menus_.Click("houtui");
  menus_.Click("qianjin");
  menus_.Click("shuaxin");
  menus_.Click("O");
  EXPECT_TRUE(menus_.Checked("O"));
  menus_.Click("O");
  EXPECT_TRUE(menus_.Checked("O"));
  EXPECT_EQ(rig_.log, Log({"listweb.GoBack", "listweb.GoForward", "listweb.Refresh",
                           "listweb.Navigate http://demo", "listweb.Navigate http://demo"}));
}

TEST_F(MenuActionTest, HomeOpensOnlyAWebSite) {
  const struct {
    const char* dizhi;
    const char* step;
  } cases[] = {{"HTTP://Demo.Example:80", "listweb.Navigate http://demo.example"},
               {"file:///etc/hostname", "listweb.Refuse file:///etc/hostname"},
               {"javascript:alert(1)", "listweb.Refuse javascript:alert(1)"},
               {"", "listweb.Refuse "}};
  for (const auto& c : cases) {
    rig_.log.clear();
    rig_.state.dizhi = c.dizhi;
    menus_.Click("O");
    EXPECT_EQ(rig_.log, Log({c.step})) << c.dizhi;
  }
}

TEST_F(MenuActionTest, ExitFollowsTheExitMode) {
  const struct {
    const char* tuichu;
    const char* action;
  } cases[] = {{"1", "Unload"},
               {"", "ExitPlayer"},
               {"2", "ExitPlayer"},
               {"1 ", "ExitPlayer"},
               {"Label1", "ExitPlayer"}};
  for (const auto& c : cases) {
    for (const char* item : {"close", "sssssw"}) {
      rig_.log.clear();
      rig_.state.tuichu = c.tuichu;
      menus_.Click(item);
      EXPECT_EQ(rig_.log, Log({c.action})) << item << " tuichu=" << c.tuichu;
    }
  }
}

TEST_F(MenuActionTest, HiddenAndUnknownItemsDoNothing) {
  for (const char* item : {"dddde", "shnhhy", "gyyy", "dheyw", "df", "nope", ""})
    menus_.Click(item);
  EXPECT_TRUE(rig_.log.empty());
}

}  // namespace
}  // namespace kam
