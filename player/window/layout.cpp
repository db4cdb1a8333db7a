#include "player/window/layout.h"

#include <algorithm>

namespace kam::window {
namespace {

// A rectangle whose width and height are held at zero or more.
Rect Box(double left, double top, double width, double height) {
  return Rect{left, top, std::max(0.0, width), std::max(0.0, height)};
}

}  // namespace

FormLayout LayoutForm(Size client) {
  const double sw = client.width;
  const double sh = client.height;
  FormLayout f;
  f.line1 = {1, 0, sw - 1, 0};
  f.line2 = {0, 0, 0, sh - 1};
  f.line3 = {sw - 1, 0, sw - 1, sh - 1};
  f.line4 = {1, sh - 1, sw - 1, sh - 1};
  f.line5 = {1, sh - 30, sw - 1, sh - 30};
  f.P2 = Box(1, 68, sw - 2, sh - 70);
  f.bj = Box(1, 1, sw - 2, 68);
  f.bj2 = Box(1, 68, sw - 2, sh - 68 - 23);
  f.dibu = Box(1, sh - 27, sw - 2, 26);
  return f;
}

PlayerAreaLayout LayoutPlayerArea(Size client, bool side_panel_visible) {
  const double sw = client.width;
  const double sh = client.height;
  PlayerAreaLayout p;
  // Each step reads what the steps before it set, as the rules are written.
  p.Picture6 = Box(0, 0, kSidePanelWidth, 0);
  p.Picture6.height = std::max(0.0, sh - p.Picture6.top);
  p.Picture6.left = sw - p.Picture6.width;

  p.Picture3 = Box(side_panel_visible ? sw - 310 : sw - kStripWidth, 0, kStripWidth, sh);

  p.bjbox = Box(-2, -2, p.Picture3.left + 2 + 2, sh + 2);
  p.W3 = Box(-2, -2, p.Picture3.left + 2 + 2, sh + 2 + 4);
  p.vip = Box(-40, -40, p.Picture3.left + 40 + 40, sh + 40);

  const double vip_w = p.vip.width * kTwipsPerPixel;
  const double vip_h = p.vip.height * kTwipsPerPixel;
  p.vip3 = Box(0, vip_h - kVip3VisibleTwips, vip_w, kVip3HeightTwips);
  p.qvod = Box(-40, -40, vip_w + 40, vip_h + 80);
  return p;
}

TitleBarLayout LayoutTitleBar(Size client, double button_width) {
  const double sw = client.width;
  const double w = button_width;
  TitleBarLayout t;
  t.logo = Box(16, 8, 150, 50);
  t.L1_0 = Box(180, 1, 150, 65);
  t.L1_1 = Box(320, 1, 150, 65);
  t.gb = Box(sw - w - 6, 10, w, 25);
  t.max = Box(sw - w - w - 8, 10, w, 25);
  t.min = Box(sw - w - w - w - 10, 10, w, 25);
  t.sz = Box(sw - w - w - w - w - 12, 10, w, 25);
  return t;
}

Rect LayoutCatalogueArea(Size client) { return Box(-4, -4, client.width + 8, client.height + 2); }

SettingsBoxLayout LayoutSettingsBox(Size client) {
  const double sw = client.width;
  const double sh = client.height;
  SettingsBoxLayout s;
  s.Text1 = Box(1, 1, sw, sh - 4);
  s.line6 = {1, 0, sw - 1, 0};
  s.line7 = {0, 0, 0, sh - 1};
  s.line8 = {sw - 1, 0, sw - 1, sh - 1};
  s.line9 = {1, sh - 1, sw - 1, sh - 1};
  return s;
}

Rect LayoutPlaceholder(Size client, Size picture) {
  return Box((client.width - picture.width) / 2, (client.height - picture.height) / 2,
             picture.width, picture.height);
}

CountdownStripLayout LayoutCountdownStrip(Size client_twips, double label5_height_twips,
                                          double tip_height_twips) {
  CountdownStripLayout c;
  c.Label5 = Box((client_twips.width - kLabel5WidthTwips) / 2, kLabel5TopTwips, kLabel5WidthTwips,
                 label5_height_twips);
  c.tip = Box(c.Label5.left + kTipOffsetTwips, kTipTopTwips, kTipWidthTwips, tip_height_twips);
  return c;
}

Rect LayoutStrip(Size client) {
  Rect r = Box(0, 0, client.width, 128);
  r.top = client.height / 2 - r.width - 40;
  return r;
}

SidePanelLayout LayoutSidePanel(Size client) {
  SidePanelLayout s;
  s.Picture7 = Box(client.width - 31, 0, 31, 31);
  s.WebList1 = Box(0, 35, client.width, client.height - 35);
  return s;
}

}  // namespace kam::window
