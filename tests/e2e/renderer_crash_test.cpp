// A page whose renderer process ends (a crash, the out-of-memory killer) comes back by itself:
// the player pane's renderer ended through the engine's DevTools protocol while a clip plays is
// back and playing within seconds; a renderer that ends three times within a minute leaves the
// error page, and the player goes on.
#include "tests/e2e/browse_fixture.h"

namespace kam::testing {
namespace {

constexpr char kPlaying[] =
    "(function(){var v=document.querySelector('video');"
    "return !!v && !v.paused && v.readyState >= 2 && v.currentTime > 0.2;})()";
constexpr char kErrorTitle[] = "无法显示网页";

class RendererCrashE2E : public BrowseE2E {
 protected:
  // The player on the demo site with episode 1 of 西游记 playing in W3; its address.
  std::string StartPlaying() {
    UseSettings("2", "0");
    if (!StartServerPatiently()) return {};
    player_ = Start();
    auto listweb = Catalogue();
    if (!listweb) {
      ADD_FAILURE() << "the catalogue never loaded";
      return {};
    }
    // On a loaded machine a click may find the page not ready yet: it is made again (bounded;
    // opening the same title or episode twice changes nothing).
    const bool title_shown = WaitUntil(
        [&] {
          listweb->ClickElement("a.card-cover[href='/title/xiyouji.html']");
          return WaitForScript(*listweb,
                               "location.pathname === '/title/xiyouji.html' && "
                               "document.readyState === 'complete'",
                               seconds(15));
        },
        seconds(60));
    EXPECT_TRUE(title_shown) << "the title page never opened";
    const std::string address = Base() + "/play/xiyouji-1.html";
    std::unique_ptr<DevToolsSession> w3;
    WaitUntil(
        [&] {
          listweb->ClickElement("#source-1 li:nth-child(1) a");
          w3 = Pane(address, seconds(15));
          return w3 != nullptr;
        },
        seconds(60));
    if (!w3 || !WaitForScript(*w3, kPlaying, seconds(60))) {
      ADD_FAILURE() << "the episode never played";
      return {};
    }
    return address;
  }

  // Ends the renderer of the pane showing address, through a session of its own that goes with
  // it: the engine would send a command the dying page never answered on to the pane's next
  // renderer, and end that one too.
  bool CrashPane(const std::string& address) {
    auto pane = Pane(address, seconds(30));
    if (!pane) return false;
    // On a loaded machine one evaluation may not answer in time: the mark is set again (bounded).
    if (!WaitUntil([&] { return pane->Evaluate("window.kamBeforeCrash = true").has_value(); },
                   seconds(30))) {
      ADD_FAILURE() << "the page does not answer before the crash";
      return false;
    }
    // Sent, not waited for: the session must be gone before the pane's next renderer exists
    // (the pane reloads half a second after the crash).
    pane->Call("Page.crash", "{}", milliseconds(1));
    return true;
  }

  // A session with the pane showing address once it holds a new document (the one marked before
  // the crash is gone); nothing when it does not come back.
  std::unique_ptr<DevToolsSession> NewDocument(const std::string& address) {
    std::unique_ptr<DevToolsSession> pane;
    WaitUntil(
        [&] {
          pane = Pane(address, seconds(2));
          if (!pane) return false;
          const auto v = pane->Evaluate("window.kamBeforeCrash === undefined");
          return v && v->type == Json::Type::kBool && v->boolean;
        },
        seconds(60));
    return pane;
  }

  static bool BackAt(DevToolsSession& w3, const std::string& address) {
    return WaitForScript(
        w3, "location.href === " + JsonQuote(address) + " && document.readyState === 'complete'",
        seconds(30));
  }

  std::unique_ptr<ProgramRun> player_;
};

TEST_F(RendererCrashE2E, PlayerPaneComesBackPlaying) {
  const std::string address = StartPlaying();
  ASSERT_FALSE(address.empty());
  const auto crashed = std::chrono::steady_clock::now();
  ASSERT_TRUE(CrashPane(address));
  auto w3 = NewDocument(address);
  ASSERT_TRUE(w3) << "the page did not come back";
  ASSERT_TRUE(BackAt(*w3, address)) << "the page did not come back";
  const double back_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - crashed).count();
  EXPECT_TRUE(WaitForScript(*w3, kPlaying, seconds(30))) << "back, but not playing";
  const double playing_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - crashed).count();
  std::printf("[ measure ] page back %.1f s after the crash, playing after %.1f s\n", back_s,
              playing_s);
  EXPECT_TRUE(SaveScreenshot("back-playing"));
  EXPECT_TRUE(player_->Running());
}

TEST_F(RendererCrashE2E, ThirdCrashWithinAMinuteShowsTheErrorPage) {
  const std::string address = StartPlaying();
  ASSERT_FALSE(address.empty());
  for (int i = 1; i <= 2; ++i) {
    SCOPED_TRACE("crash " + std::to_string(i));
    ASSERT_TRUE(CrashPane(address));
    auto w3 = NewDocument(address);
    ASSERT_TRUE(w3 && BackAt(*w3, address)) << "the page did not come back";
  }
  ASSERT_TRUE(CrashPane(address)) << "the third crash";
  EXPECT_TRUE(WaitForPage(
      devtools_, [](const PageTarget& p) { return p.title == kErrorTitle; }, seconds(60)))
      << "no error page after the third crash";
  // No more reloads: the play page stays away.
  std::this_thread::sleep_for(seconds(3));
  for (const PageTarget& p : DevToolsPages(devtools_)) EXPECT_NE(p.url, address);
  EXPECT_TRUE(SaveScreenshot("error-page"));
  EXPECT_TRUE(player_->Running());
  // The catalogue still answers.
  auto listweb = Pane(Base() + "/title/xiyouji.html", seconds(10));
  ASSERT_TRUE(listweb);
  EXPECT_EQ(listweb->EvaluateString("'alive'"), "alive");
}

}  // namespace
}  // namespace kam::testing
