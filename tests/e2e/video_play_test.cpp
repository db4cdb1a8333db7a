// Video as a user meets it: an episode click in the catalogue plays the clip in the player pane
// by itself, whatever the stream (MP4, WebM, HLS through hls.js); the play page's full-screen
// button covers the screen and Esc puts the window back, from the normal and the maximised
// state.
#include "tests/e2e/video_fixture.h"

namespace kam::testing {
namespace {

constexpr char kFullScreen[] = "document.fullscreenElement !== null";
constexpr char kNotFullScreen[] = "document.fullscreenElement === null";

TEST_F(VideoE2E, EveryKindOfStreamPlaysByItselfAfterAnEpisodeClick) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  ProgramRun* player = player_.get();
  const std::string window = window_;
  DevToolsSession* listweb = listweb_.get();
  struct Kind {
    int episode;
    const char* kind;
  };
  for (const Kind& k : {Kind{1, "mp4"}, Kind{2, "webm"}, Kind{3, "hls"}}) {
    SCOPED_TRACE(k.kind);
    auto w3 = ClickEpisode(*listweb, k.episode);
    ASSERT_TRUE(w3) << "the player pane never opened episode " << k.episode;
    EXPECT_EQ(w3->EvaluateString("document.querySelector('video').dataset.kind"), k.kind);
    const auto clicked = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitForScript(*w3, kPlaying, seconds(30)))
        << w3->EvaluateString(
                 "JSON.stringify({p: document.querySelector('video').paused, "
                 "e: document.querySelector('video').error && "
                 "document.querySelector('video').error.code})")
               .value_or("?");
    const double moved = Advance(*w3);
    std::printf(
        "[ measure ] %s: playing %.1f s after the click, moved %.2f s in 1.5 s\n", k.kind,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - clicked).count() - 1.5,
        moved);
    EXPECT_GT(moved, 0.5);
    EXPECT_EQ(w3->EvaluateString("String(document.querySelector('video').paused)"), "false");
    EXPECT_TRUE(SaveScreenshot(std::string("playing-") + k.kind));
    // Back to the catalogue tab for the next kind.
    ClickWindow(window, 1, 250, 35);
    ASSERT_TRUE(WaitForScript(*listweb, "document.visibilityState === 'visible'", seconds(10)));
  }
  EXPECT_TRUE(player->Running());
}

// Media that cannot load: the page shows its own notice, the buffering overlay comes and goes
// as for any episode, and the player goes on (the catalogue still plays the next episode).
TEST_F(VideoE2E, MediaThatFailsShowsThePagesNoticeAndThePlayerGoesOn) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  ASSERT_TRUE(server_->Misbehave("/media/clip.mp4", "404"));
  ASSERT_TRUE(server_->Misbehave("/media/hls/index.m3u8", "reset"));
  auto qvod = Pane(Base() + "/huangchong.html");
  ASSERT_TRUE(qvod);
  for (const int episode : {1, 3}) {
    SCOPED_TRACE(episode);
    // The overlay first: it lasts only five ticks, which finding the player pane may outlast.
    ClickEpisodeLink(*listweb_, episode);
    EXPECT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'visible'", seconds(5)));
    auto w3 = EpisodePane(episode);
    ASSERT_TRUE(w3);
    EXPECT_TRUE(WaitForScript(*w3,
                              "document.querySelector('.player').classList.contains('is-failed')"
                              " && !document.querySelector('.notice').hidden",
                              seconds(30)))
        << "no notice on the page";
    EXPECT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'hidden'", seconds(30)))
        << "the overlay stayed";
    EXPECT_TRUE(player_->Running());
    ClickWindow(window_, 1, 250, 35);
    ASSERT_TRUE(WaitForScript(*listweb_, "document.visibilityState === 'visible'", seconds(10)));
  }
  EXPECT_TRUE(SaveScreenshot("media-failed"));
  // A sound stream still plays after them.
  auto w3 = ClickEpisode(*listweb_, 2);
  ASSERT_TRUE(w3);
  EXPECT_TRUE(WaitForScript(*w3, kPlaying, seconds(30)));
  EXPECT_TRUE(player_->Running());
}

