// The main window's layout passes as pure functions: a container's client size in, its children's
// rectangles out, in the container's unit (pixels, or twips inside vip and vip3). Widths and
// heights never go below zero, so a client area smaller than the layout needs gives empty
// controls instead of negative ones. Fractions (from centring) are kept; the view rounds them.
#pragma once

#include "player/window/controls.h"

namespace kam::window {

// Design sizes the passes rely on.
inline constexpr Size kDesignClient{1186, 702};
inline constexpr double kCaptionButtonWidth = 35;
inline constexpr double kSidePanelWidth = 300;
inline constexpr double kStripWidth = 10;
inline constexpr Size kPlaceholderSize{324, 200};  // bjimg
inline constexpr double kVip3HeightTwips = 495;
// vip3 sits this far above vip's bottom edge, which is the player area's: only this top part of
// the strip shows, the rest lies under the bottom of the window.
inline constexpr double kVip3VisibleTwips = 300;
// Tops of the caption and of the number in vip3, and the number's place right of the caption's
// left edge.
inline constexpr double kLabel5TopTwips = 120;
inline constexpr double kTipTopTwips = 90;
inline constexpr double kTipOffsetTwips = 900;
// Their heights: what shows of the strip below their tops, so no text runs under the edge.
inline constexpr double kLabel5VisibleTwips = kVip3VisibleTwips - kLabel5TopTwips;
inline constexpr double kTipVisibleTwips = kVip3VisibleTwips - kTipTopTwips;
inline constexpr double kLabel5WidthTwips = 2055;
inline constexpr double kTipWidthTwips = 615;

// Form_Resize: the frame lines and the four areas of the window (pixels).
struct FormLayout {
  Line line1, line2, line3, line4, line5;
  Rect P2, bj, bj2, dibu;
};
FormLayout LayoutForm(Size client);

// P2_Resize: the player area's children (pixels), then vip3 and qvod inside vip (twips).
struct PlayerAreaLayout {
  Rect Picture6, Picture3, bjbox, W3, vip;
  Rect vip3;  // twips, in vip; its height stays the design height
  Rect qvod;  // twips, in vip
};
PlayerAreaLayout LayoutPlayerArea(Size client, bool side_panel_visible);

// bj_Resize: logo, tab hit areas and caption buttons (pixels).
struct TitleBarLayout {
  Rect logo, L1_0, L1_1, gb, max, min, sz;
};
TitleBarLayout LayoutTitleBar(Size client, double button_width = kCaptionButtonWidth);

// bj2_Resize: the catalogue pane.
Rect LayoutCatalogueArea(Size client);

// so_Resize: the text box Text1 and the frame Line6..Line9.
struct SettingsBoxLayout {
  Rect Text1;
  Line line6, line7, line8, line9;
};
SettingsBoxLayout LayoutSettingsBox(Size client);

// bjbox_Resize: the placeholder picture centred.
Rect LayoutPlaceholder(Size client, Size picture = kPlaceholderSize);

// vip3_Resize (twips): the countdown caption centred, the number 900 twips right of its left edge.
// label5 and tip keep their tops and widths; their heights are passed through.
struct CountdownStripLayout {
  Rect Label5, tip;
};
CountdownStripLayout LayoutCountdownStrip(Size client_twips, double label5_height_twips,
                                          double tip_height_twips);

// Picture3_Resize: the side-panel handle.
Rect LayoutStrip(Size client);

// Picture6_Resize: the clear-history button and the history list.
struct SidePanelLayout {
  Rect Picture7, WebList1;
};
SidePanelLayout LayoutSidePanel(Size client);

}  // namespace kam::window
