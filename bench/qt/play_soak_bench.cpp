// Hours of watching in a few minutes: the player plays episodes in a row, each started by a real
// pointer press on its card in the catalogue, played 5 s, closed with the play page's close link
// ("colse://"), then back on the catalogue tab for the next. Prints each click to "playing"
// (inside the pages, page_clock.h), the memory of all the player's processes (PSS: the program
// and the engine's helpers) at play 10 and at the last play with the growth between them, and
// the drift: the median click to "playing" of the first ten plays against the last ten.
//
// Then the CPU a playing video costs: user and system time of all of a program's processes over
// a while of one episode playing (a 75 s clip, so it plays throughout), the player against the
// minimal one-view program showing the same play page at the size of the player's pane, measured
// from the same moment of the clip (after the buffering page has gone), and their ratio.
//
//   play_soak_bench [plays] [loading] [cpu seconds]   (on a display;
//                                                      scripts/bench-play-soak.sh sets one up)
//
// plays: 100 by default (fewer for a quick check, 0 for the CPU part alone); loading: the
// settings' buffering switch, 1 by default; cpu seconds: 20 by default, 0 leaves that part out.
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

namespace {

using kam::bench::BenchSite;
using kam::bench::Contender;
using kam::bench::DevToolsSession;
using kam::bench::Median;
using std::chrono::seconds;

constexpr auto kPlayFor = seconds(5);
constexpr int kDriftWindow = 10;
// The buffering page's longest countdown with the bench's settings: (10 + 4) ticks of 1.16 s.
constexpr auto kBufferingAtMost = seconds(17);
constexpr char kLongEpisode[] = "xiaocheng-5";

double Mb(long kb) { return kb / 1024.0; }

// The soak; false when it could not go on.
bool Soak(const BenchSite& site, int plays) {
  Contender player = site.StartPlayer("kamplayer-soak.log");
  auto catalogue = kam::bench::SettledCatalogue(site, player);
  if (!catalogue) return std::fprintf(stderr, "the catalogue did not load\n"), false;
  kam::bench::PlayingClock playing_clock;
  if (!playing_clock.Attach(player.port)) {
    return std::fprintf(stderr, "the pages did not take the playing clock\n"), false;
  }
  const auto origin = kam::bench::FindViewOrigin(player.pid(), *catalogue);
  if (!origin) return std::fprintf(stderr, "the pointer never reached the catalogue\n"), false;
  std::vector<double> times;  // click→playing of the plays that played, in order
  std::vector<int> numbers;   // their play numbers
  long pss_at_10 = 0, pss_at_last = 0;
  for (int i = 1; i <= plays; ++i) {
    const std::string episode = kam::bench::kCardEpisodes[(i - 1) % kam::bench::kCardEpisodeCount];
    const auto armed_at = kam::bench::ArmPressClock(*catalogue);
    if (!armed_at ||
        !kam::bench::PressElement(*catalogue, *origin, kam::bench::CardLink(episode))) {
      std::printf("play %3d %-10s failed: the pointer did not reach its link\n", i,
                  episode.c_str());
      return false;
    }
    auto play = kam::bench::OpenPage(player.port, site.PlayUrl(episode), seconds(30));
    if (!play) {
      std::printf("play %3d %-10s failed: the play page did not open\n", i, episode.c_str());
      return false;
    }
    std::string why;
    const std::optional<kam::bench::PlayTimes> t =
        kam::bench::ReadPlayTimes(*play, catalogue.get(), *armed_at, seconds(30), &why);
    std::this_thread::sleep_for(kPlayFor);
    playing_clock.Drain();
    const bool measure = i == kDriftWindow || i == plays;
    const long pss = measure || i % 10 == 0 ? kam::bench::TreePssKb(player.pid()) : 0;
    if (i == std::min(kDriftWindow, plays)) pss_at_10 = pss;
    if (i == plays) pss_at_last = pss;
    if (t) {
      times.push_back(t->press_to_playing);
      numbers.push_back(i);
      std::printf("play %3d %-10s click→playing %5.0f ms (navigation after %3.0f ms)", i,
                  episode.c_str(), t->press_to_playing, t->press_to_navigation);
    } else {
      std::printf("play %3d %-10s failed: %s", i, episode.c_str(), why.c_str());
    }
    if (pss > 0) std::printf("  PSS %.1f MB", Mb(pss));
    std::printf("\n");
    std::fflush(stdout);
    if (i == plays) break;
    if (!kam::bench::PlayerBackToCatalogue(player, *catalogue, *play, &why)) {
      std::printf("after play %d: %s\n", i, why.c_str());
      return false;
    }
  }
  if (times.empty()) return false;
  const int window = std::min<int>(kDriftWindow, static_cast<int>(times.size()) / 2);
  const double early = Median({times.begin(), times.begin() + std::max(1, window)});
  const double late = Median({times.end() - std::max(1, window), times.end()});
  std::printf("%zu of %d plays played\n", times.size(), plays);
  std::printf("PSS, all processes: play %d %.1f MB, play %d %.1f MB, growth %.1f %%\n",
              std::min(kDriftWindow, plays), Mb(pss_at_10), plays, Mb(pss_at_last),
              pss_at_10 > 0 ? 100.0 * (pss_at_last - pss_at_10) / pss_at_10 : 0.0);
  std::printf(
      "drift: median click→playing of plays %d-%d %.0f ms, of plays %d-%d %.0f ms,"
      " ratio %.2f\n",
      numbers.front(), numbers[std::max(1, window) - 1], early,
      numbers[numbers.size() - std::max(1, window)], numbers.back(), late,
      early > 0 ? late / early : 0.0);
  std::fflush(stdout);
  return true;
}

// CPU seconds of program c's processes over span, from the moment its play page has played for
// offset; nothing when it did not play throughout. The play page's view size goes to view.
std::optional<double> PlayingCpu(DevToolsSession& play, const Contender& c,
                                 std::chrono::milliseconds offset, std::chrono::seconds span,
                                 std::pair<int, int>* view) {
  if (!kam::bench::WaitForScript(play, "typeof window.firstPlayingAt === 'number'", seconds(30))) {
    std::printf("  no \"playing\" within 30 s\n");
    return std::nullopt;
  }
  std::this_thread::sleep_for(offset);
  const auto size = play.Evaluate(
      "[innerWidth, innerHeight, document.querySelector('video')"
      ".currentTime]");
  if (!size || size->array.size() != 3) return std::nullopt;
  *view = {static_cast<int>(size->array[0].number), static_cast<int>(size->array[1].number)};
  const auto before = kam::bench::TreeCpuTicks(c.pid());
  std::this_thread::sleep_for(span);
  const auto after = kam::bench::TreeCpuTicks(c.pid());
  if (!kam::bench::WaitForScript(play, "!document.querySelector('video').paused", seconds(1))) {
    std::printf("  the video stopped before the end of the measurement\n");
    return std::nullopt;
  }
  std::printf("  from %.1f s of the clip on\n", size->array[2].number);
  return kam::bench::CpuSecondsBetween(before, after);
}

void Cpu(const BenchSite& site, bool loading, std::chrono::seconds span) {
  const auto offset =
      loading ? std::chrono::milliseconds(kBufferingAtMost) : std::chrono::milliseconds(2000);
  std::pair<int, int> view;
  std::optional<double> player_s, minimal_s;
  {
    Contender player = site.StartPlayer("kamplayer-cpu.log");
    auto catalogue = kam::bench::SettledCatalogue(site, player);
    const auto origin =
        catalogue ? kam::bench::FindViewOrigin(player.pid(), *catalogue) : std::nullopt;
    if (!origin) return (void)std::printf("CPU: the player's catalogue did not load\n");
    // The title page whose fifth episode is the long clip.
    catalogue->Evaluate("location.href = '/title/xiaocheng.html'; 1");
    if (!kam::bench::WaitForScript(*catalogue,
                                   "location.pathname === '/title/xiaocheng.html' && "
                                   "document.readyState === 'complete'",
                                   seconds(30)) ||
        !kam::bench::PressElement(
            *catalogue, *origin,
            std::string("#source-1 a[href$='/play/") + kLongEpisode + ".html']")) {
      return (void)std::printf("CPU: the player's episode link could not be pressed\n");
    }
    auto play = kam::bench::OpenPage(player.port, site.PlayUrl(kLongEpisode), seconds(30));
    std::printf("CPU while playing, kamplayer:\n");
    if (play) player_s = PlayingCpu(*play, player, offset, span, &view);
  }
  std::this_thread::sleep_for(seconds(1));
  if (!player_s) return (void)std::printf("CPU: the player did not play throughout\n");
  {
    Contender minimal =
        site.StartMinimal(site.PlayUrl(kLongEpisode), view.first, view.second, "minimal-cpu.log");
    auto play = kam::bench::OpenPage(minimal.port, site.PlayUrl(kLongEpisode), seconds(60));
    std::pair<int, int> minimal_view;
    std::printf("CPU while playing, minimal:\n");
    if (play) minimal_s = PlayingCpu(*play, minimal, offset, span, &minimal_view);
    if (minimal_view != view) {
      std::printf("  (its view is %d x %d, the player's pane %d x %d)\n", minimal_view.first,
                  minimal_view.second, view.first, view.second);
    }
  }
  if (!minimal_s) return (void)std::printf("CPU: the minimal program did not play throughout\n");
  std::printf(
      "CPU over %lld s of playing (view %d x %d): kamplayer %.2f s, minimal %.2f s,"
      " ratio %.2f\n",
      static_cast<long long>(span.count()), view.first, view.second, *player_s, *minimal_s,
      *minimal_s > 0 ? *player_s / *minimal_s : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  const int plays = argc > 1 ? std::max(0, std::atoi(argv[1])) : 100;
  const bool loading = !(argc > 2 && std::string(argv[2]) == "0");
  const int cpu_seconds = argc > 3 ? std::max(0, std::atoi(argv[3])) : 20;
  BenchSite site;
  if (!site.ok()) {
    std::fprintf(stderr, "%s\n", site.error().c_str());
    return 1;
  }
  site.UseLoading(loading);
  std::printf("loading=%d, %d plays of %lld s, load average %s\n", loading ? 1 : 0, plays,
              static_cast<long long>(kPlayFor.count()), kam::bench::MachineLoad().c_str());
  bool ok = plays == 0 || Soak(site, plays);
  std::this_thread::sleep_for(seconds(1));
  if (cpu_seconds > 0) Cpu(site, loading, seconds(cpu_seconds));
  std::printf("load average at the end %s\n", kam::bench::MachineLoad().c_str());
  return ok ? 0 : 1;
}
