// Pop-up windows of the catalogue and of the buffering page open in the user's browser (a
// stand-in here), and only web addresses do; a failed catalogue load is replaced once.
#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

TEST_F(BrowseE2E, PopUpOfTheCatalogueOpensTheHoveredAddressInTheBrowser) {
  UseSettings("2", "0");
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  ASSERT_TRUE(
      PointerClick(player->pid(), *listweb, "a[href='/about.html#client']"));  // target=_blank
  ASSERT_TRUE(WaitUntil([&] { return !Opened().empty(); }, seconds(10)));
  EXPECT_EQ(Opened(), std::vector<std::string>({Base() + "/about.html#client"}));
  EXPECT_EQ(listweb->EvaluateString("location.pathname"), "/");

  // A script's pop-up without a click opens nothing, whatever link the pointer rests on.
  ASSERT_TRUE(PointerMove(player->pid(), *listweb, "a.card-cover[href='/title/honglou.html']"));
  std::this_thread::sleep_for(milliseconds(500));
  listweb->Evaluate("window.open('/ad.html'); 1");
  std::this_thread::sleep_for(seconds(2));
  EXPECT_EQ(Opened().size(), 1u);
  EXPECT_TRUE(player->Running());
}

TEST_F(BrowseE2E, PopUpOfTheBufferingPageEndsTheOverlay) {
  UseSettings("2", "60");  // the countdown alone would take at least 5.8 s
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  auto listweb = Catalogue();
  ASSERT_TRUE(listweb);
  auto qvod = Pane(Base() + "/huangchong.html");
  ASSERT_TRUE(qvod);
  ASSERT_TRUE(listweb->ClickElement(".hero a.btn-play"));
  ASSERT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'visible'", seconds(5)));
  // The overlay's page was reloaded at the start of playback.
  ASSERT_TRUE(WaitForScript(*qvod, "document.readyState === 'complete'", seconds(10)));
  ASSERT_TRUE(PointerClick(player->pid(), *qvod, "a.ad"));
  const auto clicked = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'hidden'", seconds(10)));
  EXPECT_LT(std::chrono::steady_clock::now() - clicked, milliseconds(4000));
  ASSERT_TRUE(WaitUntil([&] { return !Opened().empty(); }, seconds(10)));
  EXPECT_EQ(Opened().back(), Base() + "/ad.html");
}

TEST_F(BrowseE2E, FailedCatalogueIsReplacedByTheOwnPageOnce) {
  const std::string dead = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort());
  UseSettings("2", "0", dead);
  ASSERT_TRUE(StartServerPatiently());
  auto player = Start();
  const std::string own = "file://" + (prog_.path() / "skin" / "page.html").string();
  auto page = Pane(own, seconds(60));
  ASSERT_TRUE(page) << "the failed catalogue was not replaced";
  std::this_thread::sleep_for(seconds(1));
  EXPECT_TRUE(SaveScreenshot("own-error-page"));
  // A second failure stays: the watch has stopped. The failed load leaves the document in
  // place, so a mark on it survives unless the own page is loaded again.
  ASSERT_TRUE(WaitForScript(*page, "document.readyState === 'complete'", seconds(10)));
  page->Evaluate("window.kamMarker = 1");
  page->Evaluate("location.href = " + JsonQuote(dead + "/again.html") + "; 1");
  std::this_thread::sleep_for(seconds(7));  // the failure, then three ticks of the watch
  auto after = Pane(own, seconds(5));
  ASSERT_TRUE(after);
  EXPECT_TRUE(WaitForScript(*after, "window.kamMarker === 1", seconds(2)))
      << "the own page was loaded a second time";
  EXPECT_TRUE(player->Running());
}

}  // namespace
}  // namespace kam::testing
