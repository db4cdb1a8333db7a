#include "player/browse/navigation_dispatch.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "player/browse/browse_fakes.h"
#include "player/startup/launch_args.h"

namespace kam {
namespace {

using testing::BrowseRig;
using testing::Log;

constexpr char kBase[] = "http://Demo.Example:8080";
// The base address as the site rule hands it on.
const std::string kSite = "http://demo.example:8080";

// A request the user's press asked for (its link, or its handlers during the press), made by a
// document of the site.
NavigationRequest AskedRequest(std::string url) {
  NavigationRequest r{std::move(url)};
  r.by_press = true;
  r.source_origin = kSite;
  return r;
}

// A navigation that a document of the site asks for: a link, its script or its form.
NavigationRequest FromThePage(std::string url, bool main_frame = true) {
  return NavigationRequest{std::move(url), main_frame, false, kSite};
}

class DispatchTest : public ::testing::Test {
 protected:
  bool Asked(std::string url) { return dispatch_.ListwebBeforeNavigate(AskedRequest(url)); }
  DispatchTest() { rig_.state.dizhi = kBase; }
  // A press on the catalogue pane a moment ago.
  void Press() {
    dispatch_.ListwebUserInput();
    rig_.clock.now += 100;
  }
  BrowseRig rig_;
  NavigationDispatch dispatch_{rig_.ctx};
};

// --- stage 1: desktop shortcut ---

TEST_F(DispatchTest, ShortcutLinkPlacesAShortcutThatOpensTheTitlesPage) {
  Press();
  EXPECT_TRUE(Asked("dddisk://Title@@@/play/1.html"));
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  const DesktopShortcut& s = rig_.shortcuts.saved[0];
  EXPECT_EQ(s.file_name, "Title");
  EXPECT_EQ(s.description, "Title");
  EXPECT_EQ(s.program, std::filesystem::path("/opt/kam/kamplayer"));
  EXPECT_EQ(s.icon, std::filesystem::path("/opt/kam/skin/icon.ico"));
  EXPECT_EQ(DecodeLaunchArgs(s.arguments), "Title#@@" + kSite + "/play/1.html");
  EXPECT_EQ(rig_.log, Log({"Tip Title放入桌面成功，从桌面打开观看"}));
}

TEST_F(DispatchTest, ShortcutNameKeepsItsCaseAndChineseButItsFileNameIsMadeSafe) {
  Press();
  Asked("dddisk://../甲/乙 Ab@@@/p.html");
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  EXPECT_EQ(rig_.shortcuts.saved[0].file_name, "_甲_乙 Ab");
  EXPECT_EQ(rig_.shortcuts.saved[0].description, "../甲/乙 Ab");
  EXPECT_EQ(rig_.log.back(), "Tip ../甲/乙 Ab放入桌面成功，从桌面打开观看");
}

TEST_F(DispatchTest, ShortcutWithoutPathPointsAtTheBaseAddress) {
  Press();
  Asked("dddisk://OnlyName");
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  EXPECT_EQ(DecodeLaunchArgs(rig_.shortcuts.saved[0].arguments), "OnlyName#@@" + kSite);
}

TEST_F(DispatchTest, NameWithTheArgumentSeparatorStillGivesTwoFields) {
  Press();
  Asked("dddisk://A#@@B@@@/x.html");
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  const std::string decoded = DecodeLaunchArgs(rig_.shortcuts.saved[0].arguments);
  EXPECT_EQ(decoded, "AB#@@" + kSite + "/x.html");
  EXPECT_EQ(rig_.shortcuts.saved[0].description, "A#@@B");
}

TEST_F(DispatchTest, ShortcutNeedsAFreshPressAndSpendsIt) {
  const struct {
    const char* name;
    bool press;
    std::int64_t wait_ms;
    int requests;
    std::size_t written;
  } cases[] = {{"no press", false, 0, 1, 0},
               {"fresh press", true, 1900, 1, 1},
               {"stale press", true, 2100, 1, 0},
               {"one per press", true, 0, 3, 1},
               {"burst without press", false, 0, 5000, 0}};
  for (const auto& c : cases) {
    BrowseRig rig;
    rig.state.dizhi = kBase;
    NavigationDispatch dispatch(rig.ctx);
    if (c.press) dispatch.ListwebUserInput();
    rig.clock.now += c.wait_ms;
    for (int i = 0; i < c.requests; ++i) {
      EXPECT_TRUE(dispatch.ListwebBeforeNavigate(
          AskedRequest("dddisk://T" + std::to_string(i) + "@@@/t.html")));
    }
    EXPECT_EQ(rig.shortcuts.saved.size(), c.written) << c.name;
    // Tips only for the shortcuts written; refusals leave their note on the pane only.
    const auto tips = std::count_if(rig.log.begin(), rig.log.end(),
                                    [](const std::string& l) { return l.rfind("Tip ", 0) == 0; });
    EXPECT_EQ(static_cast<std::size_t>(tips), c.written) << c.name;
  }
}

TEST_F(DispatchTest, ShortcutThePressDidNotAskForIsRefusedAndLeavesThePress) {
  Press();
  // A page's loop asks right after the press: refused, and the press is still there.
  for (int i = 0; i < 20; ++i) {
    EXPECT_TRUE(dispatch_.ListwebBeforeNavigate(
        FromThePage("dddisk://Loop" + std::to_string(i) + "@@@/t")));
  }
  EXPECT_TRUE(rig_.shortcuts.saved.empty());
  EXPECT_EQ(rig_.log.size(), 20u);
  EXPECT_TRUE(Asked("dddisk://Title@@@/t.html"));
  ASSERT_EQ(rig_.shortcuts.saved.size(), 1u);
  EXPECT_EQ(rig_.shortcuts.saved[0].file_name, "Title");
}

TEST_F(DispatchTest, ShortcutWhosePathLeavesTheSiteIsRefused) {
  const struct {
    const char* link;
    std::optional<std::string> address;
  } cases[] = {{"dddisk://T@@@@evil.example/x", std::nullopt},
               {"dddisk://T@@@x@127.0.0.2:8080/t.html", std::nullopt},
               {"dddisk://T@@@0/t.html", std::nullopt},
               {"dddisk://T@@@.evil.example/t.html", std::nullopt},
               {"dddisk://T@@@\\@evil.example/t", kSite + "/@evil.example/t"},
               {"dddisk://T@@@/a@evil.example/t", kSite + "/a@evil.example/t"}};
  for (const auto& c : cases) {
    rig_.log.clear();
    rig_.shortcuts.saved.clear();
    Press();
    EXPECT_TRUE(Asked(c.link)) << c.link;
    if (!c.address) {
      EXPECT_TRUE(rig_.shortcuts.saved.empty()) << c.link;
      EXPECT_EQ(rig_.log, Log({std::string("listweb.Refused ") + (c.link + 9)})) << c.link;
    } else {
      ASSERT_EQ(rig_.shortcuts.saved.size(), 1u) << c.link;
      EXPECT_EQ(DecodeLaunchArgs(rig_.shortcuts.saved[0].arguments), "T#@@" + *c.address);
    }
  }
}

TEST_F(DispatchTest, TipShowsEvenWhenTheDesktopCannotBeWritten) {
  Press();
  rig_.shortcuts.succeed = false;
  EXPECT_TRUE(Asked("dddisk://T@@@/a"));
  EXPECT_EQ(rig_.log, Log({"Tip T放入桌面成功，从桌面打开观看"}));
}

TEST_F(DispatchTest, ShortcutSchemeInAnyCaseCancels) {
  Press();
  EXPECT_TRUE(Asked("http://x/?go=DDDisk://T@@@/a"));
  EXPECT_EQ(rig_.shortcuts.saved.size(), 1u);
}

TEST_F(DispatchTest, ShortcutWhoseTextHoldsAPlayerSchemeAlsoPlays) {
  rig_.state.huangchong = "0";
  Press();
  // Stage 2 sees the URL without "dddisk://"; it plays when that is still a site address.
  EXPECT_TRUE(Asked("dddisk://qqplay:///v/1.html?n=T@@@/t.html"));
  EXPECT_EQ(rig_.shortcuts.saved.size(), 1u);
  EXPECT_NE(std::find(rig_.log.begin(), rig_.log.end(),
                      "W3.Navigate " + kSite + "/v/1.html?n=t@@@/t.html"),
            rig_.log.end());
  // A path holding the scheme leaves a text that is no address: the shortcut, but no play.
  rig_.log.clear();
  Press();
  EXPECT_TRUE(Asked("dddisk://T@@@/t.html?qqplay:///v/1.html"));
  EXPECT_EQ(rig_.shortcuts.saved.size(), 2u);
  EXPECT_EQ(rig_.log, Log({"Tip T放入桌面成功，从桌面打开观看",
                           "W3.Refused T@@@/t.html?qqplay:///v/1.html"}));
}

// --- stage 2: playback ---

TEST_F(DispatchTest, BufferedPlaybackRunsItsStepsInOrder) {
  rig_.state.huangchong = "1";
  rig_.state.da = "10";
  rig_.random.value = 0.55;
  rig_.state.List3 = {"old||a||b"};
  EXPECT_TRUE(dispatch_.ListwebBeforeNavigate(FromThePage("QQPlay:///Show/1.HTML")));
  EXPECT_EQ(rig_.log, Log({"bjbox.Hide", "qvod.Refresh", "Timer8.Start 1160", "vip.Show", "W3.Show",
                           "W3.Navigate " + kSite + "/show/1.html", "L1_Click 1"}));
  EXPECT_EQ(rig_.state.bufferSecondsLeft, 10);  // floor(10 x 0.55) + 5
  EXPECT_TRUE(rig_.state.List3.empty());
}

TEST_F(DispatchTest, UnbufferedPlaybackSwitchesTabLast) {
  for (const char* off : {"1 ", "", "Label1", "0"}) {
    rig_.log.clear();
    rig_.state.huangchong = off;
    rig_.state.bufferSecondsLeft = 3;
    EXPECT_TRUE(dispatch_.ListwebBeforeNavigate(FromThePage("youkuplay:///a")));
    EXPECT_EQ(rig_.log, Log({"bjbox.Hide", "W3.Show", "W3.Navigate " + kSite + "/a", "L1_Click 1"}))
        << off;
    EXPECT_EQ(rig_.state.bufferSecondsLeft, 3) << off;
  }
}

TEST_F(DispatchTest, BufferTimeThatIsNoNumberGivesFiveSeconds) {
  rig_.state.huangchong = "1";
  for (const char* da : {"Label1", "", "abc"}) {
    rig_.state.da = da;
    rig_.random.value = 0.99;
    dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///x"));
    EXPECT_EQ(rig_.state.bufferSecondsLeft, 5) << da;
  }
}

TEST_F(DispatchTest, RewriteThatLeavesTheSitePlaysNothingAndChangesNothing) {
  rig_.state.huangchong = "1";
  rig_.state.List3 = {"old||a||b"};
  for (const char* link :
       {"qqplay://x@127.0.0.2:8080/v/ok.html", "qqplay://show/1.html", "qqplay://.evil.example/",
        "qqplay://@evil.example/", "qqplay://0/x", "x?qqplay:///y", "javascript:qqplay:///y"}) {
    rig_.log.clear();
    EXPECT_TRUE(dispatch_.ListwebBeforeNavigate(FromThePage(link))) << link;
    EXPECT_EQ(rig_.log, Log({std::string("W3.Refused ") + link})) << link;
  }
  EXPECT_EQ(rig_.state.List3, std::vector<std::string>({"old||a||b"}));
  EXPECT_TRUE(rig_.listweb.pending_reads.empty());
}

TEST_F(DispatchTest, BackslashOrAtInTheRestStaysOnTheSite) {
  rig_.state.huangchong = "0";
  dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///v\\x@evil.example/1.html"));
  EXPECT_EQ(rig_.log[2], "W3.Navigate " + kSite + "/v/x@evil.example/1.html");
}

TEST_F(DispatchTest, SiteAddressThatIsNoWebAddressPlaysNothing) {
  for (const char* dizhi : {"file:///etc", "", "javascript:", "ftp://demo.example"}) {
    rig_.log.clear();
    rig_.state.dizhi = dizhi;
    EXPECT_TRUE(dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///v/1.html"))) << dizhi;
    ASSERT_EQ(rig_.log.size(), 1u) << dizhi;
    // No document is on a site that has no web address, so none holds the page's powers.
    EXPECT_EQ(rig_.log[0], "listweb.Refused qqplay:///v/1.html") << dizhi;
  }
}

TEST_F(DispatchTest, OrdinaryNavigationIsLeftAlone) {
  // Pages of the site, in a frame anything, and the program's own pages.
  for (const char* url : {"http://demo.example:8080/x.html", "HTTPS://Demo.Example/"}) {
    EXPECT_FALSE(dispatch_.ListwebBeforeNavigate(FromThePage(url))) << url;
  }
  for (const char* url : {"http://other.example/x.html", "colse://x", "about:blank", ""}) {
    EXPECT_FALSE(dispatch_.ListwebBeforeNavigate(FromThePage(url, false))) << url;
  }
  EXPECT_FALSE(dispatch_.ListwebBeforeNavigate({"/opt/kam/skin/page.html", true, true}));
  EXPECT_TRUE(rig_.log.empty());
  EXPECT_TRUE(rig_.listweb.pending_reads.empty());
  EXPECT_TRUE(rig_.shell.opened.empty());
}

// --- the page's powers ---

TEST_F(DispatchTest, OnlyDocumentsOnTheSiteHoldThePagesPowers) {
  rig_.state.huangchong = "0";
  const struct {
    const char* source;
    bool main_frame;
    bool powers;
  } sources[] = {
      {"http://demo.example:8080", true, true},
      {"http://demo.example:8080", false, true},  // a frame of the site
      {"https://demo.example", false, true},      // the site over https
      {"http://demo.example:9000", false, true},  // the site on another port
      {"http://other.example", false, false},     // a frame from elsewhere
      {"http://other.example", true, false},      // its link with target _top
      {"http://demo.example.other.example", false, false},
      {"null", false, false},  // a sandboxed frame
      {"file://", true, false},
      {"", true, false},  // no document the pane knows of
      {"", false, false},
  };
  for (const auto& src : sources) {
    for (const char* url : {"qqplay:///v/1.html", "dddisk://T@@@/t.html"}) {
      BrowseRig rig;
      rig.state.dizhi = kBase;
      rig.state.huangchong = "0";
      NavigationDispatch dispatch(rig.ctx);
      dispatch.ListwebUserInput();  // the user's own click: only the document decides
      EXPECT_TRUE(dispatch.ListwebBeforeNavigate({url, src.main_frame, false, src.source, true}));
      // A shortcut written, or playback started with its list being read from the page.
      const bool acted = !rig.shortcuts.saved.empty() || !rig.listweb.pending_reads.empty();
      EXPECT_EQ(acted, src.powers) << url << " from " << src.source;
      if (!src.powers) {
        EXPECT_EQ(rig.log, Log({std::string("listweb.Refused ") + url})) << src.source;
      }
    }
  }
}

TEST_F(DispatchTest, CatalogueShowsNoPageOffTheSiteAndOpensClickedOnesInTheBrowser) {
  const struct {
    const char* url;
    bool press;
    bool cancel;
    const char* opened;  // in the user's browser, or nullptr
  } cases[] = {
      {"http://demo.example:8080/next.html", true, false, nullptr},
      {"https://demo.example:9443/x", false, false, nullptr},
      {"http://other.example/login", true, true, "http://other.example/login"},
      {"http://other.example/login", false, true, nullptr},
      {"HTTP://Other.Example:81\\p", true, true, "http://other.example:81/p"},
      {"http://demo.example.other.example/", true, true, "http://demo.example.other.example/"},
      {"http://127.0.0.1:8080/", true, true, "http://127.0.0.1:8080/"},
      {"http://localhost:8080/", true, true, "http://localhost:8080/"},
      {"file:///etc/hostname", true, true, nullptr},
      {"data:text/html,x", true, true, nullptr},
      {"about:blank", true, true, nullptr},
      {"", true, true, nullptr},
  };
  for (const auto& c : cases) {
    BrowseRig rig;
    rig.state.dizhi = kBase;
    NavigationDispatch dispatch(rig.ctx);
    NavigationRequest request = FromThePage(c.url);
    if (c.press) {
      dispatch.ListwebUserInput();
      request.by_press = true;  // the pressed link's own address
    }
    EXPECT_EQ(dispatch.ListwebBeforeNavigate(request), c.cancel) << c.url;
    EXPECT_EQ(rig.shell.opened,
              c.opened ? std::vector<std::string>{c.opened} : std::vector<std::string>{})
        << c.url;
    const bool noted = c.cancel && !c.opened;
    EXPECT_EQ(rig.log, noted ? Log({std::string("listweb.Refused ") + c.url}) : Log()) << c.url;
  }
}

TEST_F(DispatchTest, OnePressOpensOnePageOffTheSite) {
  Press();
  // A page's loop leaving the site right after the press spends nothing.
  EXPECT_TRUE(dispatch_.ListwebBeforeNavigate(FromThePage("http://other.example/loop")));
  EXPECT_TRUE(rig_.shell.opened.empty());
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(Asked("http://other.example/" + std::to_string(i)));
  }
  EXPECT_EQ(rig_.shell.opened, std::vector<std::string>({"http://other.example/0"}));
  // The same press is spent: no shortcut after it.
  EXPECT_TRUE(Asked("dddisk://T@@@/t.html"));
  EXPECT_TRUE(rig_.shortcuts.saved.empty());
}

TEST_F(DispatchTest, BufferingPageStaysOnTheSiteToo) {
  const struct {
    NavigationRequest request;
    bool press;
    bool cancel;
    std::size_t opened;
  } cases[] = {
      {FromThePage("http://demo.example:8080/huangchong.html"), false, false, 0},
      {FromThePage("http://ads.other.example/"), false, true, 0},
      {FromThePage("http://ads.other.example/"), true, true, 1},
      {FromThePage("http://ads.other.example/", false), false, false, 0},  // an ad's frame
      {{"http://127.0.0.1:8080/huangchong.html", true, true}, false, false, 0},
  };
  for (const auto& c : cases) {
    BrowseRig rig;
    rig.state.dizhi = kBase;
    NavigationDispatch dispatch(rig.ctx);
    NavigationRequest request = c.request;
    if (c.press) dispatch.QvodUserInput();
    request.by_press = c.press;
    dispatch.ListwebUserInput();  // a press on another pane is none on this one
    EXPECT_EQ(dispatch.QvodBeforeNavigate(request), c.cancel) << c.request.url;
    EXPECT_EQ(rig.shell.opened.size(), c.opened) << c.request.url;
  }
}

// --- stage 3: episode list ---

PageSnapshot Catalogue() {
  return PageSnapshot{"剧名 - 目录",
                      {{"http://demo/index.html", "首页"},
                       {"qqplay:///show/1.html", "第1集"},
                       {"youkuplay:///show/1.html", "优酷1"},
                       {"qqplay:///show/2.html", "第2集"},
                       {"http://demo/x.html?u=qqplay://y", "rel"},
                       {"qqplay://x@127.0.0.2:8080/v", "away"},
                       {"qqplay:///v/3.html", "看||javascript:alert(1)||看"},
                       {"QQPLAY://upper", "upper"}}};
}

TEST_F(DispatchTest, EpisodeListHoldsEveryLinkOfTheSameSchemeInPageOrder) {
  rig_.state.huangchong = "0";
  dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///show/2.html"));
  ASSERT_EQ(rig_.listweb.pending_reads.size(), 1u);
  rig_.listweb.Answer(Catalogue());
  // Links that leave the site are left out; texts never carry the separator.
  const std::vector<std::string> expected = {
      "第1集||" + kSite + "/show/1.html||剧名 - 目录",
      "第2集||" + kSite + "/show/2.html||剧名 - 目录",
      "看|javascript:alert(1)|看||" + kSite + "/v/3.html||剧名 - 目录"};
  EXPECT_EQ(rig_.state.List3, expected);
  ASSERT_EQ(rig_.area.rendered.size(), 1u);
  EXPECT_EQ(rig_.area.rendered[0], expected);
}

TEST_F(DispatchTest, EpisodeListComesAfterThePlayerPaneNavigatesEveryTime) {
  // The list (its collection, its files, the list pane) is no step before the navigation: it
  // waits for the catalogue's answer, which comes after the click's handler has returned.
  for (const char* buffering : {"1", "0"}) {
    rig_.log.clear();
    rig_.area.rendered.clear();
    rig_.state.huangchong = buffering;
    dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///show/2.html"));
    ASSERT_FALSE(rig_.log.empty());
    EXPECT_EQ(rig_.log.back(), "L1_Click 1") << buffering;
    EXPECT_TRUE(rig_.area.rendered.empty()) << buffering;
    ASSERT_EQ(rig_.listweb.pending_reads.size(), 1u) << buffering;
    const std::size_t steps = rig_.log.size();
    rig_.listweb.Answer(Catalogue());
    EXPECT_EQ(rig_.log.size(), steps + 1) << buffering;
    EXPECT_EQ(rig_.log.back(), "WebList1.AddItem") << buffering;
  }
}

TEST_F(DispatchTest, TitleWithTheSeparatorKeepsTheFields) {
  dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///1"));
  rig_.listweb.Answer(PageSnapshot{"剧||名|", {{"qqplay:///a|b||", "第|1集|"}}});
  EXPECT_EQ(rig_.state.List3,
            std::vector<std::string>({"第|1集||" + kSite + "/a%7Cb%7C%7C||剧|名"}));
}

TEST_F(DispatchTest, PageWithoutMatchingLinksLeavesTheListEmptyAndUnrendered) {
  rig_.state.List3 = {"old||a||b"};
  dispatch_.ListwebBeforeNavigate(FromThePage("sohuplay:///z"));
  rig_.listweb.Answer(Catalogue());
  EXPECT_TRUE(rig_.state.List3.empty());
  EXPECT_TRUE(rig_.area.rendered.empty());
}

TEST_F(DispatchTest, UnreadableDocumentAddsNothing) {
  dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///z"));
  rig_.listweb.Answer(std::nullopt);
  EXPECT_TRUE(rig_.state.List3.empty());
  EXPECT_TRUE(rig_.area.rendered.empty());
}

TEST_F(DispatchTest, LateAnswerForAnEarlierClickIsDropped) {
  dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///show/1.html"));
  dispatch_.ListwebBeforeNavigate(FromThePage("youkuplay:///show/1.html"));
  rig_.listweb.Answer(Catalogue());  // the first click's page, answered late
  EXPECT_TRUE(rig_.state.List3.empty());
  rig_.listweb.Answer(Catalogue());
  EXPECT_EQ(rig_.state.List3,
            std::vector<std::string>({"优酷1||" + kSite + "/show/1.html||剧名 - 目录"}));
}

TEST_F(DispatchTest, SchemeWithHighestIndexDecidesTheList) {
  dispatch_.ListwebBeforeNavigate(FromThePage("qqplay:///a?b=ppsplay://c"));
  rig_.listweb.Answer(PageSnapshot{"t", {{"qqplay:///1", "q"}, {"ppsplay:///2", "p"}}});
  EXPECT_EQ(rig_.state.List3, std::vector<std::string>({"p||" + kSite + "/2||t"}));
}

// --- W3 and pop-ups ---

TEST_F(DispatchTest, CloseLinkInThePlayerReturnsToIdle) {
  for (const char* url : {"colse://", "COLSE://close", " \tcolse://x"}) {
    rig_.log.clear();
    EXPECT_TRUE(dispatch_.W3BeforeNavigate(FromThePage(url))) << url;
    EXPECT_EQ(rig_.log, Log({"W3.PauseMedia", "W3.Hide", "bjbox.Show", "listweb.Refresh"}));
  }
}

TEST_F(DispatchTest, OnlyTheSitesOwnDocumentsCloseThePlayer) {
  const struct {
    const char* url;
    const char* source;
    bool main_frame;
    bool closes;
  } cases[] = {
      {"colse://close", "http://demo.example:8080", true, true},
      {"colse://close", "http://demo.example:8080", false, true},  // a frame of the site
      {"colse://close", "https://demo.example:9000", false, true},
      {"colse://close", "http://other.example", false, false},
      {"colse://close", "http://other.example", true, false},  // its link with target _top
      {"colse://close", "null", false, false},
      {"colse://close", "", true, false},
      // "colse://" elsewhere in an address is no close link.
      {"http://demo.example:8080/x?colse://now", "http://demo.example:8080", true, false},
      {"http://other.example/?colse://", "http://other.example", false, false},
      {"qqplay://colse://", "http://demo.example:8080", true, false},
  };
  for (const auto& c : cases) {
    BrowseRig rig;
    rig.state.dizhi = kBase;
    NavigationDispatch dispatch(rig.ctx);
    dispatch.W3BeforeNavigate({c.url, c.main_frame, false, c.source});
    const bool closed = std::find(rig.log.begin(), rig.log.end(), "W3.Hide") != rig.log.end();
    EXPECT_EQ(closed, c.closes) << c.url << " from " << c.source;
  }
}

TEST_F(DispatchTest, PlayerPageStaysOnTheSiteAndItsFramesOnTheWeb) {
  const struct {
    const char* url;
    bool main_frame;
    bool by_program;
    bool cancel;
  } cases[] = {
      {"http://demo.example:8080/play/2.html", true, false, false},
      {"HTTP://DEMO.EXAMPLE:8080/play/2.html", true, false, false},
      // The site is its registrable domain (common/site_rule_test.cpp): its move to https or
      // another port stays on it.
      {"http://demo.example:8081/play/2.html", true, false, false},
      {"https://demo.example:8080/", true, false, false},
      {"http://other.example/", true, false, true},
      {"http://demo.example.other.example/", true, false, true},
      {"http://127.0.0.1:8080/", true, false, true},
      {"file:///etc/hostname", true, false, true},
      {"javascript:alert(1)", true, false, true},
      {"data:text/html,x", true, false, true},
      {"qqplay:///x", true, false, true},
      {"/etc/hostname", true, false, true},
      {"", true, false, true},
      // The program's own pages and checked addresses.
      {"/opt/kam/skin/Loading.html", true, true, false},
      {"http://other.example/", false, false, false},
      {"about:blank", false, false, false},
      {"about:srcdoc", false, false, false},
      {"data:text/html,x", false, false, true},
      {"file:///etc/hostname", false, false, true},
  };
  for (const auto& c : cases) {
    rig_.log.clear();
    EXPECT_EQ(dispatch_.W3BeforeNavigate(NavigationRequest{c.url, c.main_frame, c.by_program}),
              c.cancel)
        << c.url;
    EXPECT_EQ(rig_.log, c.cancel ? Log({std::string("W3.Refused ") + c.url}) : Log()) << c.url;
  }
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
    Press();
    EXPECT_TRUE(dispatch_.ListwebNewWindow({c.status, true}));
    EXPECT_EQ(rig_.shell.opened.size(), c.opens ? 1u : 0u) << c.status;
    if (c.opens) {
      EXPECT_EQ(rig_.shell.opened[0], c.status);
    }
  }
  EXPECT_TRUE(rig_.log.empty());
}

TEST_F(DispatchTest, PopUpsNeedAPressAndOpenOncePerPress) {
  rig_.state.lastStatusText = "http://demo/ad.html";
  const NewWindowRequest loop{"http://demo/ad.html?1", false};
  const NewWindowRequest link{"http://demo/about.html", true};
  // A script's loop with no press; then a press while the loop goes on, and the link it asked
  // for; then the link again, which the spent press no longer opens.
  for (int i = 0; i < 1000; ++i) EXPECT_TRUE(dispatch_.ListwebNewWindow(loop));
  EXPECT_TRUE(rig_.shell.opened.empty());
  dispatch_.ListwebUserInput();
  for (int i = 0; i < 8; ++i) {
    rig_.clock.now += 20;
    EXPECT_TRUE(dispatch_.ListwebNewWindow(loop));
  }
  EXPECT_TRUE(rig_.shell.opened.empty());
  EXPECT_TRUE(dispatch_.ListwebNewWindow(link));
  EXPECT_TRUE(dispatch_.ListwebNewWindow(link));
  EXPECT_EQ(rig_.shell.opened, std::vector<std::string>({"http://demo/ad.html"}));
  // A press on another pane is no press on this one.
  dispatch_.QvodUserInput();
  EXPECT_TRUE(dispatch_.ListwebNewWindow(link));
  EXPECT_EQ(rig_.shell.opened.size(), 1u);
}

TEST_F(DispatchTest, PopUpFromTheBufferingPageEndsTheOverlay) {
  rig_.state.lastStatusText = "http://demo/ad.html";
  EXPECT_TRUE(dispatch_.QvodNewWindow({"", true}));  // no press: refused, the overlay stays
  EXPECT_EQ(rig_.log, Log({"qvod.Refused http://demo/ad.html"}));
  rig_.log.clear();
  dispatch_.QvodUserInput();
  EXPECT_TRUE(dispatch_.QvodNewWindow({"", false}));  // not the press's: the overlay stays
  EXPECT_EQ(rig_.log, Log({"qvod.Refused http://demo/ad.html"}));
  rig_.log.clear();
  EXPECT_TRUE(dispatch_.QvodNewWindow({"", true}));
  EXPECT_EQ(rig_.shell.opened, std::vector<std::string>({"http://demo/ad.html"}));
  EXPECT_EQ(rig_.log, Log({"vip.Hide", "Timer8.Stop"}));
}

}  // namespace
}  // namespace kam
