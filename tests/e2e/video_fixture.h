// Whole-program tests of video: the player on the demo site, an episode of its catalogue clicked,
// and the clip it plays in the player pane.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "tests/e2e/browse_fixture.h"
#include "tests/support/x_window.h"

namespace kam::testing {

// The clip plays: not paused, and its position moves on between two looks.
constexpr char kPlaying[] =
    "(function(){var v=document.querySelector('video');"
    "return !!v && !v.paused && v.readyState >= 2 && v.currentTime > 0.2;})()";
// The clip has played a little, even when it already reached its 8 s end while a loaded machine
// was finding its pane.
constexpr char kStarted[] =
    "(function(){var v=document.querySelector('video');"
    "return !!v && !v.error && v.played.length > 0 && v.played.end(v.played.length - 1) > 0.2;"
    "})()";

class VideoE2E : public BrowseE2E {
 protected:
  // The player on the demo site (buffering 5 ticks), its main window and its catalogue pane.
  void StartPlayer() {
    UseSettings("2", "0");
    ASSERT_TRUE(StartServerPatiently());
    player_ = Start();
    window_ = MainWindow(player_->pid());
    ASSERT_FALSE(window_.empty());
    listweb_ = Catalogue();
    ASSERT_TRUE(listweb_) << "the catalogue never loaded";
  }

  // The title page of 西游记 (unless it shows already), then a click on episode n of its first
  // play source.
  std::unique_ptr<DevToolsSession> ClickEpisode(DevToolsSession& listweb, int n) {
    ClickEpisodeLink(listweb, n);
    return EpisodePane(n);
  }

  std::unique_ptr<ProgramRun> player_;
  std::string window_;
  std::unique_ptr<DevToolsSession> listweb_;

  // How far the clip moved on in about a second and a half; negative when it cannot be read.
  static double Advance(DevToolsSession& w3) {
    const auto before = w3.Evaluate("document.querySelector('video').currentTime");
    std::this_thread::sleep_for(milliseconds(1500));
    const auto after = w3.Evaluate("document.querySelector('video').currentTime");
    if (!before || !after) return -1;
    return after->number - before->number;
  }
};

}  // namespace kam::testing