// The buffering overlay covers the player pane whole: the engine draws nothing of the pane then,
// yet its page loads and its clip starts behind the overlay; once the overlay goes, the pane is
// drawn and the clip's frames reach the screen.
TEST_F(VideoE2E, ClipStartsBehindTheBufferingPageAndShowsWhenItGoes) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  auto qvod = Pane(Base() + "/huangchong.html");
  ASSERT_TRUE(qvod);
  // The player pane still shows its loading page: every document it opens from now on keeps a
  // log of what the engine told it and when its clip began to play.
  auto loading = DevToolsSession::Open(
      devtools_, [](const DevToolsTarget& t) { return t.url.find("Loading.html") != t.url.npos; },
      seconds(30));
  ASSERT_TRUE(loading);
  ASSERT_TRUE(loading->Call("Page.enable"));
  ASSERT_TRUE(loading->Call(
      "Page.addScriptToEvaluateOnNewDocument",
      "{\"source\":\"window.kamSeen=[document.visibilityState];"
      "document.addEventListener('visibilitychange',function(){"
      "window.kamSeen.push(document.visibilityState);});"
      "document.addEventListener('playing',function(){"
      "if(!window.kamPlayingSeen)window.kamPlayingSeen=document.visibilityState;},true);\"}"));
  ClickEpisodeLink(*listweb_, 1);
  ASSERT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'visible'", seconds(5)))
      << "no overlay";
  auto w3 = EpisodePane(1);
  ASSERT_TRUE(w3);
  EXPECT_EQ(w3->EvaluateString("window.kamSeen[0]"), "hidden") << "drawn under the overlay";
  // Started behind the overlay: the clip played while the document was still hidden.
  ASSERT_TRUE(WaitForScript(*w3, "typeof window.kamPlayingSeen === 'string'", seconds(30)));
  EXPECT_EQ(w3->EvaluateString("window.kamPlayingSeen"), "hidden")
      << "the clip began only after the overlay went";
  ASSERT_TRUE(WaitForScript(*qvod, "document.visibilityState === 'hidden'", seconds(30)))
      << "the overlay stayed";
  EXPECT_TRUE(WaitForScript(*w3, "document.visibilityState === 'visible'", seconds(5)));
  // Frames reach the screen again: the engine presents new ones and the clip moves on.
  EXPECT_EQ(w3->EvaluateString("new Promise(function(done){var v=document.querySelector('video');"
                               "if(!v.requestVideoFrameCallback){done('no callback');return;}"
                               "v.requestVideoFrameCallback(function(){done('presented');});"
                               "setTimeout(function(){done('no frame');},5000);})"),
            "presented");
  EXPECT_GT(Advance(*w3), 0.5);
  EXPECT_TRUE(player_->Running());
}

class FullScreenE2E : public VideoE2E, public ::testing::WithParamInterface<bool> {};

TEST_P(FullScreenE2E, PageFullScreenCoversTheScreenAndEscapePutsTheWindowBack) {
  const bool maximised = GetParam();
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  ProgramRun* player = player_.get();
  const std::string window = window_;
  DevToolsSession* listweb = listweb_.get();
  const Geometry design = WindowGeometry(window);
  if (maximised) {
    // The maximise button, 78 pixels from the right edge of the title bar.
    ClickWindow(window, 1, design.width - 80 + 17, 23);
    ASSERT_TRUE(
        WaitUntil([&] { return WindowGeometry(window).width > design.width; }, seconds(10)));
    std::this_thread::sleep_for(milliseconds(500));
  }
  const Geometry before = WindowGeometry(window);
  const Geometry screen = DisplayGeometry();
  ASSERT_GT(screen.width, 0);

  auto w3 = ClickEpisode(*listweb, 1);
  ASSERT_TRUE(w3);
  ASSERT_TRUE(WaitForScript(*w3, kStarted, seconds(30)));
  // The page takes presses once the buffering overlay has gone from over it.
  ASSERT_TRUE(WaitForScript(*w3, "document.visibilityState === 'visible'", seconds(30)));

  // The page's own button in, the page's own button out.
  ASSERT_TRUE(w3->ClickElement(".ctl-full"));
  ASSERT_TRUE(WaitForScript(*w3, kFullScreen, seconds(10))) << "full screen refused";
  EXPECT_TRUE(WaitUntil([&] { return WindowGeometry(window) == screen; }, seconds(10)))
      << WindowGeometry(window);
  std::this_thread::sleep_for(milliseconds(800));
  EXPECT_TRUE(SaveScreenshot(maximised ? "full-screen-from-maximised" : "full-screen"));
  ASSERT_TRUE(w3->ClickElement(".ctl-full"));
  EXPECT_TRUE(WaitForScript(*w3, kNotFullScreen, seconds(10)));
  EXPECT_TRUE(WaitUntil([&] { return WindowGeometry(window) == before; }, seconds(10)))
      << WindowGeometry(window) << " instead of " << before;

  // In again, out with Esc on the keyboard.
  ASSERT_TRUE(w3->ClickElement(".ctl-full"));
  ASSERT_TRUE(WaitForScript(*w3, kFullScreen, seconds(10)));
  ASSERT_TRUE(WaitUntil([&] { return WindowGeometry(window) == screen; }, seconds(10)));
  Xdo("windowfocus --sync " + window);
  Xdo("key Escape");
  EXPECT_TRUE(WaitForScript(*w3, kNotFullScreen, seconds(10))) << "Esc did not leave";
  EXPECT_TRUE(WaitUntil([&] { return WindowGeometry(window) == before; }, seconds(10)))
      << WindowGeometry(window) << " instead of " << before;

  // A page that asks over and over, and leaves at once, leaves the window where it was.
  for (int i = 0; i < 5; ++i) {
    w3->Call("Runtime.evaluate",
             "{\"expression\":\"document.querySelector('.player').requestFullscreen()"
             ".then(function(){return document.exitFullscreen();}).catch(function(){})\","
             "\"userGesture\":true,\"awaitPromise\":true}");
  }
  std::this_thread::sleep_for(milliseconds(1000));
  EXPECT_TRUE(WaitForScript(*w3, kNotFullScreen, seconds(10)));
  EXPECT_EQ(WindowGeometry(window), before);
  // The clip went on (or reached its end) through all of it.
  EXPECT_EQ(w3->EvaluateString("(function(){var v=document.querySelector('video');"
                               "return String(!v.error && (v.ended || !v.paused));})()"),
            "true");
  EXPECT_TRUE(player->Running());
}

INSTANTIATE_TEST_SUITE_P(FromBothStates, FullScreenE2E, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("Maximised") : std::string("Normal");
                         });

}  // namespace
}  // namespace kam::testing
