// The updater's installer download (CFileDownload on the libcurl core, with its pump, taking the
// installer's SHA-256 as it arrives, as the updater does) against `curl -o`, for a large
// installer from the demo server on loopback, in the same run, alternating. Also the longest
// time the window would have waited for its turn: the largest gap between two pump calls, and
// from the start to the first.
//
//   update_bench [MiB=64] [rounds=5]
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/demo_server.h"
#include "tests/support/temp_dir.h"
#include "update/curl_transport.h"
#include "update/file_download.h"
#include "update/updater_flow.h"
#include "update/updater_system.h"
#include "update/verify/signature_check.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Records when the window would have been given its turns.
class TimingPump : public kam::update::MessagePump {
 public:
  void Start() {
    last_ = Clock::now();
    longest_ = Clock::duration::zero();
    calls_ = 0;
  }
  void ProcessPendingMessages() override {
    const auto now = Clock::now();
    longest_ = std::max(longest_, now - last_);
    last_ = now;
    ++calls_;
  }
  double longest_ms() const { return std::chrono::duration<double, std::milli>(longest_).count(); }
  long calls() const { return calls_; }

 private:
  Clock::time_point last_;
  Clock::duration longest_{};
  long calls_ = 0;
};

bool SizeIs(const fs::path& file, std::uint64_t bytes) {
  std::error_code ec;
  return fs::file_size(file, ec) == bytes && !ec;
}

double Curl(const std::string& url, const fs::path& target) {
  std::vector<std::string> args = {"curl", "-s", "-f", "-o", target.string(), url};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 64;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::uint64_t bytes = mib << 20;

  // A site whose installer is that large.
  kam::testing::TempDir site;
  {
    std::ofstream out(site.path() / "sela_pid_uid.exe", std::ios::binary);
    std::string block(1 << 20, '\0');
    for (std::uint64_t i = 0; i < mib; ++i) {
      for (std::size_t j = 0; j < block.size(); ++j)
        block[j] = static_cast<char>((i * 31 + j * 7) >> 3);
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  kam::testing::DemoServer server(kam::testing::DemoServer::kAnyPort, site.path());
  if (!server.ok()) {
    std::fprintf(stderr, "update_bench: %s\n", server.error().c_str());
    return 1;
  }
  kam::testing::TempDir dir;
  const fs::path target = dir.path() / "sela_pid_uid.exe";
  const std::string url = server.Url("/sela_pid_uid.exe");

  kam::update::CurlTransport transport;
  kam::update::SystemTickClock clock;
  TimingPump pump;
  kam::update::CFileDownload download(transport, clock, pump);
  long events = 0;
  download.SetOnProgress([&](const kam::update::ProgressEvent&) { ++events; });

  std::printf("update_bench: %llu MiB installer from %s, %d rounds, alternating\n",
              static_cast<unsigned long long>(mib), server.BaseUrl().c_str(), rounds);
  std::vector<double> ours_rate, curl_rate, longest_gap;
  for (int round = 1; round <= rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool ours_turn = (turn == 0) == (round % 2 == 1);
      fs::remove(target);
      double seconds = -1;
      if (ours_turn) {
        events = 0;
        pump.Start();
        const auto start = Clock::now();
        auto digest = kam::update::NewLibcryptoSha256();
        kam::update::TransferOptions options;
        options.max_bytes = kam::update::kMaxInstallerBytes;
        options.time_limit = kam::update::kInstallerTimeLimit;
        options.on_body = [&digest](std::string_view piece) { digest->Update(piece); };
        if (download.StartDownloading(url, target, options) && digest->HexDigest().size() == 64) {
          seconds = std::chrono::duration<double>(Clock::now() - start).count();
        }
      } else {
        seconds = Curl(url, target);
      }
      if (seconds <= 0 || !SizeIs(target, bytes)) {
        std::fprintf(stderr, "update_bench: %s failed in round %d\n",
                     ours_turn ? "CFileDownload" : "curl -o", round);
        return 1;
      }
      const double rate = static_cast<double>(mib) / seconds;
      (ours_turn ? ours_rate : curl_rate).push_back(rate);
      if (ours_turn) {
        longest_gap.push_back(pump.longest_ms());
        std::printf(
            "  round %d  CFileDownload %8.1f MiB/s  (%ld notifications, %ld pumps, "
            "longest gap %.1f ms)\n",
            round, rate, events, pump.calls(), pump.longest_ms());
      } else {
        std::printf("  round %d  curl -o       %8.1f MiB/s\n", round, rate);
      }
    }
  }
  const double ours = Median(ours_rate), curl = Median(curl_rate);
  std::printf("median: CFileDownload %.1f MiB/s, curl -o %.1f MiB/s, ratio %.2f (target >= 0.90)\n",
              ours, curl, curl > 0 ? ours / curl : 0.0);
  std::printf("longest gap between pump calls: %.1f ms (target <= 100 ms)\n",
              *std::max_element(longest_gap.begin(), longest_gap.end()));
  return 0;
}
