// Play-click benchmark, like for like: the player and the minimal one-view program
// (startup_minimal_view) show the same catalogue page of the demo site ("/") in the same window
// size (the player's design client size), and each is clicked by the same real pointer press (X
// input, not DevTools) on an episode's play button in that page. The minimal's link is first
// pointed at the site's play address, so that its own navigation goes to the play page the
// player's interception opens in its player pane; the player keeps the site's player-scheme link.
//
// Times are taken inside the pages, all from Date.now(), so no harness round trip counts for
// either program: the catalogue's mousedown, the play page's navigation start
// (performance.timeOrigin) and its first "playing" (page_clock.h). Each start of a program gives
// a first click and three later ones: back to the catalogue (the player: the play page's close
// link and the catalogue tab; the minimal: history.back()), settled, then another episode; all
// of them play the same file. The programs alternate run by run, each with an empty profile.
//
//   play_click_bench [runs] [loading...]   (on a display; scripts/bench-play-click.sh sets one up)
//
// runs: starts of each program per setting, 5 by default. loading: the settings' buffering
// switch; 1 (the operators' usual setting) puts the buffering page over the player pane while
// the clip starts behind it, 0 leaves it out. By default 1, then 0.
//
// It prints each click and, per setting, the medians of click to navigation start, navigation
// start to "playing" and click to "playing" for first and later clicks, and the ratios
// kamplayer/minimal and first/later. A failed click prints why and counts in no median.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/qt/support/page_clock.h"
#include "bench/qt/support/play_bench_programs.h"
#include "bench/qt/support/process_tree.h"
#include "bench/qt/support/real_pointer.h"
#include "player/window/layout.h"

