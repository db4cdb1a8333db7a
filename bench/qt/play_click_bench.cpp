// Play-click benchmark: from the click on an episode link in the player's catalogue to the
// video's first "playing" event in the player pane, against the minimal one-view program
// (startup_minimal_view) sent to the same play page directly; the two run alternately against
// the demo site. Prints each run, the medians, their ratio and the player's extra time.
//
//   play_click_bench [runs] [loading]   (on a display; scripts/bench-play-click.sh sets one up)
//
// loading is the settings' buffering switch, 1 by default: the buffering page then covers the
// player pane while the clip starts behind it, as operators set it up; 0 leaves it out.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "build_config.h"
#include "common/code_page.h"
#include "tests/support/demo_server.h"
#include "tests/support/devtools_client.h"
#include "tests/support/program_dir_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using kam::testing::DevToolsSession;
using kam::testing::DevToolsTarget;
using std::chrono::seconds;

constexpr char kPlayPath[] = "/play/xiyouji-1.html";

double NowMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::unique_ptr<DevToolsSession> PageAt(int port, const std::string& url) {
  return DevToolsSession::Open(
      port, [&](const DevToolsTarget& t) { return t.url == url; }, seconds(60));
}

bool WaitFor(DevToolsSession& s, const std::string& condition, std::chrono::milliseconds limit) {
  return kam::testing::WaitUntil(
      [&] {
        const auto v = s.Evaluate(condition);
        return v && v->type == kam::testing::Json::Type::kBool && v->boolean;
      },
      limit);
}

// Milliseconds from started_at (epoch) to the play page's first "playing"; nothing on time-out.
std::optional<double> FirstPlaying(int port, const std::string& url, double started_at) {
  auto page = PageAt(port, url);
  if (!page) return std::nullopt;
  if (!WaitFor(*page, "typeof window.firstPlayingAt === 'number'", seconds(30))) {
    return std::nullopt;
  }
  const auto at = page->Evaluate("window.firstPlayingAt");
  const auto origin = page->Evaluate("performance.timeOrigin");
  if (!at) return std::nullopt;
  // Where the time goes: before the play page's navigation began, and after.
  if (origin) {
    std::printf("  navigation began after %.0f ms, playing %.0f ms later\n",
                origin->number - started_at, at->number - origin->number);
  }
  return at->number - started_at;
}

struct Programs {
  fs::path player;
  fs::path minimal;
  std::string user_data_env;
};

// The player: its catalogue loaded and settled, then a real click on the home page's play button.
std::optional<double> PlayerRun(const Programs& p, const std::string& base) {
  const int port = kam::testing::FreeLoopbackPort();
  kam::testing::ProgramRun player(p.player, {},
                                  {kam::testing::RemoteDebuggingEnv(port), p.user_data_env},
                                  fs::temp_directory_path() / ("kam-play-bench-player.log"));
  auto catalogue = PageAt(port, base + "/");
  if (!catalogue || !WaitFor(*catalogue, "document.readyState === 'complete'", seconds(30))) {
    return std::nullopt;
  }
  std::this_thread::sleep_for(seconds(2));
  const auto at = catalogue->CentreOf(".hero a.btn-play");
  if (!at) return std::nullopt;
  const double clicked = NowMs();
  catalogue->MouseClick(at->first, at->second);
  return FirstPlaying(port, base + kPlayPath, clicked);
}

// The minimal program: an empty page of the site, then sent to the play page by script.
std::optional<double> MinimalRun(const Programs& p, const std::string& base) {
  const int port = kam::testing::FreeLoopbackPort();
  kam::testing::ProgramRun minimal(p.minimal, {base + "/about.html"},
                                   {kam::testing::RemoteDebuggingEnv(port)},
                                   fs::temp_directory_path() / ("kam-play-bench-minimal.log"));
  auto page = PageAt(port, base + "/about.html");
  if (!page || !WaitFor(*page, "document.readyState === 'complete'", seconds(30))) {
    return std::nullopt;
  }
  std::this_thread::sleep_for(seconds(2));
  const double sent = NowMs();
  page->Evaluate(std::string("location.href = '") + kPlayPath + "'");
  return FirstPlaying(port, base + kPlayPath, sent);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string loading = argc > 2 && std::string(argv[2]) == "0" ? "0" : "1";
  kam::testing::TempDir site, user_data;
  kam::testing::DemoServer::CopyDefaultSite(site.path());
  const std::string base = "http://127.0.0.1:" + std::to_string(kam::build::kDemoPort);
  const std::string settings =
      kam::Utf8ToGbk("[kampeizhi]\r\nwangzhan=" + base +
                     "\r\nname=看吧影院\r\n[tui]\r\ntui=2\r\n[loading]\r\nloading=" + loading +
                     "\r\n"
                     "loadingtime=10\r\n[ver]\r\nver=1.0\r\n");
  std::ofstream(site.path() / "upload" / "my2.txt", std::ios::binary | std::ios::trunc) << settings;
  kam::testing::DemoServer server(-1, site.path());
  if (!server.ok()) {
    std::fprintf(stderr, "demo server: %s\n", server.error().c_str());
    return 1;
  }
  kam::testing::ProgramDirCopy prog;
  if (!prog.ok()) return 1;
  fs::remove(prog.path() / "update");  // nothing to hand over to
  const Programs programs{prog.path() / "kamplayer",
                          fs::path(kam::build::kBuildDir) / "bench" / "startup_minimal_view",
                          "XDG_DATA_HOME=" + user_data.path().string()};

  std::vector<double> player_ms, minimal_ms;
  for (int i = 0; i < runs; ++i) {
    const auto p = PlayerRun(programs, base);
    std::this_thread::sleep_for(seconds(1));  // the engine's helpers go
    const auto m = MinimalRun(programs, base);
    std::this_thread::sleep_for(seconds(1));
    std::printf("run %d: kamplayer %s | minimal %s\n", i + 1,
                p ? (std::to_string(static_cast<int>(*p)) + " ms").c_str() : "(no playing)",
                m ? (std::to_string(static_cast<int>(*m)) + " ms").c_str() : "(no playing)");
    std::fflush(stdout);
    if (p && m) {
      player_ms.push_back(*p);
      minimal_ms.push_back(*m);
    }
  }
  if (player_ms.empty()) {
    std::fprintf(stderr, "no complete run\n");
    return 1;
  }
  const double pm = Median(player_ms), mm = Median(minimal_ms);
  std::printf(
      "median click to first playing: kamplayer %.0f ms, minimal %.0f ms, ratio %.2f, "
      "extra %.0f ms (target under 100 ms)\n",
      pm, mm, pm / mm, pm - mm);
  return 0;
}
