#include "player/window/form1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace kam::window {
namespace {

// A toolkit stand-in that behaves like the real one where the logic depends on it: a container
// whose size changes runs its own pass at once, and sizes are whole pixels.
class FakeToolkit : public Form1Port {
 public:
  Form1* form = nullptr;
  WindowState state = WindowState::kNormal;
  std::map<Ctl, Rect> bounds;
  std::map<Ctl, bool> visible;
  std::map<Ctl, Color> colors;
  std::map<Ctl, Pic> images;
  std::vector<std::string> log;
  std::map<Ctl, std::vector<std::pair<Pic, Rect>>> painted;
  std::map<LineId, Line> lines;
  std::vector<Ctl> fronted;
  int refreshes = 0;
  std::vector<std::vector<std::string>> shown_lists;

  static bool InTwips(Ctl c) { return c == Ctl::vip || c == Ctl::vip3; }

  Size ClientSize(Ctl c) const override {
    auto it = bounds.find(c);
    Rect r = it == bounds.end() ? Rect{} : it->second;
    const double k = InTwips(c) ? kTwipsPerPixel : 1;
    return {r.width * k, r.height * k};
  }
  WindowState State() const override { return state; }
  void SetBounds(Ctl c, const Rect& r) override {
    Rect px = r;
    if (c == Ctl::vip3 || c == Ctl::qvod || c == Ctl::Label5 || c == Ctl::tip) {
      px = {r.left / 15, r.top / 15, r.width / 15, r.height / 15};
    }
    px = {std::round(px.left), std::round(px.top), std::round(px.width), std::round(px.height)};
    const Rect old = bounds[c];
    bounds[c] = px;
    if ((old.width != px.width || old.height != px.height) && form != nullptr) form->Resize(c);
  }
  void SetLine(LineId id, const Line& l) override { lines[id] = l; }
  void SetVisible(Ctl c, bool v) override { visible[c] = v; }
  bool IsVisible(Ctl c) const override {
    auto it = visible.find(c);
    return it == visible.end() ? true : it->second;
  }
  void BringToFront(Ctl c) override { fronted.push_back(c); }
  void SetBackColor(Ctl c, Color col) override { colors[c] = col; }
  void PaintPicture(Ctl t, Pic p, const Rect& src, Point dst) override {
    painted[t].push_back({p, src});
    log.push_back("paint " + std::to_string(static_cast<int>(t)) + " at " +
                  std::to_string(static_cast<int>(dst.x)) + "," +
                  std::to_string(static_cast<int>(dst.y)));
  }
  void SetImage(Ctl c, Pic p) override { images[c] = p; }
  void SetDefaultPointer(Ctl) override {}
  void RefreshCatalogue() override { ++refreshes; }
  void ShowHistory(const std::vector<std::string>& list) override { shown_lists.push_back(list); }
};

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() : form_(kit_, state_) {
    kit_.form = &form_;
    kit_.visible[Ctl::vip] = false;
  }
  void SizeWindow(double w, double h) { kit_.SetBounds(Ctl::Form1, Rect{0, 0, w, h}); }

  FakeToolkit kit_;
  PlayerState state_;
  Form1 form_;
};

