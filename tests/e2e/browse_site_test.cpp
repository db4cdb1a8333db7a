// The panes stay on the site (the registrable domain of the site address), against the demo
// site's pages that lead elsewhere (demo/site/hostile/away.html, frame.html, framed-player.html).
// The site is 127.0.0.1; 127.0.0.2 and localhost are other sites, which the demo server, bound to
// 127.0.0.1, answers as localhost only.
#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

class SiteE2E : public BrowseE2E {
 protected:
  // The player against the demo site (exit mode 2, buffering time 0), its catalogue on path
  // once the page and its frames have loaded; nothing when it did not come.
  std::unique_ptr<DevToolsSession> StartOn(const std::string& path, int frames) {
    UseSettings("2", "0");
    if (!StartServerPatiently()) return nullptr;
    player_ = Start();
    auto listweb = Catalogue();
    return listweb ? Goto(*listweb, path, frames) : nullptr;
  }

  // The catalogue pane, now on the page of session from, taken to another page of the site
  // (path with query), once that has loaded with all its frames.
  std::unique_ptr<DevToolsSession> Goto(DevToolsSession& from, const std::string& path,
                                        int frames) {
    const std::string address = Base() + path;
    // On a loaded machine the player's own start-up navigation of the pane may still come and
    // take the place of this one; ask again then (three times at most).
    std::unique_ptr<DevToolsSession> page;
    for (int attempt = 0; attempt < 3 && !page; ++attempt) {
      from.Evaluate("location.href = " + JsonQuote(address) + "; 1");
      page = Pane(address, seconds(15));
    }
    if (page && !FramesLoaded(*page, frames)) return nullptr;
    return page;
  }

  static bool FramesLoaded(DevToolsSession& page, int frames) {
    return WaitForScript(page, "window.kamFramesLoaded === " + std::to_string(frames), seconds(30));
  }

  bool AnyPaneAt(const std::string& part) const {
    for (const DevToolsTarget& t : DevToolsTargets(devtools_)) {
      if (t.type == "page" && t.url.find(part) != std::string::npos) return true;
    }
    return false;
  }

  std::string OtherHost(const std::string& path) const {
    return "http://127.0.0.2:" + std::to_string(server_->port()) + path;
  }

  std::unique_ptr<ProgramRun> player_;
};

TEST_F(SiteE2E, CatalogueLinkToAnotherSiteOpensInTheBrowserOnAClickAndNowhereWithoutOne) {
  auto page = StartOn("/hostile/away.html", 4);
  ASSERT_TRUE(page);
  // Without a click: twenty tries in five seconds to take the pane to another host.
  page->Evaluate("kamLeave(); 1");
  ASSERT_TRUE(WaitForScript(*page, "window.kamLeaveTried === 20", seconds(20)));
  std::this_thread::sleep_for(seconds(1));
  EXPECT_TRUE(Opened().empty());
  EXPECT_FALSE(AnyPaneAt("127.0.0.2"));

  // A click on the link: the browser gets the address, once, and the pane keeps its page.
  page->Evaluate("window.kamMarker = 1");
  ASSERT_TRUE(PointerClick(player_->pid(), *page, "#away"));
  ASSERT_TRUE(WaitUntil([&] { return !Opened().empty(); }, seconds(10)));
  std::this_thread::sleep_for(seconds(2));
  EXPECT_EQ(Opened(), std::vector<std::string>({OtherHost("/about.html")}));
  EXPECT_FALSE(AnyPaneAt("127.0.0.2"));
  EXPECT_TRUE(WaitForScript(*page, "window.kamMarker === 1", seconds(2)));
  EXPECT_TRUE(player_->Running());
}

TEST_F(SiteE2E, FrameFromAnotherSiteCanNeitherPlayNorPlaceAShortcutNorReplaceTheList) {
  auto page = StartOn("/hostile/away.html", 4);
  ASSERT_TRUE(page);
  const auto list_before = prog_.Read("\\data\\Data.dat");
  // Real clicks on links inside frames from localhost: a play link, the same aimed at the
  // catalogue page itself, a shortcut link.
  for (const char* frame : {"#f-play", "#f-top-play", "#f-shortcut"}) {
    ASSERT_TRUE(PointerClick(player_->pid(), *page, frame)) << frame;
    std::this_thread::sleep_for(seconds(3));
    EXPECT_FALSE(AnyPaneAt("/play/sanguo-2.html")) << frame;
    EXPECT_TRUE(DesktopFiles().empty()) << frame;
    EXPECT_FALSE(TipShown(player_->pid())) << frame;
    EXPECT_EQ(prog_.Read("\\data\\Data.dat"), list_before) << frame;
    EXPECT_EQ(page->EvaluateString("location.pathname"), "/hostile/away.html") << frame;
  }
  // The same link in a frame of the site plays: the clicks above did reach their links.
  ASSERT_TRUE(PointerClick(player_->pid(), *page, "#f-site-play"));
  EXPECT_TRUE(Pane(Base() + "/play/sanguo-2.html", seconds(30)))
      << "a frame of the site could not play";
  EXPECT_TRUE(player_->Running());
}

TEST_F(SiteE2E, FrameFromAnotherSiteCannotCloseThePlayer) {
  auto page = StartOn("/hostile/away.html", 4);
  ASSERT_TRUE(page);
  ASSERT_TRUE(page->ClickElement("#play-framed"));
  auto w3 = Pane(Base() + "/hostile/framed-player.html", seconds(30));
  ASSERT_TRUE(w3);
  ASSERT_TRUE(FramesLoaded(*w3, 3));
  ASSERT_TRUE(WaitForScript(*w3, "document.visibilityState === 'visible'", seconds(30)));
  for (const char* frame : {"#f-close", "#f-top-close"}) {
    ASSERT_TRUE(PointerClick(player_->pid(), *w3, frame)) << frame;
    std::this_thread::sleep_for(seconds(3));
    EXPECT_EQ(w3->EvaluateString("document.visibilityState"), "visible") << frame;
    EXPECT_EQ(w3->EvaluateString("location.pathname"), "/hostile/framed-player.html") << frame;
  }
  // A frame of the site closes it.
  ASSERT_TRUE(PointerClick(player_->pid(), *w3, "#f-site-close"));
  EXPECT_TRUE(WaitForScript(*w3, "document.visibilityState === 'hidden'", seconds(10)))
      << "a frame of the site could not close the player";
}

}  // namespace
}  // namespace kam::testing
