#include "player/browse/pane_watch.h"

#include <gtest/gtest.h>

#include "player/browse/browse.h"
#include "player/browse/browse_fakes.h"

namespace kam {
namespace {

using testing::BrowseRig;
using testing::Log;

TEST(BufferCaption, IsTheSecondsModuloSixtyBetweenBlanks) {
  const struct {
    int n;
    const char* caption;
  } cases[] = {{7, " 7 秒"},   {75, " 15 秒"}, {0, " 0 秒"},   {60, " 0 秒"},
               {59, " 59 秒"}, {-1, " 59 秒"}, {-61, " 59 秒"}};
  for (const auto& c : cases) EXPECT_EQ(BufferCaption(c.n), c.caption) << c.n;
}

TEST(Countdown, FromFiveShowsFourToZeroAndHidesTheOverlayOnTheFifthTick) {
  BrowseRig rig;
  PaneWatch watch(rig.ctx);
  rig.state.bufferSecondsLeft = 5;
  for (int tick = 1; tick <= 4; ++tick) {
    watch.Timer8_Timer();
    EXPECT_TRUE(rig.log.empty()) << tick;
  }
  watch.Timer8_Timer();
  EXPECT_EQ(rig.area.captions,
            std::vector<std::string>({" 4 秒", " 3 秒", " 2 秒", " 1 秒", " 0 秒"}));
  EXPECT_EQ(rig.log, Log({"vip.Hide", "Timer8.Stop"}));
}

TEST(Countdown, ATickPastZeroStillEndsTheOverlay) {
  BrowseRig rig;
  PaneWatch watch(rig.ctx);
  rig.state.bufferSecondsLeft = 0;
  watch.Timer8_Timer();
  EXPECT_EQ(rig.log, Log({"vip.Hide", "Timer8.Stop"}));
}

TEST(ErrorWatch, ReplacesAnErrorPageOnceAndThenStops) {
  for (const char* title : {kPageCannotBeShown, kInvalidAddress}) {
    BrowseRig rig;
    PaneWatch watch(rig.ctx);
    watch.t3_Timer();
    EXPECT_TRUE(rig.log.empty());
    watch.ListwebTitleChange(title);  // also a page whose own title reads so
    watch.t3_Timer();
    EXPECT_EQ(rig.log, Log({std::string("L3 ") + title, "t3.Stop",
                            "listweb.Navigate /opt/kam/skin/page.html"}));
    EXPECT_FALSE(watch.t3_enabled());
    rig.log.clear();
    watch.ListwebTitleChange(title);
    watch.t3_Timer();
    EXPECT_EQ(rig.log, Log({std::string("L3 ") + title}));
  }
}

TEST(ErrorWatch, OtherTitlesKeepItWatching) {
  BrowseRig rig;
  PaneWatch watch(rig.ctx);
  for (const char* title : {"", "无法显示网页 ", "首页", "地址无效!"}) {
    watch.ListwebTitleChange(title);
    watch.t3_Timer();
  }
  EXPECT_TRUE(watch.t3_enabled());
  EXPECT_EQ(rig.log.size(), 4u);  // only the L3 captions
}

class BrowseEventsTest : public ::testing::Test {
 protected:
  BrowseRig rig_;
  Browse browse_{rig_.ctx, rig_.actions};
};

TEST_F(BrowseEventsTest, StatusTextComesFromCatalogueAndBufferingPagesOnly) {
  browse_.listweb_events().OnStatusText("http://a");
  EXPECT_EQ(rig_.state.lastStatusText, "http://a");
  browse_.qvod_events().OnStatusText("http://b");
  EXPECT_EQ(rig_.state.lastStatusText, "http://b");
  browse_.W3_events().OnStatusText("http://c");
  EXPECT_EQ(rig_.state.lastStatusText, "http://b");
  browse_.listweb_events().OnStatusText("");
  EXPECT_EQ(rig_.state.lastStatusText, "");
}

TEST_F(BrowseEventsTest, EveryPaneTurnsSilentWhenItStartsADownload) {
  browse_.listweb_events().OnDownloadBegin();
  EXPECT_TRUE(rig_.listweb.silent);
  EXPECT_FALSE(rig_.W3.silent);
  browse_.W3_events().OnDownloadBegin();
  browse_.qvod_events().OnDownloadBegin();
  EXPECT_TRUE(rig_.W3.silent);
  EXPECT_TRUE(rig_.qvod.silent);
}

TEST_F(BrowseEventsTest, OnlyTheCatalogueGetsThePageMenu) {
  EXPECT_TRUE(browse_.listweb_events().OnContextMenu(10, 20));
  EXPECT_EQ(rig_.log, Log({"MyMenu 10,20"}));
  EXPECT_FALSE(browse_.W3_events().OnContextMenu(1, 1));
  EXPECT_FALSE(browse_.qvod_events().OnContextMenu(1, 1));
  EXPECT_EQ(rig_.log.size(), 1u);
}

TEST_F(BrowseEventsTest, TitleOnlyFromTheCatalogue) {
  browse_.W3_events().OnTitleChange("player");
  browse_.listweb_events().OnTitleChange("catalogue");
  EXPECT_EQ(browse_.watch().L3(), "catalogue");
  EXPECT_EQ(rig_.log, Log({"L3 catalogue"}));
}

TEST_F(BrowseEventsTest, PlayerPanePopUpsKeepTheEngineDefault) {
  rig_.state.lastStatusText = "http://x";
  EXPECT_FALSE(browse_.W3_events().OnNewWindow({}));
  EXPECT_TRUE(rig_.shell.opened.empty());
  browse_.qvod_events().OnUserInput();
  browse_.listweb_events().OnUserInput();
  EXPECT_TRUE(browse_.qvod_events().OnNewWindow({"http://x", true}));
  EXPECT_TRUE(browse_.listweb_events().OnNewWindow({"http://x", true}));
  EXPECT_EQ(rig_.shell.opened.size(), 2u);
}

TEST_F(BrowseEventsTest, NavigationsReachTheirPanesOwnRules) {
  rig_.state.dizhi = "http://demo";
  // "colse://" means nothing to the catalogue: it is one more address off the site.
  EXPECT_TRUE(browse_.listweb_events().OnBeforeNavigate("colse://x"));
  EXPECT_EQ(rig_.log, Log({"listweb.Refused colse://x"}));
  rig_.log.clear();
  // A bare address comes from no known document: the player stays.
  EXPECT_TRUE(browse_.W3_events().OnBeforeNavigate("colse://x"));
  EXPECT_EQ(rig_.log, Log({"W3.Refused colse://x"}));
  EXPECT_TRUE(browse_.W3_events().OnNavigationRequest({"colse://x", true, false, "http://demo"}));
  EXPECT_EQ(rig_.log, Log({"W3.Refused colse://x", "W3.PauseMedia", "W3.Hide", "bjbox.Show",
                           "listweb.Refresh"}));
  EXPECT_TRUE(browse_.W3_events().OnBeforeNavigate("qqplay://x"));  // not on the site
  EXPECT_FALSE(browse_.W3_events().OnNavigationRequest({"qqplay://x", true, true}));
  EXPECT_FALSE(browse_.qvod_events().OnBeforeNavigate("http://demo/huangchong.html"));
  EXPECT_TRUE(browse_.qvod_events().OnBeforeNavigate("qqplay://x"));
  EXPECT_TRUE(browse_.listweb_events().OnBeforeNavigate("qqplay://x"));
}

TEST_F(BrowseEventsTest, ListEntryPlaysInThePlayerBehindTheOverlay) {
  rig_.state.huangchong = "1";
  rig_.state.da = "4";
  rig_.random.value = 0.0;
  rig_.state.dizhi = "http://demo";
  rig_.state.List3 = {"第1集||http://demo/p/1.html||剧"};
  EXPECT_EQ(browse_.ItemPlay(0, "||"), playlist::PlayOutcome::kPlayed);
  EXPECT_EQ(rig_.state.bufferSecondsLeft, 5);
  EXPECT_EQ(rig_.log, Log({"bjbox.Hide", "vip.Show", "Timer8.Start 1160",
                           "W3.Navigate http://demo/p/1.html", "W3.Show", "DefaultPointer"}));
}

TEST_F(BrowseEventsTest, ListEntryOffTheSiteIsNoted) {
  rig_.state.dizhi = "http://demo";
  rig_.state.huangchong = "1";
  rig_.state.List3 = {"名字||file:///etc/hostname||标题"};
  EXPECT_EQ(browse_.ItemPlay(0, "||"), playlist::PlayOutcome::kRefused);
  EXPECT_EQ(rig_.log, Log({"W3.Refused 名字||file:///etc/hostname||标题"}));
}

TEST_F(BrowseEventsTest, OutdatedListEntryRendersTheListAgain) {
  rig_.state.List3 = {"a||b||c"};
  EXPECT_EQ(browse_.ItemPlay(1, "||"), playlist::PlayOutcome::kReRendered);
  EXPECT_EQ(rig_.log, Log({"WebList1.AddItem"}));
}

}  // namespace
}  // namespace kam