TEST_F(Form1Test, CascadeOfPassesGivesTheWorkedExample) {
  SizeWindow(1186, 702);
  EXPECT_EQ(kit_.bounds[Ctl::P2], (Rect{1, 68, 1184, 632}));
  EXPECT_EQ(kit_.bounds[Ctl::Picture6], (Rect{884, 0, 300, 632}));
  EXPECT_EQ(kit_.bounds[Ctl::Picture3], (Rect{874, 0, 10, 632}));
  EXPECT_EQ(kit_.bounds[Ctl::Picture4], (Rect{0, 266, 10, 128}));
  EXPECT_EQ(kit_.bounds[Ctl::bjbox], (Rect{-2, -2, 878, 634}));
  EXPECT_EQ(kit_.bounds[Ctl::W3], (Rect{-2, -2, 878, 638}));
  EXPECT_EQ(kit_.bounds[Ctl::vip], (Rect{-40, -40, 954, 672}));
  EXPECT_EQ(kit_.bounds[Ctl::bj], (Rect{1, 1, 1184, 68}));
  EXPECT_EQ(kit_.bounds[Ctl::gb].left, 1143);
  EXPECT_EQ(kit_.bounds[Ctl::sz].left, 1032);
  EXPECT_EQ(kit_.bounds[Ctl::bj2], (Rect{1, 68, 1184, 611}));
  EXPECT_EQ(kit_.bounds[Ctl::listweb], (Rect{-4, -4, 1192, 613}));
  EXPECT_EQ(kit_.bounds[Ctl::dibu], (Rect{1, 675, 1184, 26}));
  EXPECT_EQ(kit_.lines[LineId::Line5], (Line{1, 672, 1185, 672}));
  EXPECT_EQ(kit_.bounds[Ctl::bjimg], (Rect{277, 217, 324, 200}));
  EXPECT_EQ(kit_.bounds[Ctl::Picture7], (Rect{269, 0, 31, 31}));
  EXPECT_EQ(kit_.bounds[Ctl::WebList1], (Rect{0, 35, 300, 597}));
  // vip3 sits 20 pixels above vip's bottom edge, across its whole width.
  EXPECT_EQ(kit_.bounds[Ctl::vip3], (Rect{0, 652, 954, 33}));
  EXPECT_EQ(kit_.bounds[Ctl::qvod], (Rect{-3, -3, 957, 677}));
  // The strip is brought in front of the panes at each pass.
  EXPECT_FALSE(kit_.fronted.empty());
  EXPECT_EQ(kit_.fronted.back(), Ctl::Picture3);
}

TEST_F(Form1Test, MinimisedWindowKeepsEveryArea) {
  SizeWindow(1186, 702);
  const auto before = kit_.bounds;
  kit_.state = WindowState::kMinimised;
  // A minimised window reports a zero client area; the passes must not apply it.
  kit_.bounds[Ctl::Form1] = Rect{};
  form_.Form_Resize();
  form_.P2_Resize();
  form_.Picture3_Resize();
  form_.Picture6_Resize();
  kit_.state = WindowState::kNormal;
  kit_.bounds[Ctl::Form1] = before.at(Ctl::Form1);
  form_.Form_Resize();
  EXPECT_EQ(kit_.bounds, before);
}

TEST_F(Form1Test, TabSelectionShowsOneAreaAndRepaintsTheStrip) {
  struct Case {
    int index;
    bool bj2, p2;
    double sp_x, bf_x;
  };
  for (const Case c :
       {Case{1, false, true, 0, 150}, Case{1, false, true, 0, 150}, Case{0, true, false, 150, 0}}) {
    kit_.painted.clear();
    form_.L1_Click(c.index);
    EXPECT_EQ(state_.selectedTab, c.index);
    EXPECT_EQ(kit_.IsVisible(Ctl::bj2), c.bj2);
    EXPECT_EQ(kit_.IsVisible(Ctl::P2), c.p2);
    EXPECT_TRUE(kit_.IsVisible(Ctl::dibu));
    ASSERT_EQ(kit_.painted[Ctl::bj].size(), 2u);
    EXPECT_EQ(kit_.painted[Ctl::bj][0].first, Pic::sp);
    EXPECT_EQ(kit_.painted[Ctl::bj][0].second, (Rect{c.sp_x, 0, 150, 65}));
    EXPECT_EQ(kit_.painted[Ctl::bj][1].first, Pic::bf);
    EXPECT_EQ(kit_.painted[Ctl::bj][1].second, (Rect{c.bf_x, 0, 150, 65}));
  }
}

TEST_F(Form1Test, PlayerTabComesToTheFrontOtherIndexesOnlyRepaint) {
  form_.L1_Click(1);
  EXPECT_EQ(kit_.fronted.back(), Ctl::P2);
  kit_.fronted.clear();
  form_.L1_Click(5);
  EXPECT_EQ(state_.selectedTab, 5);
  EXPECT_TRUE(kit_.IsVisible(Ctl::P2));
  EXPECT_FALSE(kit_.IsVisible(Ctl::bj2));
  EXPECT_TRUE(kit_.fronted.empty());
  // Neither tab is drawn selected.
  EXPECT_EQ(kit_.painted[Ctl::bj].back().second.left, 0);
}