namespace {

using kam::bench::BenchSite;
using kam::bench::Contender;
using kam::bench::PlayTimes;
using std::chrono::seconds;

constexpr int kClicksPerStart = 4;
constexpr int kWidth = static_cast<int>(kam::window::kDesignClient.width);
constexpr int kHeight = static_cast<int>(kam::window::kDesignClient.height);

enum Program { kPlayer = 0, kMinimal = 1 };
constexpr const char* kNames[] = {"kamplayer", "minimal"};
enum Click { kFirst = 0, kLater = 1 };

struct Figures {
  std::vector<double> navigation, playing, total;
  void Add(const PlayTimes& t) {
    navigation.push_back(t.press_to_navigation);
    playing.push_back(t.navigation_to_playing);
    total.push_back(t.press_to_playing);
  }
};
using Tally = Figures[2][2];  // [program][click]

// One start of a program: its clicks, each printed and counted.
void RunStart(const BenchSite& site, Program program, int run, Tally& tally) {
  const bool player = program == kPlayer;
  const std::string name = kNames[program];
  Contender c = player ? site.StartPlayer("kamplayer.log")
                       : site.StartMinimal(site.Url("/"), kWidth, kHeight, "minimal.log");
  auto fail = [&](int click, const std::string& why) {
    std::printf("  run %d %-9s click %d: failed: %s\n", run, name.c_str(), click, why.c_str());
    std::fflush(stdout);
  };
  auto catalogue = kam::bench::SettledCatalogue(site, c);
  if (!catalogue) return fail(1, "the catalogue did not load");
  kam::bench::PlayingClock playing_clock;
  if (!playing_clock.Attach(c.port)) return fail(1, "the pages did not take the playing clock");
  const auto origin = kam::bench::FindViewOrigin(c.pid(), *catalogue);
  if (!origin) return fail(1, "the pointer never reached the catalogue");
  if (run == 1) {
    const auto window = kam::bench::MainWindowOf(c.pid());
    const auto view = catalogue->Evaluate("[innerWidth, innerHeight]");
    if (window && view && view->array.size() == 2) {
      std::printf("  %s: window %d x %d, catalogue view %.0f x %.0f\n", name.c_str(), window->width,
                  window->height, view->array[0].number, view->array[1].number);
    }
  }
  for (int k = 0; k < kClicksPerStart; ++k) {
    const std::string episode = kam::bench::kCardEpisodes[k % kam::bench::kCardEpisodeCount];
    const std::string link = kam::bench::CardLink(episode);
    if (!player) {
      catalogue->Evaluate("document.querySelector(" + kam::testing::JsonQuote(link) +
                          ").setAttribute('href', '/play/" + episode + ".html'); 1");
    }
    const auto armed_at = kam::bench::ArmPressClock(*catalogue);
    if (!armed_at || !kam::bench::PressElement(*catalogue, *origin, link)) {
      return fail(k + 1, "the pointer did not reach the link of " + episode);
    }
    auto play = kam::bench::OpenPage(c.port, site.PlayUrl(episode), seconds(30));
    std::string why = "the play page did not open";
    // The player's catalogue keeps the pressed document; the minimal's went with the click.
    const auto times = play ? kam::bench::ReadPlayTimes(*play, player ? catalogue.get() : nullptr,
                                                        *armed_at, seconds(30), &why)
                            : std::nullopt;
    if (!times) return fail(k + 1, why);
    std::printf(
        "  run %d %-9s click %d (%s): click→navigation %5.0f  navigation→playing %5.0f"
        "  click→playing %5.0f ms\n      (from navigation start: %s)\n",
        run, name.c_str(), k + 1, k == 0 ? "first" : "later", times->press_to_navigation,
        times->navigation_to_playing, times->press_to_playing, times->stages.c_str());
    std::fflush(stdout);
    tally[program][k == 0 ? kFirst : kLater].Add(*times);
    playing_clock.Drain();
    if (k + 1 == kClicksPerStart) break;
    const bool back = player ? kam::bench::PlayerBackToCatalogue(c, *catalogue, *play, &why)
                             : kam::bench::MinimalBackToCatalogue(*catalogue, site.Url("/"), &why);
    if (!back) return fail(k + 2, why);
  }
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0; }

void PrintSummary(const std::string& loading, int runs, const Tally& tally) {
  using kam::bench::Median;
  std::printf(
      "loading=%s (%s), medians over %d runs, ms: click→navigation | navigation→playing"
      " | click→playing\n",
      loading.c_str(), loading == "1" ? "buffering page on" : "buffering page off", runs);
  for (int p : {kPlayer, kMinimal}) {
    for (int k : {kFirst, kLater}) {
      const Figures& f = tally[p][k];
      std::printf("  %-9s %s (%2zu): %6.0f | %6.0f | %6.0f\n", kNames[p],
                  k == kFirst ? "first click " : "later clicks", f.total.size(),
                  Median(f.navigation), Median(f.playing), Median(f.total));
    }
  }
  auto total = [&](int p, int k) { return Median(tally[p][k].total); };
  auto navigation = [&](int p, int k) { return Median(tally[p][k].navigation); };
  std::printf(
      "  ratio kamplayer/minimal, click→playing: first %.2f, later %.2f;"
      " click→navigation: first %.2f, later %.2f\n",
      Ratio(total(kPlayer, kFirst), total(kMinimal, kFirst)),
      Ratio(total(kPlayer, kLater), total(kMinimal, kLater)),
      Ratio(navigation(kPlayer, kFirst), navigation(kMinimal, kFirst)),
      Ratio(navigation(kPlayer, kLater), navigation(kMinimal, kLater)));
  std::printf("  ratio first/later, click→playing: kamplayer %.2f, minimal %.2f\n",
              Ratio(total(kPlayer, kFirst), total(kPlayer, kLater)),
              Ratio(total(kMinimal, kFirst), total(kMinimal, kLater)));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<std::string> loadings;
  for (int i = 2; i < argc; ++i) loadings.push_back(std::string(argv[i]) == "0" ? "0" : "1");
  if (loadings.empty()) loadings = {"1", "0"};
  BenchSite site;
  if (!site.ok()) {
    std::fprintf(stderr, "%s\n", site.error().c_str());
    return 1;
  }
  std::vector<std::pair<std::string, int>> complete;
  for (const std::string& loading : loadings) {
    site.UseLoading(loading == "1");
    std::printf("loading=%s, load average %s\n", loading.c_str(),
                kam::bench::MachineLoad().c_str());
    Tally tally;
    for (int run = 1; run <= runs; ++run) {
      // Alternately first: neither program always meets the machine as the other left it.
      const Program order[2] = {run % 2 == 1 ? kPlayer : kMinimal,
                                run % 2 == 1 ? kMinimal : kPlayer};
      for (Program p : order) {
        RunStart(site, p, run, tally);
        std::this_thread::sleep_for(seconds(1));  // the engine's helpers go
      }
    }
    PrintSummary(loading, runs, tally);
    std::printf("  load average at the end %s\n", kam::bench::MachineLoad().c_str());
    complete.emplace_back(loading, static_cast<int>(tally[kPlayer][kFirst].total.size() +
                                                    tally[kMinimal][kFirst].total.size()));
  }
  for (const auto& [loading, n] : complete) {
    if (n == 0) {
      std::fprintf(stderr, "loading=%s: no complete click\n", loading.c_str());
      return 1;
    }
  }
  return 0;
}
