#include "player/window/form1.h"

#include "player/window/layout.h"

namespace kam::window {
namespace {

constexpr Color kPanelGrey = Color::Rgb(46, 46, 46);
constexpr Color kBlack = Color::Rgb(0, 0, 0);

}  // namespace

void Form1::Resize(Ctl container) {
  switch (container) {
    case Ctl::Form1:
      Form_Resize();
      break;
    case Ctl::P2:
      P2_Resize();
      break;
    case Ctl::bj:
      bj_Resize();
      break;
    case Ctl::bj2:
      bj2_Resize();
      break;
    case Ctl::so:
      so_Resize();
      break;
    case Ctl::bjbox:
      bjbox_Resize();
      break;
    case Ctl::vip3:
      vip3_Resize();
      break;
    case Ctl::Picture3:
      Picture3_Resize();
      break;
    case Ctl::Picture4:
      Picture4_Resize();
      break;
    case Ctl::Picture6:
      Picture6_Resize();
      break;
    default:
      break;
  }
}

void Form1::Form_Resize() {
  if (Minimised()) return;
  const FormLayout f = LayoutForm(port_.ClientSize(Ctl::Form1));
  port_.SetLine(LineId::Line1, f.line1);
  port_.SetLine(LineId::Line2, f.line2);
  port_.SetLine(LineId::Line3, f.line3);
  port_.SetLine(LineId::Line4, f.line4);
  port_.SetLine(LineId::Line5, f.line5);
  port_.SetBounds(Ctl::P2, f.P2);
  P2_Resize();
  port_.SetBounds(Ctl::bj, f.bj);
  port_.SetBounds(Ctl::bj2, f.bj2);
  port_.SetBounds(Ctl::dibu, f.dibu);
}

void Form1::P2_Resize() {
  if (Minimised()) return;
  const PlayerAreaLayout p =
      LayoutPlayerArea(port_.ClientSize(Ctl::P2), port_.IsVisible(Ctl::Picture6));
  port_.SetBounds(Ctl::Picture6, p.Picture6);
  port_.SetBounds(Ctl::Picture3, p.Picture3);
  port_.BringToFront(Ctl::Picture3);
  port_.SetBounds(Ctl::bjbox, p.bjbox);
  port_.SetBounds(Ctl::W3, p.W3);
  port_.SetBounds(Ctl::vip, p.vip);
  port_.SetBounds(Ctl::vip3, p.vip3);
  port_.SetBounds(Ctl::qvod, p.qvod);
}

void Form1::bj_Resize() {
  const TitleBarLayout t = LayoutTitleBar(port_.ClientSize(Ctl::bj));
  port_.SetBounds(Ctl::logo, t.logo);
  port_.SetBounds(Ctl::L1_0, t.L1_0);
  port_.SetBounds(Ctl::L1_1, t.L1_1);
  port_.SetBounds(Ctl::gb, t.gb);
  port_.SetBounds(Ctl::max, t.max);
  port_.SetBounds(Ctl::min, t.min);
  port_.SetBounds(Ctl::sz, t.sz);
}

void Form1::bj2_Resize() {
  port_.SetBounds(Ctl::listweb, LayoutCatalogueArea(port_.ClientSize(Ctl::bj2)));
}

void Form1::so_Resize() {
  const SettingsBoxLayout s = LayoutSettingsBox(port_.ClientSize(Ctl::so));
  port_.SetBounds(Ctl::Text1, s.Text1);
  port_.SetLine(LineId::Line6, s.line6);
  port_.SetLine(LineId::Line7, s.line7);
  port_.SetLine(LineId::Line8, s.line8);
  port_.SetLine(LineId::Line9, s.line9);
}

void Form1::bjbox_Resize() {
  port_.SetBounds(Ctl::bjimg, LayoutPlaceholder(port_.ClientSize(Ctl::bjbox)));
}

void Form1::vip3_Resize() {
  const CountdownStripLayout c =
      LayoutCountdownStrip(port_.ClientSize(Ctl::vip3), kLabel5VisibleTwips, kTipVisibleTwips);
  port_.SetBounds(Ctl::Label5, c.Label5);
  port_.SetBounds(Ctl::tip, c.tip);
}

void Form1::Picture3_Resize() {
  if (Minimised()) return;
  port_.SetBounds(Ctl::Picture4, LayoutStrip(port_.ClientSize(Ctl::Picture3)));
}

void Form1::Picture4_Resize() { Picture4_Paint(); }

void Form1::Picture6_Resize() {
  if (Minimised()) return;
  const SidePanelLayout s = LayoutSidePanel(port_.ClientSize(Ctl::Picture6));
  port_.SetBounds(Ctl::Picture7, s.Picture7);
  port_.SetBounds(Ctl::WebList1, s.WebList1);
}

void Form1::L1_Click(int index) {
  state_.selectedTab = index;
  if (index == 0) {
    port_.SetVisible(Ctl::bj2, true);
    port_.SetVisible(Ctl::P2, false);
    port_.SetVisible(Ctl::dibu, true);
  } else if (index == 1) {
    port_.SetVisible(Ctl::P2, true);
    port_.BringToFront(Ctl::P2);
    port_.SetVisible(Ctl::dibu, true);
    port_.SetVisible(Ctl::bj2, false);
  }
  port_.SetDefaultPointer(Ctl::bj);
  bj_Paint();
}

void Form1::bj_Paint() {
  switch (port_.State()) {
    case WindowState::kNormal:
      port_.SetImage(Ctl::max, Pic::max1);
      break;
    case WindowState::kMaximised:
      port_.SetImage(Ctl::max, Pic::max3);
      break;
    case WindowState::kMinimised:
      break;  // keeps its image
  }
  port_.PaintPicture(Ctl::bj, Pic::sp, Rect{TabFrameX(0, state_.selectedTab), 0, 150, 65},
                     Point{180, 1});
  port_.PaintPicture(Ctl::bj, Pic::bf, Rect{TabFrameX(1, state_.selectedTab), 0, 150, 65},
                     Point{320, 1});
}

void Form1::Picture4_Click() {
  if (port_.IsVisible(Ctl::Picture6)) {
    port_.SetVisible(Ctl::Picture6, false);
    port_.SetBackColor(Ctl::Picture3, kBlack);
  } else {
    port_.SetVisible(Ctl::Picture6, true);
    port_.SetBackColor(Ctl::Picture3, kPanelGrey);
  }
  P2_Resize();
  Picture4_Paint();
}

void Form1::Picture4_Paint() {
  const Pic sprite = port_.IsVisible(Ctl::Picture6) ? Pic::Image12 : Pic::Image13;
  port_.PaintPicture(Ctl::Picture4, sprite, Rect{0, 0, 10, 128}, Point{0, 0});
}

void Form1::Picture7_Paint() {
  port_.PaintPicture(Ctl::Picture7, Pic::Image16, Rect{0, 0, 20, 30}, Point{0, 1});
}

void Form1::Picture7_Click() {
  port_.SetVisible(Ctl::W3, false);
  port_.SetVisible(Ctl::bjbox, true);
  port_.RefreshCatalogue();
  state_.List3.clear();
  port_.ShowHistory(state_.List3);
}

void Form1::LoadHistory(const std::vector<std::string>& entries) {
  state_.List3.insert(state_.List3.end(), entries.begin(), entries.end());
  port_.ShowHistory(state_.List3);
}

}  // namespace kam::window
