#include "player/playlist/list_links.h"

#include <gtest/gtest.h>

#include <climits>

namespace kam::playlist {
namespace {

TEST(ClassifyListLinkTest, Table) {
  const struct {
    const char* href;
    LinkAction action;
  } cases[] = {
      {"http://Play:", LinkAction::kPlay},
      {"HTTP://PLAY:", LinkAction::kPlay},
      {"http://play/", LinkAction::kPlay},
      {"x http://Playlist", LinkAction::kPlay},
      {"http://ShanChu:", LinkAction::kDelete},
      {"http://shanchu/", LinkAction::kDelete},
      {"http://ShanChu:http://Play:", LinkAction::kPlay},
      {"https://Play:", LinkAction::kOther},
      {"http:/Play", LinkAction::kOther},
      {"pl://x", LinkAction::kOther},
      {"", LinkAction::kOther},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyListLink(c.href), c.action) << c.href;
}

TEST(EntryNumberOfTest, Table) {
  const struct {
    const char* id;
    int number;
  } cases[] = {
      {"3", 3},
      {"12", 12},
      {"0", 0},
      {"3x", 3},
      {"x3", 0},
      {"", 0},
      {" 3", 0},
      {"-3", 0},
      {"007", 7},
      {"32767", 32767},
      {"99999999999", INT_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(EntryNumberOf(c.id), c.number) << '"' << c.id << '"';
}

TEST(IsCancelledNavigationTest, Table) {
  EXPECT_TRUE(IsCancelledNavigation("pl://anything"));
  EXPECT_TRUE(IsCancelledNavigation("PL://X"));
  EXPECT_TRUE(IsCancelledNavigation("http://a/?to=pl://x"));
  EXPECT_FALSE(IsCancelledNavigation("file:///prog/html/List.html"));
  EXPECT_FALSE(IsCancelledNavigation("http://play/"));
}

TEST(DecideContextMenuTest, Table) {
  const struct {
    const char* tag;
    const char* id;
    bool raise;
    bool on_link;
    int index;
    bool engine_menu;
  } cases[] = {
      {"HTML", "", false, false, 0, true},
      {"html", "7", false, false, 0, true},
      {"A", "7", true, true, 7, false},
      {"a", "12", true, true, 12, false},
      {"BODY", "", true, false, 0, false},
      {"H4", "", true, false, 0, false},
      {"DIV", "detail-list", true, false, 0, false},
  };
  for (const auto& c : cases) {
    const ContextMenuDecision d = DecideContextMenu(c.tag, c.id);
    EXPECT_EQ(d.raise_event, c.raise) << c.tag;
    EXPECT_EQ(d.on_link, c.on_link) << c.tag;
    EXPECT_EQ(d.index, c.index) << c.tag;
    EXPECT_EQ(d.engine_menu, c.engine_menu) << c.tag;
  }
}

TEST(BrowserGeometryForTest, BorderLiesOutsideTheControl) {
  const BrowserGeometry g = BrowserGeometryFor(300, 500);
  // 40 twips are 2.67 pixels: the browser starts before the control's corner and ends past its
  // far edges.
  EXPECT_EQ(g.x, -3);
  EXPECT_EQ(g.y, -3);
  EXPECT_EQ(g.width, 305);
  EXPECT_EQ(g.height, 505);
  EXPECT_GT(g.x + g.width, 300);
  EXPECT_GT(g.y + g.height, 500);
  const BrowserGeometry zero = BrowserGeometryFor(-10, 0);
  EXPECT_EQ(zero.width, 5);
  EXPECT_EQ(zero.height, 5);
}

}  // namespace
}  // namespace kam::playlist
