#include "player/window/tray_icon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kam::window {
namespace {

class FakeTray : public TrayPort, public TrayWindowPort {
 public:
  std::vector<std::string> calls;
  std::vector<TrayRecord> records;
  bool visible = true;

  void Add(const TrayRecord& r) override {
    calls.push_back("add");
    records.push_back(r);
  }
  void Modify(const TrayRecord& r) override {
    calls.push_back("modify");
    records.push_back(r);
  }
  void Delete() override { calls.push_back("delete"); }
  bool MainVisible() const override { return visible; }
  void SetMainVisible(bool v) override {
    visible = v;
    calls.push_back(v ? "show" : "hide");
  }
  void BringMainToFront() override { calls.push_back("front"); }
  void PopupTrayMenu() override { calls.push_back("menu"); }
};

TEST(TrayIcon, AddedOnceThenModified) {
  FakeTray fake;
  TrayIcon tray(fake);
  tray.TrayShowIcon("a");
  tray.TrayShowIcon("b");
  tray.TrayShowBalloon("t", "x", 1, 10000);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"add", "modify", "modify"}));
  EXPECT_EQ(fake.records[1].tip, "b");
  EXPECT_TRUE(fake.records[1].info_title.empty());
  EXPECT_TRUE(tray.exists());
}

TEST(TrayIcon, RemoveBeforeShowDoesNothingAndAfterwardsAddsAgain) {
  FakeTray fake;
  TrayIcon tray(fake);
  tray.TrayRemoveIcon();
  EXPECT_TRUE(fake.calls.empty());
  tray.TrayShowIcon("a");
  tray.TrayRemoveIcon();
  tray.TrayRemoveIcon();
  tray.TrayShowIcon("a");
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"add", "delete", "add"}));
}

TEST(TrayIcon, OfflineBalloonCarriesTitleAsTip) {
  FakeTray fake;
  TrayIcon tray(fake);
  tray.TrayShowBalloon("网络没有连接", "请连接网络重试", 1, 10000);
  ASSERT_EQ(fake.records.size(), 1u);
  const TrayRecord& r = fake.records[0];
  EXPECT_EQ(r.tip, "网络没有连接");
  EXPECT_EQ(r.info_title, "网络没有连接");
  EXPECT_EQ(r.info, "请连接网络重试");
  EXPECT_EQ(r.info_flags, 1);
  EXPECT_EQ(r.timeout_ms, 10000);
}

TEST(TrayIcon, TextsAreCutToTheirFieldsByCharacters) {
  FakeTray fake;
  TrayIcon tray(fake);
  std::string long_tip;
  for (int i = 0; i < 130; ++i) long_tip += "视";
  tray.TrayShowIcon(long_tip);
  EXPECT_EQ(fake.records[0].tip.size(), 127u * 3);
  tray.TrayShowBalloon(std::string(70, 't'), std::string(300, 'x'), 1, 1);
  EXPECT_EQ(fake.records[1].info_title, std::string(63, 't'));
  EXPECT_EQ(fake.records[1].tip, std::string(70, 't'));
  EXPECT_EQ(fake.records[1].info, std::string(255, 'x'));
}

TEST(TrayIcon, CutNeverSplitsACharacter) {
  EXPECT_EQ(CutToChars("a视b", 2), "a视");
  EXPECT_EQ(CutToChars("a视b", 0), "");
  EXPECT_EQ(CutToChars("ab", 5), "ab");
}

TEST(TrayClicks, LeftTogglesRightAndBalloonBringToFrontThenMenu) {
  FakeTray fake;
  OnTrayClick(TrayClick::kLeftUp, fake);
  OnTrayClick(TrayClick::kLeftUp, fake);
  OnTrayClick(TrayClick::kRightUp, fake);
  OnTrayClick(TrayClick::kBalloonClick, fake);
  OnTrayClick(TrayClick::kOther, fake);
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"hide", "show", "front", "menu", "front", "menu"}));
  EXPECT_TRUE(fake.visible);
}

TEST(TrayClicks, CloseMinimisesOnlyWithoutATray) {
  EXPECT_EQ(CloseActionFor(true), CloseAction::kHide);
  EXPECT_EQ(CloseActionFor(false), CloseAction::kMinimise);
}

// The show-or-hide commands toggle between what the user sees as shown and as hidden; without a
// tray the minimised window is the hidden one, so no command sequence loses the window.
TEST(TrayClicks, ShowOrHideNeverLosesTheWindowWithoutATray) {
  struct Case {
    const char* name;
    bool visible, minimised, tray;
    bool shown;
    ShowStep show;
  };
  const Case cases[] = {
      {"shown with a tray", true, false, true, true, ShowStep::kNothing},
      {"minimised with a tray still counts as shown", true, true, true, true, ShowStep::kNothing},
      {"hidden with a tray", false, false, true, false, ShowStep::kShow},
      {"hidden while minimised keeps the state", false, true, true, false, ShowStep::kShow},
      {"shown without a tray", true, false, false, true, ShowStep::kNothing},
      {"minimised without a tray is hidden", true, true, false, false, ShowStep::kUnminimise},
      {"hidden without a tray (tray gone)", false, false, false, false, ShowStep::kShow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ShownForToggle(c.visible, c.minimised, c.tray), c.shown);
    EXPECT_EQ(ShowStepFor(c.visible, c.minimised, c.tray), c.show);
  }
}

}  // namespace
}  // namespace kam::window