TEST_F(Form1Test, MaximiseImageFollowsTheWindowState) {
  form_.bj_Paint();
  EXPECT_EQ(kit_.images[Ctl::max], Pic::max1);
  kit_.state = WindowState::kMaximised;
  form_.bj_Paint();
  EXPECT_EQ(kit_.images[Ctl::max], Pic::max3);
  kit_.state = WindowState::kMinimised;
  form_.bj_Paint();
  EXPECT_EQ(kit_.images[Ctl::max], Pic::max3);
}

TEST_F(Form1Test, SidePanelToggleMovesTheStripAndSwapsTheHandle) {
  SizeWindow(1186, 702);
  kit_.painted.clear();
  form_.Picture4_Click();
  EXPECT_FALSE(kit_.IsVisible(Ctl::Picture6));
  EXPECT_EQ(kit_.colors[Ctl::Picture3], Color::Rgb(0, 0, 0));
  EXPECT_EQ(kit_.bounds[Ctl::Picture3].left, 1174);
  EXPECT_EQ(kit_.bounds[Ctl::bjbox].width, 1178);
  EXPECT_EQ(kit_.bounds[Ctl::W3].width, 1178);
  EXPECT_EQ(kit_.bounds[Ctl::vip].width, 1254);
  ASSERT_FALSE(kit_.painted[Ctl::Picture4].empty());
  EXPECT_EQ(kit_.painted[Ctl::Picture4].back().first, Pic::Image13);
  EXPECT_EQ(kit_.painted[Ctl::Picture4].back().second, (Rect{0, 0, 10, 128}));

  form_.calllist();
  EXPECT_TRUE(kit_.IsVisible(Ctl::Picture6));
  EXPECT_EQ(kit_.colors[Ctl::Picture3], Color::Rgb(46, 46, 46));
  EXPECT_EQ(kit_.bounds[Ctl::Picture3].left, 874);
  EXPECT_EQ(kit_.painted[Ctl::Picture4].back().first, Pic::Image12);
}

TEST_F(Form1Test, ClearHistoryShowsPlaceholderAndStoresEmptyList) {
  state_.List3 = {"a||b||c", "d||e||f"};
  kit_.visible[Ctl::W3] = true;
  kit_.visible[Ctl::bjbox] = false;
  form_.Picture7_Click();
  EXPECT_FALSE(kit_.IsVisible(Ctl::W3));
  EXPECT_TRUE(kit_.IsVisible(Ctl::bjbox));
  EXPECT_EQ(kit_.refreshes, 1);
  EXPECT_TRUE(state_.List3.empty());
  ASSERT_EQ(kit_.shown_lists.size(), 1u);
  EXPECT_TRUE(kit_.shown_lists[0].empty());
}

TEST_F(Form1Test, ClearButtonDrawsItsNormalFrameOneRowDown) {
  form_.Picture7_Paint();
  ASSERT_EQ(kit_.painted[Ctl::Picture7].size(), 1u);
  EXPECT_EQ(kit_.painted[Ctl::Picture7][0].first, Pic::Image16);
  EXPECT_EQ(kit_.painted[Ctl::Picture7][0].second, (Rect{0, 0, 20, 30}));
  EXPECT_EQ(kit_.log.back(),
            "paint " + std::to_string(static_cast<int>(Ctl::Picture7)) + " at 0,1");
}

TEST_F(Form1Test, LoadedHistoryIsAppendedAndRendered) {
  state_.List3 = {"a||b||c"};
  form_.LoadHistory({"d||e||f", "g||h||i"});
  EXPECT_EQ(state_.List3, (std::vector<std::string>{"a||b||c", "d||e||f", "g||h||i"}));
  ASSERT_EQ(kit_.shown_lists.size(), 1u);
  EXPECT_EQ(kit_.shown_lists[0], state_.List3);
  form_.LoadHistory({});
  EXPECT_EQ(kit_.shown_lists.size(), 2u);  // an empty file still renders (and rewrites) the list
}

}  // namespace
}  // namespace kam::window
