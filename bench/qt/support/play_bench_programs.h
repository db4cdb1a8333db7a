// What the play benchmarks share: the demo site (a copy, its settings text naming the build's
// demo port) with its server, a copy of the program directory, a private session bus with a
// screen saver on it, and the two programs compared, the player and the minimal one-view program
// (startup_minimal_view), each started fresh with its engine's DevTools endpoint on a free port;
// and the steps back to the catalogue after a play, each program's own way.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "bench/qt/support/page_clock.h"
#include "bench/qt/support/real_pointer.h"
#include "tests/support/demo_server.h"
#include "tests/support/program_dir_fixture.h"
#include "tests/support/session_bus.h"
#include "tests/support/temp_dir.h"

namespace kam::bench {

// The episodes of the catalogue's cards that play the same file (/media/clip.mp4), each under
// another player scheme; clicks go round them.
inline constexpr const char* kCardEpisodes[] = {"xiyouji-1", "honglou-1",  "shuihu-1",
                                                "sanguo-1",  "liaozhai-1", "fengshen-1"};
inline constexpr int kCardEpisodeCount = sizeof kCardEpisodes / sizeof kCardEpisodes[0];
// The play button of episode's card in the catalogue.
std::string CardLink(const std::string& episode);

// A program under measurement, started by BenchSite; killed with its helpers when it goes.
struct Contender {
  std::unique_ptr<testing::ProgramRun> run;
  std::unique_ptr<testing::TempDir> user_data;
  int port = -1;  // DevTools
  pid_t pid() const { return run ? run->pid() : -1; }
};

class BenchSite {
 public:
  BenchSite();
  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }
  std::string Url(const std::string& path) const { return base_ + path; }
  std::string PlayUrl(const std::string& episode) const {
    return Url("/play/" + episode + ".html");
  }

  // Serves settings with the buffering page on (loading=1, 10 s) or off from the next start on.
  void UseLoading(bool on) const;
  // The player with a new, empty profile; or the minimal program showing url in a view of the
  // given size.
  Contender StartPlayer(const std::string& log_name) const;
  Contender StartMinimal(const std::string& url, int width, int height,
                         const std::string& log_name) const;

 private:
  std::vector<std::string> Env(int port) const;

  testing::TempDir site_;
  testing::TempDir logs_;
  testing::ProgramDirCopy prog_;
  testing::PrivateSessionBus bus_;
  std::unique_ptr<testing::FakeScreenSaver> saver_;
  std::unique_ptr<testing::DemoServer> server_;
  std::string base_;
  std::string error_;
  bool ok_ = false;
};

// The catalogue page of a program once it has loaded completely and settled; nothing on
// time-out.
std::unique_ptr<DevToolsSession> SettledCatalogue(const BenchSite& site, const Contender& c);

// After a play in the player: the play page's close link ("colse://", through DevTools: the
// buffering page may cover it), then a real press on the catalogue tab, until the catalogue has
// reloaded and settled. why says what failed.
bool PlayerBackToCatalogue(const Contender& player, DevToolsSession& catalogue,
                           DevToolsSession& play, std::string* why);
// After a play in the minimal program: history.back() until the catalogue shows and settled.
bool MinimalBackToCatalogue(DevToolsSession& view, const std::string& catalogue_url,
                            std::string* why);

}  // namespace kam::bench
