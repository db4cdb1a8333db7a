#include "player/browse/navigation_dispatch.h"

#include <gtest/gtest.h>

#include "player/browse/browse_fakes.h"
#include "player/startup/launch_args.h"

namespace kam {
namespace {

using testing::BrowseRig;
using testing::Log;

constexpr char kBase[] = "http://Demo.Example:8080";

class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() { rig_.state.dizhi = kBase; }
  BrowseRig rig_;
  NavigationDispatch dispatch_{rig_.ctx};
};

// --- stage 1: desktop shortcut ---

TEST_F(DispatchTest, ShortcutLinkPlacesAShortcutThatOpensTheTitlesPage) {
  EXPECT_TRUE(dispatch_.ListwebBeforeNavigate("dddisk://Title@@@/play/1.html"));
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  const DesktopShortcut& s = rig_.shortcuts.saved[0];
  EXPECT_EQ(s.file_name, "Title");
  EXPECT_EQ(s.description, "Title");
  EXPECT_EQ(s.program, std::filesystem::path("/opt/kam/kamplayer"));
  EXPECT_EQ(s.icon, std::filesystem::path("/opt/kam/skin/icon.ico"));
  EXPECT_EQ(DecodeLaunchArgs(s.arguments), std::string("Title#@@") + kBase + "/play/1.html");
  EXPECT_EQ(rig_.log, Log({"Tip Title放入桌面成功，从桌面打开观看"}));
}

TEST_F(DispatchTest, ShortcutNameKeepsItsCaseAndChineseButItsFileNameIsMadeSafe) {
  dispatch_.ListwebBeforeNavigate("dddisk://../甲/乙 Ab@@@/p.html");
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  EXPECT_EQ(rig_.shortcuts.saved[0].file_name, "_甲_乙 Ab");
  EXPECT_EQ(rig_.shortcuts.saved[0].description, "../甲/乙 Ab");
  EXPECT_EQ(rig_.log.back(), "Tip ../甲/乙 Ab放入桌面成功，从桌面打开观看");
}

TEST_F(DispatchTest, ShortcutWithoutPathPointsAtTheBaseAddress) {
  dispatch_.ListwebBeforeNavigate("dddisk://OnlyName");
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  EXPECT_EQ(DecodeLaunchArgs(rig_.shortcuts.saved[0].arguments),
            std::string("OnlyName#@@") + kBase);
}

TEST_F(DispatchTest, NameWithTheArgumentSeparatorStillGivesTwoFields) {
  dispatch_.ListwebBeforeNavigate("dddisk://A#@@B@@@/x.html");
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  const std::string decoded = DecodeLaunchArgs(rig_.shortcuts.saved[0].arguments);
  EXPECT_EQ(decoded, std::string("AB#@@") + kBase + "/x.html");
  EXPECT_EQ(rig_.shortcuts.saved[0].description, "A#@@B");
}

TEST_F(DispatchTest, TipShowsEvenWhenTheDesktopCannotBeWritten) {
  rig_.shortcuts.succeed = false;
  EXPECT_TRUE(dispatch_.ListwebBeforeNavigate("dddisk://T@@@/a"));
  EXPECT_EQ(rig_.log, Log({"Tip T放入桌面成功，从桌面打开观看"}));
}

TEST_F(DispatchTest, ShortcutSchemeInAnyCaseCancels) {
  EXPECT_TRUE(dispatch_.ListwebBeforeNavigate("http://x/?go=DDDisk://T@@@/a"));
  EXPECT_EQ(rig_.shortcuts.saved.size(), 1u);
}

TEST_F(DispatchTest, ShortcutWhosePathHoldsAPlayerSchemeAlsoPlays) {
  rig_.state.huangchong = "0";
  EXPECT_TRUE(dispatch_.ListwebBeforeNavigate("dddisk://T@@@qqplay://v/1.html"));
  EXPECT_EQ(rig_.shortcuts.saved.size(), 1u);
  // Stage 2 sees the URL without "dddisk://".
  EXPECT_NE(std::find(rig_.log.begin(), rig_.log.end(),
                      "W3.Navigate t@@@http://demo.example:8080v/1.html"),
            rig_.log.end());
}

// --- stage 2: playback ---

TEST_F(DispatchTest, BufferedPlaybackRunsItsStepsInOrder) {
  rig_.state.huangchong = "1";
  rig_.state.da = "10";
  rig_.random.value = 0.55;
  rig_.state.List3 = {"old||a||b"};
  EXPECT_TRUE(dispatch_.ListwebBeforeNavigate("QQPlay://Show/1.HTML"));
  EXPECT_EQ(rig_.log, Log({"bjbox.Hide", "qvod.Refresh", "Timer8.Start 1160", "vip.Show", "W3.Show",
                           "W3.Navigate http://demo.example:8080show/1.html", "L1_Click 1"}));
  EXPECT_EQ(rig_.state.bufferSecondsLeft, 10);  // floor(10 x 0.55) + 5
  EXPECT_TRUE(rig_.state.List3.empty());
}

TEST_F(DispatchTest, UnbufferedPlaybackSwitchesTabLast) {
  for (const char* off : {"1 ", "", "Label1", "0"}) {
    rig_.log.clear();
    rig_.state.huangchong = off;
    rig_.state.bufferSecondsLeft = 3;
    EXPECT_TRUE(dispatch_.ListwebBeforeNavigate("youkuplay://a"));
    EXPECT_EQ(rig_.log,
              Log({"bjbox.Hide", "W3.Show", "W3.Navigate http://demo.example:8080a", "L1_Click 1"}))
        << off;
    EXPECT_EQ(rig_.state.bufferSecondsLeft, 3) << off;
  }
}

TEST_F(DispatchTest, BufferTimeThatIsNoNumberGivesFiveSeconds) {
  rig_.state.huangchong = "1";
  for (const char* da : {"Label1", "", "abc"}) {
    rig_.state.da = da;
    rig_.random.value = 0.99;
    dispatch_.ListwebBeforeNavigate("qqplay://x");
    EXPECT_EQ(rig_.state.bufferSecondsLeft, 5) << da;
  }
}

TEST_F(DispatchTest, OrdinaryNavigationIsLeftAlone) {
  for (const char* url : {"http://demo/x.html", "colse://x", "about:blank", ""}) {
    EXPECT_FALSE(dispatch_.ListwebBeforeNavigate(url)) << url;
  }
  EXPECT_TRUE(rig_.log.empty());
  EXPECT_TRUE(rig_.listweb.pending_reads.empty());
}

// --- stage 3: episode list ---

PageSnapshot Catalogue() {
  return PageSnapshot{"剧名 - 目录",
                      {{"http://demo/index.html", "首页"},
                       {"qqplay://show/1.html", "第1集"},
                       {"youkuplay://show/1.html", "优酷1"},
                       {"qqplay://show/2.html", "第2集"},
                       {"http://demo/x.html?u=qqplay://y", "rel"},
                       {"QQPLAY://upper", "upper"}}};
}

TEST_F(DispatchTest, EpisodeListHoldsEveryLinkOfTheSameSchemeInPageOrder) {
  rig_.state.huangchong = "0";
  dispatch_.ListwebBeforeNavigate("qqplay://show/2.html");
  ASSERT_EQ(rig_.listweb.pending_reads.size(), 1u);
  rig_.listweb.Answer(Catalogue());
  const std::vector<std::string> expected = {
      "第1集||http://demo.example:8080show/1.html||剧名 - 目录",
      "第2集||http://demo.example:8080show/2.html||剧名 - 目录",
      "rel||http://demo/x.html?u=http://demo.example:8080y||剧名 - 目录"};
  EXPECT_EQ(rig_.state.List3, expected);
  ASSERT_EQ(rig_.area.rendered.size(), 1u);
  EXPECT_EQ(rig_.area.rendered[0], expected);
}

TEST_F(DispatchTest, PageWithoutMatchingLinksLeavesTheListEmptyAndUnrendered) {
  rig_.state.List3 = {"old||a||b"};
  dispatch_.ListwebBeforeNavigate("sohuplay://z");
  rig_.listweb.Answer(Catalogue());
  EXPECT_TRUE(rig_.state.List3.empty());
  EXPECT_TRUE(rig_.area.rendered.empty());
}

TEST_F(DispatchTest, UnreadableDocumentAddsNothing) {
  dispatch_.ListwebBeforeNavigate("qqplay://z");
  rig_.listweb.Answer(std::nullopt);
  EXPECT_TRUE(rig_.state.List3.empty());
  EXPECT_TRUE(rig_.area.rendered.empty());
}

TEST_F(DispatchTest, LateAnswerForAnEarlierClickIsDropped) {
  dispatch_.ListwebBeforeNavigate("qqplay://show/1.html");
  dispatch_.ListwebBeforeNavigate("youkuplay://show/1.html");
  rig_.listweb.Answer(Catalogue());  // the first click's page, answered late
  EXPECT_TRUE(rig_.state.List3.empty());
  rig_.listweb.Answer(Catalogue());
  EXPECT_EQ(rig_.state.List3,
            std::vector<std::string>({"优酷1||http://demo.example:8080show/1.html||剧名 - 目录"}));
}

TEST_F(DispatchTest, SchemeWithHighestIndexDecidesTheList) {
  dispatch_.ListwebBeforeNavigate("qqplay://a?b=ppsplay://c");
  rig_.listweb.Answer(PageSnapshot{"t", {{"qqplay://1", "q"}, {"ppsplay://2", "p"}}});
  EXPECT_EQ(rig_.state.List3, std::vector<std::string>({"p||http://Demo.Example:80802||t"}));
}

// --- W3 and pop-ups ---

TEST_F(DispatchTest, CloseLinkInThePlayerReturnsToIdle) {
  for (const char* url : {"colse://", "http://demo/x?COLSE://now"}) {
    rig_.log.clear();
    EXPECT_TRUE(dispatch_.W3BeforeNavigate(url)) << url;
    EXPECT_EQ(rig_.log, Log({"W3.Hide", "bjbox.Show", "listweb.Refresh"}));
  }
  rig_.log.clear();
  EXPECT_FALSE(dispatch_.W3BeforeNavigate("qqplay://x"));
  EXPECT_FALSE(dispatch_.W3BeforeNavigate("http://demo/play.html"));
  EXPECT_TRUE(rig_.log.empty());
}

TEST_F(DispatchTest, PopUpsAreRefusedAndOnlyWebAddressesOpen) {
  const struct {
    const char* status;
    bool opens;
  } cases[] = {{"http://demo/ad.html", true},
               {"HTTPS://demo/ad", true},
               {"完成", false},
               {"", false},
               {"file:///etc/passwd", false},
               {"qqplay://x", false},
               {"javascript:alert(1)", false},
               {" http://lead-blank", false}};
  for (const auto& c : cases) {
    rig_.shell.opened.clear();
    rig_.state.lastStatusText = c.status;
    EXPECT_TRUE(dispatch_.ListwebNewWindow());
    EXPECT_EQ(rig_.shell.opened.size(), c.opens ? 1u : 0u) << c.status;
    if (c.opens) {
      EXPECT_EQ(rig_.shell.opened[0], c.status);
    }
  }
  EXPECT_TRUE(rig_.log.empty());
}

TEST_F(DispatchTest, PopUpFromTheBufferingPageEndsTheOverlay) {
  rig_.state.lastStatusText = "http://demo/ad.html";
  EXPECT_TRUE(dispatch_.QvodNewWindow());
  EXPECT_EQ(rig_.shell.opened, std::vector<std::string>({"http://demo/ad.html"}));
  EXPECT_EQ(rig_.log, Log({"vip.Hide", "Timer8.Stop"}));
}

}  // namespace
}  // namespace kam
