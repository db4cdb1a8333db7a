#include "player/window/layout.h"

#include <gtest/gtest.h>

namespace kam::window {
namespace {

void ExpectNoNegativeSize(const Rect& r, const char* what) {
  EXPECT_GE(r.width, 0) << what;
  EXPECT_GE(r.height, 0) << what;
}

TEST(Layout, WorkedExampleAtDesignSizeWithSidePanel) {
  const FormLayout f = LayoutForm(kDesignClient);
  EXPECT_EQ(f.P2, (Rect{1, 68, 1184, 632}));
  EXPECT_EQ(f.bj, (Rect{1, 1, 1184, 68}));
  EXPECT_EQ(f.bj2, (Rect{1, 68, 1184, 611}));
  EXPECT_EQ(f.dibu, (Rect{1, 675, 1184, 26}));
  EXPECT_EQ(f.line5, (Line{1, 672, 1185, 672}));

  const PlayerAreaLayout p = LayoutPlayerArea({f.P2.width, f.P2.height}, true);
  EXPECT_EQ(p.Picture6, (Rect{884, 0, 300, 632}));
  EXPECT_EQ(p.Picture3, (Rect{874, 0, 10, 632}));
  EXPECT_EQ(p.bjbox, (Rect{-2, -2, 878, 634}));
  EXPECT_EQ(p.W3, (Rect{-2, -2, 878, 638}));
  EXPECT_EQ(p.vip, (Rect{-40, -40, 954, 672}));

  EXPECT_EQ(LayoutStrip({p.Picture3.width, p.Picture3.height}), (Rect{0, 266, 10, 128}));

  const TitleBarLayout t = LayoutTitleBar({f.bj.width, f.bj.height});
  EXPECT_EQ(t.gb.left, 1143);
  EXPECT_EQ(t.max.left, 1106);
  EXPECT_EQ(t.min.left, 1069);
  EXPECT_EQ(t.sz.left, 1032);
}

TEST(Layout, FrameLinesFollowTheClientEdges) {
  const FormLayout f = LayoutForm({800, 600});
  EXPECT_EQ(f.line1, (Line{1, 0, 799, 0}));
  EXPECT_EQ(f.line2, (Line{0, 0, 0, 599}));
  EXPECT_EQ(f.line3, (Line{799, 0, 799, 599}));
  EXPECT_EQ(f.line4, (Line{1, 599, 799, 599}));
  EXPECT_EQ(f.line5, (Line{1, 570, 799, 570}));
}

TEST(Layout, HiddenSidePanelWidensThePanesToTheStrip) {
  const PlayerAreaLayout p = LayoutPlayerArea({1184, 632}, false);
  EXPECT_EQ(p.Picture3.left, 1174);
  EXPECT_EQ(p.bjbox.width, 1178);
  EXPECT_EQ(p.W3.width, 1178);
  EXPECT_EQ(p.vip.width, 1254);
  // The panel keeps its place at the right edge even while hidden.
  EXPECT_EQ(p.Picture6, (Rect{884, 0, 300, 632}));
}

TEST(Layout, OverlayChildrenAreInTwips) {
  const PlayerAreaLayout p = LayoutPlayerArea({1184, 632}, true);
  // vip is 954 x 672 pixels = 14310 x 10080 twips.
  EXPECT_EQ(p.vip3, (Rect{0, 10080 - 300, 14310, 495}));
  EXPECT_EQ(p.qvod, (Rect{-40, -40, 14350, 10160}));
}

TEST(Layout, CountdownCaptionIsCentredAndTheNumberFollowsIt) {
  const CountdownStripLayout c = LayoutCountdownStrip({14310, 495}, 255, 315);
  EXPECT_DOUBLE_EQ(c.Label5.left, (14310 - 2055) / 2.0);  // a half stays a half
  EXPECT_EQ(c.Label5.top, 120);
  EXPECT_EQ(c.Label5.width, 2055);
  EXPECT_DOUBLE_EQ(c.tip.left, c.Label5.left + 900);
  EXPECT_EQ(c.tip.top, 90);
  EXPECT_EQ(c.tip.width, 615);
}

TEST(Layout, CountdownTextsEndWhereTheStripLeavesTheWindow) {
  // At the design size and maximised: vip3's visible part ends at the player area's bottom, and
  // both texts end there too, so neither runs under the window's bottom edge.
  for (const Size area : {Size{1184, 632}, Size{1598, 890}}) {
    const PlayerAreaLayout p = LayoutPlayerArea(area, true);
    EXPECT_DOUBLE_EQ(p.vip.top + (p.vip3.top + kVip3VisibleTwips) / kTwipsPerPixel, area.height);
    const CountdownStripLayout c =
        LayoutCountdownStrip({p.vip3.width, p.vip3.height}, kLabel5VisibleTwips, kTipVisibleTwips);
    EXPECT_EQ(c.Label5.top + c.Label5.height, kVip3VisibleTwips);
    EXPECT_EQ(c.tip.top + c.tip.height, kVip3VisibleTwips);
    // Room for the caption before the number starts: 60 pixels.
    EXPECT_EQ(c.tip.left - c.Label5.left, 60 * kTwipsPerPixel);
  }
}

TEST(Layout, SmallContainersGiveEmptyControlsNotNegativeOnes) {
  struct Case {
    Size client;
    bool panel;
  };
  for (const Case c : {Case{{0, 0}, true}, Case{{100, 50}, true}, Case{{307, 90}, true},
                       Case{{7, 90}, false}, Case{{2, 2}, false}}) {
    const FormLayout f = LayoutForm(c.client);
    ExpectNoNegativeSize(f.P2, "P2");
    ExpectNoNegativeSize(f.bj, "bj");
    ExpectNoNegativeSize(f.bj2, "bj2");
    ExpectNoNegativeSize(f.dibu, "dibu");
    const PlayerAreaLayout p = LayoutPlayerArea({f.P2.width, f.P2.height}, c.panel);
    for (const Rect& r : {p.Picture6, p.Picture3, p.bjbox, p.W3, p.vip, p.vip3, p.qvod}) {
      ExpectNoNegativeSize(r, "player area");
    }
    const TitleBarLayout t = LayoutTitleBar({f.bj.width, f.bj.height});
    ExpectNoNegativeSize(t.gb, "gb");
    ExpectNoNegativeSize(LayoutCatalogueArea({f.bj2.width, f.bj2.height}), "listweb");
    const SidePanelLayout s = LayoutSidePanel({p.Picture6.width, p.Picture6.height});
    ExpectNoNegativeSize(s.WebList1, "WebList1");
    ExpectNoNegativeSize(LayoutSettingsBox(c.client).Text1, "Text1");
  }
}

TEST(Layout, MinimumClientAreaReachesZeroExactly) {
  // 308 x 91 with the panel shown is the smallest client area the rules fit without clamping.
  const FormLayout f = LayoutForm({308, 91});
  EXPECT_EQ(f.P2.height, 21);
  EXPECT_EQ(f.bj2.height, 0);
  const PlayerAreaLayout p = LayoutPlayerArea({f.P2.width, f.P2.height}, true);
  EXPECT_EQ(p.Picture3.left, -4);
  EXPECT_EQ(p.bjbox.width, 0);
  EXPECT_EQ(p.vip.width, 76);
}

TEST(Layout, PlaceholderIsCentredWithHalvesKept) {
  EXPECT_EQ(LayoutPlaceholder({878, 634}), (Rect{277, 217, 324, 200}));
  EXPECT_EQ(LayoutPlaceholder({879, 635}), (Rect{277.5, 217.5, 324, 200}));
  // Smaller than the picture: it overhangs on both sides, centred.
  EXPECT_EQ(LayoutPlaceholder({100, 100}), (Rect{-112, -50, 324, 200}));
}

TEST(Layout, SidePanelChildren) {
  const SidePanelLayout s = LayoutSidePanel({300, 632});
  EXPECT_EQ(s.Picture7, (Rect{269, 0, 31, 31}));
  EXPECT_EQ(s.WebList1, (Rect{0, 35, 300, 597}));
}

TEST(Layout, CatalogueAndSettingsBox) {
  EXPECT_EQ(LayoutCatalogueArea({1184, 611}), (Rect{-4, -4, 1192, 613}));
  const SettingsBoxLayout s = LayoutSettingsBox({200, 30});
  EXPECT_EQ(s.Text1, (Rect{1, 1, 200, 26}));
  EXPECT_EQ(s.line9, (Line{1, 29, 199, 29}));
  EXPECT_EQ(s.line8, (Line{199, 0, 199, 29}));
}

}  // namespace
}  // namespace kam::window
