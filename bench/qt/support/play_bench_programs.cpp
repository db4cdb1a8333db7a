#include "bench/qt/support/play_bench_programs.h"

#include <filesystem>
#include <fstream>
#include <thread>

#include "build_config.h"
#include "common/code_page.h"
#include "player/window/layout.h"

namespace kam::bench {

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

// How long a catalogue rests after loading before a click: its first animation frames, and in
// the player the start's first tick (which opens the buffering page), are over by then.
constexpr auto kSettle = milliseconds(2000);

std::string Settings(const std::string& base, bool loading) {
  return Utf8ToGbk("[kampeizhi]\r\nwangzhan=" + base +
                   "\r\nname=看吧影院\r\n[tui]\r\ntui=2\r\n[loading]\r\nloading=" +
                   (loading ? "1" : "0") + "\r\nloadingtime=10\r\n[ver]\r\nver=1.0\r\n");
}

}  // namespace

std::string CardLink(const std::string& episode) {
  return "article.card a.btn-play[href$='/play/" + episode + ".html']";
}

BenchSite::BenchSite() {
  if (!testing::DemoServer::CopyDefaultSite(site_.path()) || !prog_.ok()) {
    error_ = "cannot copy the site or the program directory";
    return;
  }
  fs::remove(prog_.path() / "update");  // nothing to hand over to
  base_ = "http://127.0.0.1:" + std::to_string(build::kDemoPort);
  UseLoading(true);
  if (bus_.ok()) saver_ = std::make_unique<testing::FakeScreenSaver>(bus_);
  server_ = std::make_unique<testing::DemoServer>(-1, site_.path());
  if (!server_->ok()) {
    error_ = "demo server: " + server_->error();
    return;
  }
  ok_ = true;
}

void BenchSite::UseLoading(bool on) const {
  std::ofstream(site_.path() / "upload" / "my2.txt", std::ios::binary | std::ios::trunc)
      << Settings(base_, on);
}

std::vector<std::string> BenchSite::Env(int port) const {
  std::vector<std::string> env = {testing::RemoteDebuggingEnv(port)};
  if (bus_.ok()) env.push_back(bus_.Env());
  return env;
}

Contender BenchSite::StartPlayer(const std::string& log_name) const {
  Contender c;
  c.port = testing::FreeLoopbackPort();
  c.user_data = std::make_unique<testing::TempDir>();
  auto env = Env(c.port);
  env.push_back("XDG_DATA_HOME=" + c.user_data->path().string());
  c.run = std::make_unique<testing::ProgramRun>(
      prog_.path() / "kamplayer", std::vector<std::string>{}, env, logs_.path() / log_name);
  return c;
}

Contender BenchSite::StartMinimal(const std::string& url, int width, int height,
                                  const std::string& log_name) const {
  Contender c;
  c.port = testing::FreeLoopbackPort();
  c.run = std::make_unique<testing::ProgramRun>(
      fs::path(build::kBuildDir) / "bench" / "startup_minimal_view",
      std::vector<std::string>{url, std::to_string(width), std::to_string(height)}, Env(c.port),
      logs_.path() / log_name);
  return c;
}

std::unique_ptr<DevToolsSession> SettledCatalogue(const BenchSite& site, const Contender& c) {
  auto page = OpenPage(c.port, site.Url("/"), seconds(60));
  if (!page || !WaitForScript(*page, "document.readyState === 'complete'", seconds(30))) {
    return nullptr;
  }
  std::this_thread::sleep_for(kSettle);
  return page;
}

bool PlayerBackToCatalogue(const Contender& player, DevToolsSession& catalogue,
                           DevToolsSession& play, std::string* why) {
  // The close link reloads the catalogue: a mark on its document tells the new one apart.
  catalogue.Evaluate("window.kamBenchOld = true; 1");
  // The buffering overlay covers the play page; it takes presses once the overlay has gone.
  if (!WaitForScript(play, "document.visibilityState === 'visible'", seconds(30))) {
    *why = "the play page stayed covered";
    return false;
  }
  if (!play.ClickElement("a.close")) {
    *why = "the play page's close link could not be clicked";
    return false;
  }
  const auto window = MainWindowOf(player.pid());
  if (!window) {
    *why = "the player's window is gone";
    return false;
  }
  using window::kDesignClient;
  const window::Rect bar = window::LayoutForm(kDesignClient).bj;
  const window::Rect tab = window::LayoutTitleBar({bar.width, bar.height}).L1_0;
  PressAt({window->at.x + static_cast<int>(bar.left + tab.left + tab.width / 2),
           window->at.y + static_cast<int>(bar.top + tab.top + tab.height / 2)});
  if (!WaitForScript(catalogue, "!window.kamBenchOld && document.readyState === 'complete'",
                     seconds(30))) {
    *why = "the catalogue did not load again after the close link";
    return false;
  }
  std::this_thread::sleep_for(kSettle);
  return true;
}

bool MinimalBackToCatalogue(DevToolsSession& view, const std::string& catalogue_url,
                            std::string* why) {
  view.Evaluate("history.back(); 1");
  if (!WaitForScript(view,
                     "location.href === " + testing::JsonQuote(catalogue_url) +
                         " && document.readyState === 'complete'",
                     seconds(30))) {
    *why = "history.back() did not bring the catalogue back";
    return false;
  }
  std::this_thread::sleep_for(kSettle);
  return true;
}

}  // namespace kam::bench
