// Playback as a user meets it: an episode click in the catalogue plays in the player tab behind
// the buffering countdown, the episode list lands in the side panel and its files, "colse://"
// returns to the idle picture.
#include <sys/wait.h>

#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

// The store after a click on a xiyouji episode; the "qqplay://" source's list also holds the title
// page's play button, which is a link of that scheme too.
std::string ExpectedStore(const std::string& base, bool with_play_button = false) {
  std::string text;
  if (with_play_button) {
    text += "<Item>立即播放||" + base + "/play/xiyouji-1.html||西游记 - 看吧影院</Item>\r\n";
  }
  for (int i = 1; i <= 8; ++i) {
    char ep[8];
    std::snprintf(ep, sizeof ep, "%02d", i);
    text += "<Item>第" + std::string(ep) + "集||" + base + "/play/xiyouji-" + std::to_string(i) +
            ".html||西游记 - 看吧影院</Item>\r\n";
  }
  return Utf8ToGbk(text + "\r\n");
}

TEST_F(BrowseE2E, EpisodeClickPlaysTheSiteAddressAndKeepsTheEpisodeList) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = XiyoujiTitlePage();
  ASSERT_TRUE(listweb);
  // The third episode of the source written "YoukuPlay://": the list is that source's links.
  ASSERT_TRUE(listweb->ClickElement("#source-2 li:nth-child(3) a"));
  auto w3 = Pane(Base() + "/play/xiyouji-3.html", seconds(30));
  ASSERT_TRUE(w3) << "the player pane never opened the rewritten address";
  // The click was cancelled: the catalogue still shows the title page.
  EXPECT_EQ(listweb->EvaluateString("location.pathname"), "/title/xiyouji.html");

  // Buffering time 0: five ticks of 1160 ms, then the episode shows.
  std::this_thread::sleep_for(seconds(8));
  EXPECT_TRUE(SaveScreenshot("episode-playing"));
  EXPECT_TRUE(player->Running());
  // The side panel shows the list page with every episode.
  auto list = DevToolsSession::Open(
      devtools_,
      [](const DevToolsTarget& t) { return t.url.find("/html/List.html") != std::string::npos; },
      seconds(20));
  ASSERT_TRUE(list) << "no list page in the side panel";
  EXPECT_TRUE(WaitForScript(*list,
                            "document.body.innerText.indexOf('第01集') >= 0 && "
                            "document.body.innerText.indexOf('第08集') >= 0",
                            seconds(20)));
  const std::string expected = ExpectedStore(Base());
  EXPECT_TRUE(WaitUntil([&] { return prog_.Read("\\data\\Data.dat") == expected; }, seconds(20)))
      << prog_.Read("\\data\\Data.dat").value_or("<none>");
  const auto page = prog_.Read("\\html\\List.html");
  ASSERT_TRUE(page);
  EXPECT_NE(page->find(Utf8ToGbk("第08集")), std::string::npos);
  EXPECT_NE(page->find(Utf8ToGbk("西游记 - 看吧影院")), std::string::npos);

  // An entry of the side panel plays in the player pane.
  ASSERT_TRUE(list->ClickElement("a[id='4']"));
  EXPECT_TRUE(Pane(Base() + "/play/xiyouji-5.html", seconds(30))) << "the list entry did not play";
  // The list stays as it was.
  EXPECT_EQ(prog_.Read("\\data\\Data.dat"), expected);
}

TEST_F(BrowseE2E, TwoEpisodeClicksInQuickSuccessionPlayTheSecondAndLeaveTheListWhole) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = XiyoujiTitlePage();
  ASSERT_TRUE(listweb);
  // The second click comes while the first one's list is still being collected and written.
  ASSERT_TRUE(listweb->ClickElement("#source-2 li:nth-child(3) a"));
  std::this_thread::sleep_for(milliseconds(50));
  ASSERT_TRUE(listweb->ClickElement("#source-1 li:nth-child(6) a"));
  auto w3 = Pane(Base() + "/play/xiyouji-6.html", seconds(30));
  ASSERT_TRUE(w3) << "the player pane does not show the second click's episode";

  // The second click's list ("qqplay://"), not the first's ("YoukuPlay://").
  const std::string expected = ExpectedStore(Base(), true);
  EXPECT_TRUE(WaitUntil([&] { return prog_.Read("\\data\\Data.dat") == expected; }, seconds(20)))
      << prog_.Read("\\data\\Data.dat").value_or("<none>");
  const auto page = prog_.Read("\\html\\List.html");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->rfind("</html>\r\n\r\n"), page->size() - 11) << "the page is not whole";
  EXPECT_NE(page->find(Utf8ToGbk("立即播放")), std::string::npos);
  // Nothing half written stays beside the files.
  for (const char* folder : {"data", "html"}) {
    for (const auto& e : std::filesystem::directory_iterator(prog_.path() / folder)) {
      EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
    }
  }
  EXPECT_TRUE(player->Running());
}

TEST_F(BrowseE2E, CountdownHidesTheOverlayAfterItsTicks) {
  UseSettings("2", "0");  // buffering time 0: always 5 ticks
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  auto qvod = Pane(Base() + "/huangchong.html");
  ASSERT_TRUE(qvod);
  EXPECT_EQ(qvod->EvaluateString("document.visibilityState"), "hidden");
  const auto clicked = std::chrono::steady_clock::now();
  ASSERT_TRUE(listweb->ClickElement(".hero a.btn-play"));
  EXPECT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'visible'", seconds(5)));
  std::this_thread::sleep_for(milliseconds(1500));
  EXPECT_TRUE(SaveScreenshot("countdown"));
  ASSERT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'hidden'", seconds(30)));
  const auto took = std::chrono::steady_clock::now() - clicked;
  // Five ticks of 1160 ms; the overlay cannot go before the fourth.
  EXPECT_GE(took, milliseconds(4 * 1160)) << "overlay hidden too early";
}

TEST_F(BrowseE2E, CloseLinkInThePlayerReturnsToIdleAndReloadsTheCatalogue) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  ASSERT_TRUE(listweb->ClickElement(".hero a.btn-play"));
  auto w3 = Pane(Base() + "/play/xiyouji-1.html", seconds(30));
  ASSERT_TRUE(w3);
  ASSERT_TRUE(WaitForScript(*w3, "document.readyState === 'complete'", seconds(30)));
  ASSERT_TRUE(WaitForScript(*w3, "document.visibilityState === 'visible'", seconds(30)));
  listweb->Evaluate("window.kamMarker = 1");
  ASSERT_TRUE(w3->ClickElement("a.close"));
  EXPECT_TRUE(WaitForScript(*w3, "document.visibilityState === 'hidden'", seconds(10)));
  EXPECT_TRUE(WaitForScript(*listweb, "window.kamMarker === undefined", seconds(20)))
      << "the catalogue was not reloaded";
  EXPECT_EQ(w3->EvaluateString("location.pathname"), "/play/xiyouji-1.html");
  // The closed episode is no longer heard: its video pauses and stays where it stopped.
  EXPECT_TRUE(WaitForScript(*w3, "document.querySelector('video').paused", seconds(10)));
  const std::string stopped_at = w3->EvaluateString(
                                       "String(document.querySelector('video')"
                                       ".currentTime)")
                                     .value_or("?");
  std::this_thread::sleep_for(milliseconds(1000));
  EXPECT_EQ(w3->EvaluateString("String(document.querySelector('video').currentTime)"), stopped_at);
  EXPECT_TRUE(SaveScreenshot("idle-after-close"));
}

}  // namespace
}  // namespace kam::testing
