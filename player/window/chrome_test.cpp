// The chrome's handlers against recording fakes of the window toolkit: sequences of mouse moves
// and clicks as a user makes them, and what the window shows afterwards.
#include "player/window/chrome.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kam::window {
namespace {

struct Painted {
  Pic picture;
  Rect src;
  Point dst;
};

class FakeWindow : public Form1Port, public ChromePort {
 public:
  // Form1Port
  Size ClientSize(Ctl c) const override {
    auto it = sizes.find(c);
    return it == sizes.end() ? Size{} : it->second;
  }
  WindowState State() const override { return state; }
  void SetBounds(Ctl c, const Rect&) override {
    if (c == Ctl::Picture6) log.push_back("P2_Resize");
  }
  void SetLine(LineId, const Line&) override {}
  void SetVisible(Ctl c, bool v) override { visible[c] = v; }
  bool IsVisible(Ctl c) const override {
    auto it = visible.find(c);
    return it == visible.end() || it->second;
  }
  void BringToFront(Ctl) override {}
  void SetBackColor(Ctl, Color) override {}
  void PaintPicture(Ctl target, Pic picture, const Rect& src, Point dst) override {
    painted[target].push_back({picture, src, dst});
  }
  void SetImage(Ctl image, Pic picture) override { images[image] = picture; }
  void SetDefaultPointer(Ctl c) override { pointers[c] = Pointer::kDefault; }
  void RefreshCatalogue() override {}
  void ShowHistory(const std::vector<std::string>&) override {}

  // ChromePort
  void SetState(WindowState s) override {
    log.push_back("state " + std::to_string(int(s)));
    state = s;
  }
  void HideWindow() override { log.push_back("hide"); }
  bool TrayAvailable() const override { return tray; }
  void PopupSettingsMenu() override { log.push_back("caidan"); }
  void SetCapture(Ctl c) override { captured = c; }
  void ReleaseCapture() override {
    captured.reset();
    log.push_back("release");
  }
  void SetPointer(Ctl c, Pointer p) override { pointers[c] = p; }
  void SetForeColor(Ctl c, Color col) override { fore[c] = col; }
  void Refresh(Ctl c) override { ++refreshes[c]; }
  WindowTwips Geometry() const override { return geometry; }
  void SetGeometry(const WindowTwips& g) override { geometry = g; }
  bool CanPlaceWindow() const override { return can_place; }
  void StartSystemMove() override { log.push_back("system move"); }
  void StartSystemResize(Edges e, int w, int h) override {
    log.push_back("system resize");
    resize_edges = e;
    resize_min = {double(w), double(h)};
  }

