// CYFDownLoadFile against `curl -o` for a large body from the demo server on loopback, in the
// same run, alternating, each transfer in its own process so that its peak memory can be read.
//
//   download_bench [MiB=64] [rounds=5]
//
// Prints each round, the median throughput of both and their ratio, and the peak resident set
// of the downloader for several body sizes (it must not grow with the body).
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "player/startup/file_download.h"
#include "tests/support/demo_server.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Run {
  double seconds = 0;
  double cpu_seconds = 0;  // user + system time of the transfer's process
  long peak_rss_kib = 0;
  bool ok = false;
};

// Waits for a child and reads its own peak resident set from the kernel's accounting.
Run Reap(pid_t pid, Clock::time_point start) {
  int status = 0;
  rusage usage{};
  Run run;
  if (wait4(pid, &status, 0, &usage) == pid) {
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peak_rss_kib = usage.ru_maxrss;
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    run.cpu_seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return run;
}

Run Ours(const std::string& url, const fs::path& target) {
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    kam::CYFDownLoadFile downloader([] {});  // the pump a window would run, empty here
    _exit(downloader.DownLoadFile(url, target, false, false) ? 0 : 1);
  }
  return Reap(pid, start);
}

Run Curl(const std::string& url, const fs::path& target) {
  std::vector<std::string> args = {"curl", "-s", "-f", "-o", target.string(), url};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return {};
  return Reap(pid, start);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

bool SizeIs(const fs::path& file, std::uint64_t bytes) {
  std::error_code ec;
  return fs::file_size(file, ec) == bytes && !ec;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 64;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::uint64_t bytes = mib << 20;

  kam::testing::DemoServer server(kam::testing::DemoServer::kAnyPort);
  if (!server.ok()) {
    std::fprintf(stderr, "download_bench: %s\n", server.error().c_str());
    return 1;
  }
  kam::testing::TempDir dir;
  const fs::path target = dir.path() / "body.bin";
  const std::string url = server.Url("/__big?bytes=" + std::to_string(bytes));

  std::printf("download_bench: %llu MiB from %s, %d rounds, alternating\n",
              static_cast<unsigned long long>(mib), server.BaseUrl().c_str(), rounds);
  std::vector<double> ours_rate, curl_rate, ours_cpu, curl_cpu;
  long ours_peak = 0, curl_peak = 0;
  for (int round = 1; round <= rounds; ++round) {
    // Alternate who goes first, so neither always meets a warmer page cache.
    for (int turn = 0; turn < 2; ++turn) {
      const bool ours_turn = (turn == 0) == (round % 2 == 1);
      fs::remove(target);
      const Run run = ours_turn ? Ours(url, target) : Curl(url, target);
      if (!run.ok || !SizeIs(target, bytes)) {
        std::fprintf(stderr, "download_bench: %s failed in round %d\n",
                     ours_turn ? "CYFDownLoadFile" : "curl -o", round);
        return 1;
      }
      const double rate = static_cast<double>(mib) / run.seconds;
      (ours_turn ? ours_rate : curl_rate).push_back(rate);
      (ours_turn ? ours_cpu : curl_cpu).push_back(run.cpu_seconds * 1000);
      (ours_turn ? ours_peak : curl_peak) =
          std::max(ours_turn ? ours_peak : curl_peak, run.peak_rss_kib);
      std::printf("  round %d  %-16s %8.1f MiB/s  CPU %6.1f ms  peak RSS %6ld KiB\n", round,
                  ours_turn ? "CYFDownLoadFile" : "curl -o", rate, run.cpu_seconds * 1000,
                  run.peak_rss_kib);
    }
  }
  const double ours = Median(ours_rate), curl = Median(curl_rate);
  std::printf(
      "median throughput: CYFDownLoadFile %.1f MiB/s, curl -o %.1f MiB/s, ratio %.2f "
      "(target >= 0.90)\n",
      ours, curl, curl > 0 ? ours / curl : 0.0);
  std::printf("median CPU time: CYFDownLoadFile %.1f ms, curl -o %.1f ms (includes curl's start)\n",
              Median(ours_cpu), Median(curl_cpu));
  std::printf("peak RSS over the rounds: CYFDownLoadFile %ld KiB, curl -o %ld KiB\n", ours_peak,
              curl_peak);

  // Peak memory against body size: the downloader streams, so it stays flat.
  std::printf("peak RSS of CYFDownLoadFile by body size:\n");
  for (std::uint64_t size_mib : {std::uint64_t{1}, std::uint64_t{16}, mib, mib * 4}) {
    fs::remove(target);
    const Run run = Ours(server.Url("/__big?bytes=" + std::to_string(size_mib << 20)), target);
    std::printf("  %5llu MiB  %s  peak RSS %6ld KiB\n", static_cast<unsigned long long>(size_mib),
                run.ok && SizeIs(target, size_mib << 20) ? "ok    " : "FAILED", run.peak_rss_kib);
  }
  fs::remove(target);
  return 0;
}