  WindowState state = WindowState::kNormal;
  bool tray = true, can_place = true;
  std::map<Ctl, Size> sizes{
      {Ctl::Picture4, {10, 128}}, {Ctl::Picture7, {31, 31}}, {Ctl::P2, {1184, 632}}};
  std::map<Ctl, bool> visible;
  std::map<Ctl, std::vector<Painted>> painted;
  std::map<Ctl, Pic> images{
      {Ctl::gb, Pic::gb1}, {Ctl::max, Pic::max1}, {Ctl::min, Pic::min1}, {Ctl::sz, Pic::sz1}};
  std::map<Ctl, Pointer> pointers;
  std::map<Ctl, Color> fore;
  std::map<Ctl, int> refreshes;
  std::optional<Ctl> captured;
  std::vector<std::string> log;
  WindowTwips geometry{1500, 120, 17790, 10530};
  Edges resize_edges;
  Size resize_min;
};

class ChromeTest : public ::testing::Test {
 protected:
  std::vector<Pic> Captions() {
    return {w.images[Ctl::gb], w.images[Ctl::max], w.images[Ctl::min], w.images[Ctl::sz]};
  }
  FakeWindow w;
  PlayerState state;
  Form1 form{w, state};
  Chrome chrome{form, w, w, state};
};

TEST_F(ChromeTest, HoverStaysUntilTheTitleBarOrAnotherButtonSeesTheMouse) {
  chrome.gb_MouseMove();
  EXPECT_EQ(Captions(), (std::vector<Pic>{Pic::gb2, Pic::max1, Pic::min1, Pic::sz1}));
  // Leaving the window straight from the button: nothing else sees the mouse.
  EXPECT_EQ(w.images[Ctl::gb], Pic::gb2);
  chrome.min_MouseMove();
  EXPECT_EQ(Captions(), (std::vector<Pic>{Pic::gb1, Pic::max1, Pic::min2, Pic::sz1}));
  chrome.bj_MouseMove();
  EXPECT_EQ(Captions(), (std::vector<Pic>{Pic::gb1, Pic::max1, Pic::min1, Pic::sz1}));
}

TEST_F(ChromeTest, MaximiseButtonFollowsTheWindowState) {
  chrome.max_MouseMove();
  EXPECT_EQ(w.images[Ctl::max], Pic::max2);
  chrome.max_Click();
  EXPECT_EQ(w.state, WindowState::kMaximised);
  EXPECT_EQ(w.images[Ctl::max], Pic::max3);
  chrome.max_MouseMove();
  EXPECT_EQ(w.images[Ctl::max], Pic::max4);
  chrome.bj_MouseMove();
  EXPECT_EQ(w.images[Ctl::max], Pic::max3);
  chrome.max_Click();
  EXPECT_EQ(w.state, WindowState::kNormal);
  EXPECT_EQ(w.images[Ctl::max], Pic::max1);
}

TEST_F(ChromeTest, MinimisedWindowKeepsTheMaximiseImage) {
  chrome.max_Click();
  chrome.max_MouseMove();  // max4
  chrome.min_Click();
  EXPECT_EQ(w.state, WindowState::kMinimised);
  chrome.bj_MouseMove();
  EXPECT_EQ(w.images[Ctl::max], Pic::max4);
  EXPECT_EQ(w.images[Ctl::min], Pic::min1);
}

TEST_F(ChromeTest, MaxClickLaysOutThePlayerArea) {
  // Maximising lays out after the state change; restoring lays out before it.
  chrome.max_Click();
  EXPECT_EQ(w.log, (std::vector<std::string>{"state 2", "P2_Resize"}));
  chrome.max_Click();
  EXPECT_EQ(w.log, (std::vector<std::string>{"state 2", "P2_Resize", "P2_Resize", "state 0"}));
  // The double clicks leave the layout to the resize that follows.
  w.log.clear();
  chrome.bj_DblClick();
  chrome.bjbox_DblClick();
  EXPECT_EQ(w.log, (std::vector<std::string>{"state 2", "state 0"}));
}

TEST_F(ChromeTest, DoubleClicksToggleMaximised) {
  chrome.bj_DblClick();
  EXPECT_EQ(w.state, WindowState::kMaximised);
  EXPECT_EQ(w.images[Ctl::max], Pic::max3);
  chrome.bj_DblClick();
  EXPECT_EQ(w.state, WindowState::kNormal);
  EXPECT_EQ(w.images[Ctl::max], Pic::max1);
  // The placeholder's double click leaves the button to the next repaint.
  chrome.bjbox_DblClick();
  EXPECT_EQ(w.state, WindowState::kMaximised);
  EXPECT_EQ(w.images[Ctl::max], Pic::max1);
  form.bj_Paint();
  EXPECT_EQ(w.images[Ctl::max], Pic::max3);
  // A minimised window is "not normal": a double click restores it.
  w.state = WindowState::kMinimised;
  chrome.bjbox_DblClick();
  EXPECT_EQ(w.state, WindowState::kNormal);
}

TEST_F(ChromeTest, CloseHidesOrMinimisesWithoutATray) {
  chrome.gb_Click();
  EXPECT_EQ(w.log, (std::vector<std::string>{"hide"}));
  w.tray = false;
  chrome.gb_Click();
  EXPECT_EQ(w.log, (std::vector<std::string>{"hide", "state 1"}));
}

TEST_F(ChromeTest, MenuButtonPopsUpTheSettingsMenu) {
  chrome.sz_Click();
  EXPECT_EQ(w.log, (std::vector<std::string>{"caidan"}));
}

TEST_F(ChromeTest, TabHoverLightsTheTabUnderTheMouse) {
  state.selectedTab = 1;
  chrome.L1_MouseMove(0);
  const auto& p = w.painted[Ctl::bj];
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].picture, Pic::sp);
  EXPECT_EQ(p[0].src, (Rect{150, 0, 150, 65}));
  EXPECT_EQ(p[0].dst, (Point{180, 1}));
  EXPECT_EQ(p[1].picture, Pic::bf);  // drawn last: it overlaps tab 0
  EXPECT_EQ(p[1].src, (Rect{150, 0, 150, 65}));
  EXPECT_EQ(p[1].dst, (Point{320, 1}));
  chrome.bj_MouseMove();
  EXPECT_EQ(p[2].src.left, 0);
  EXPECT_EQ(p[3].src.left, 150);
}

TEST_F(ChromeTest, BinCapturesTheMouseWhileOverIt) {
  chrome.Picture7_MouseMove(0, 10, 10);
  EXPECT_EQ(w.captured, Ctl::Picture7);
  EXPECT_EQ(w.painted[Ctl::Picture7].back().src, (Rect{20, 0, 20, 30}));
  chrome.Picture7_MouseDown();
  EXPECT_EQ(w.painted[Ctl::Picture7].back().src, (Rect{40, 0, 20, 30}));
  // Dragging out with the button held keeps the capture, normal frame.
  chrome.Picture7_MouseMove(1, 50, 10);
  EXPECT_EQ(w.captured, Ctl::Picture7);
  EXPECT_EQ(w.painted[Ctl::Picture7].back().src, (Rect{0, 0, 20, 30}));
  // Leaving with no button releases at once.
  chrome.Picture7_MouseMove(0, 50, 10);
  EXPECT_FALSE(w.captured.has_value());
  EXPECT_EQ(w.painted[Ctl::Picture7].back().dst, (Point{0, 1}));
}

TEST_F(ChromeTest, HandleUsesTheSpriteOfThePanelState) {
  chrome.Picture4_MouseMove(0, 5, 60);
  EXPECT_EQ(w.painted[Ctl::Picture4].back().picture, Pic::Image12);
  EXPECT_EQ(w.painted[Ctl::Picture4].back().src, (Rect{10, 0, 10, 128}));
  w.visible[Ctl::Picture6] = false;
  chrome.Picture4_MouseMove(0, 11, 60);
  EXPECT_EQ(w.painted[Ctl::Picture4].back().picture, Pic::Image13);
  EXPECT_EQ(w.painted[Ctl::Picture4].back().src, (Rect{0, 0, 10, 128}));
  EXPECT_FALSE(w.captured.has_value());
}

TEST_F(ChromeTest, BottomBarLabelColours) {
  chrome.Label2_MouseMove();
  EXPECT_EQ(w.fore[Ctl::Label2], Color::Rgb(255, 255, 0));
  chrome.dibu_MouseMove();
  EXPECT_EQ(w.fore[Ctl::Label2], Color::System(Color::Kind::kHighlight));
}

TEST_F(ChromeTest, TitleBarDragHandsOverToTheSystemMove) {
  chrome.bj_MouseDown();
  EXPECT_EQ(w.log, (std::vector<std::string>{"release", "system move"}));
  EXPECT_EQ(w.pointers[Ctl::bj], Pointer::kDefault);
}

TEST_F(ChromeTest, FrameDragResizesAndRepaintsTheTitleBar) {
  chrome.Form_MouseMove(0, 1185, 300);
  EXPECT_EQ(w.pointers[Ctl::Form1], Pointer::kSizeWE);
  chrome.Form_MouseMove(1, 1205, 300);
  EXPECT_EQ(w.geometry, (WindowTwips{1500, 120, 18090, 10530}));
  EXPECT_EQ(w.refreshes[Ctl::bj], 5);
}

TEST_F(ChromeTest, MaximisedWindowIgnoresFrameDrags) {
  w.state = WindowState::kMaximised;
  chrome.Form_MouseMove(0, 1185, 300);
  chrome.Form_MouseMove(1, 1100, 300);
  EXPECT_EQ(w.geometry, (WindowTwips{1500, 120, 17790, 10530}));
  EXPECT_EQ(w.pointers.count(Ctl::Form1), 0u);
  EXPECT_EQ(w.pointers[Ctl::bj], Pointer::kDefault);
  EXPECT_EQ(chrome.drag_state(), BorderDragState{});
}

TEST_F(ChromeTest, WithoutWindowPlacementThePlatformResizesOncePerPress) {
  w.can_place = false;
  chrome.Form_MouseMove(0, 0, 0);  // top-left corner
  chrome.Form_MouseMove(1, -5, -5);
  chrome.Form_MouseMove(1, -9, -9);
  EXPECT_EQ(w.log, (std::vector<std::string>{"system resize"}));
  EXPECT_EQ(w.resize_edges, (Edges{true, false, true, false}));
  EXPECT_EQ(w.resize_min, (Size{1080, 750}));
  EXPECT_EQ(w.geometry, (WindowTwips{1500, 120, 17790, 10530}));
  chrome.Form_MouseMove(0, 600, 701);
  chrome.Form_MouseMove(1, 600, 720);
  EXPECT_EQ(w.log.size(), 2u);
  EXPECT_EQ(w.resize_edges, (Edges{false, true, false, false}));
}

}  // namespace
}  // namespace kam::window
