// Start-up of the player against the minimal one-view program, run alternately from the same
// starting point: time from launching the program until the catalogue page has loaded in its
// pane, and the peak memory (proportional set size) summed over the program and its browser
// engine processes. Both programs are watched the same way, through the engine's DevTools
// endpoint, polled every 20 ms: the catalogue counts as shown once the engine lists a page at the
// site's address with the catalogue's title (the title arrives with the document's head).
//
// Usage: startup_bench [runs]   (needs a display; the demo server is started here)
#include <curl/curl.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "build_config.h"
#include "common/code_page.h"
#include "common/http_download.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr char kHomeTitle[] = "看吧影院 - 经典影视 在线观看";

size_t Append(char* data, size_t size, size_t n, void* out) {
  static_cast<std::string*>(out)->append(data, size * n);
  return size * n;
}

std::optional<std::string> Get(const std::string& url) {
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return std::nullopt;
  std::string body;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 1000L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Append);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  const CURLcode code = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  if (code != CURLE_OK) return std::nullopt;
  return body;
}

int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = -1;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
    port = ntohs(a.sin_port);
  }
  close(fd);
  return port;
}

// Starts program in a process group of its own, output discarded.
pid_t Spawn(const fs::path& program, const std::vector<std::string>& args,
            const std::vector<std::string>& extra_env) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  env.insert(env.end(), extra_env.begin(), extra_env.end());
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> all = {program.string()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, all[0].c_str(), &actions, &attr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void EndGroup(pid_t pid) {
  kill(-pid, SIGKILL);
  int status;
  waitpid(pid, &status, 0);
  // Let the engine's helpers go before the next run starts.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

// Proportional set size in kB summed over every process of the group.
long GroupPssKb(pid_t group) {
  long total = 0;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    const auto close_paren = line.rfind(')');
    if (close_paren == std::string::npos) continue;
    std::istringstream rest(line.substr(close_paren + 2));
    char state;
    long ppid, pgrp;
    if (!(rest >> state >> ppid >> pgrp) || pgrp != group) continue;
    std::ifstream smaps(entry.path() / "smaps_rollup");
    while (std::getline(smaps, line)) {
      if (line.rfind("Pss:", 0) == 0) {
        total += std::atol(line.c_str() + 4);
        break;
      }
    }
  }
  return total;
}

// Whether the engine lists the catalogue: a page at the site's address with its title.
bool CatalogueShown(int devtools_port, const std::string& site) {
  const auto list = Get("http://127.0.0.1:" + std::to_string(devtools_port) + "/json/list");
  if (!list) return false;
  return list->find(std::string("\"title\": \"") + kHomeTitle + "\"") != std::string::npos &&
         list->find("\"url\": \"" + site + "/\"") != std::string::npos;
}

struct Sample {
  double seconds = 0;
  long peak_kb = 0;
  bool ok = false;
};

Sample RunOnce(const fs::path& program, const std::vector<std::string>& args,
               const std::string& site) {
  const int port = FreePort();
  const auto start = Clock::now();
  const pid_t pid = Spawn(
      program, args,
      {"QTWEBENGINE_REMOTE_DEBUGGING=127.0.0.1:" + std::to_string(port),
       // The player's profile goes into the bench's own folder, never the user's.
       "XDG_DATA_HOME=" +
           (fs::temp_directory_path() / ("kam-startup-bench-data-" + std::to_string(getpid())))
               .string()});
  Sample s;
  if (pid <= 0) return s;
  const auto deadline = start + std::chrono::seconds(60);
  // Reading every process's memory map costs CPU too: sample it less often than the page list.
  auto next_sample = start;
  while (Clock::now() < deadline) {
    if (Clock::now() >= next_sample) {
      s.peak_kb = std::max(s.peak_kb, GroupPssKb(pid));
      next_sample = Clock::now() + std::chrono::milliseconds(250);
    }
    if (CatalogueShown(port, site)) {
      s.seconds = std::chrono::duration<double>(Clock::now() - start).count();
      s.ok = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Memory keeps growing while the page settles: watch one more second.
  const auto settle = Clock::now() + std::chrono::seconds(1);
  while (s.ok && Clock::now() < settle) {
    s.peak_kb = std::max(s.peak_kb, GroupPssKb(pid));
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  EndGroup(pid);
  return s;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  kam::EnsureCurlInitialized();
  const fs::path build = kam::build::kBuildDir;
  const fs::path work =
      fs::temp_directory_path() / ("kam-startup-bench-" + std::to_string(getpid()));
  fs::create_directories(work);

  // The site, serving settings that name it; the program directory, copied.
  const std::string site = "http://127.0.0.1:" + std::to_string(kam::build::kDemoPort);
  fs::copy(fs::path(kam::build::kSourceDir) / "demo" / "site", work / "site",
           fs::copy_options::recursive);
  std::ofstream(work / "site" / "upload" / "my2.txt", std::ios::binary | std::ios::trunc)
      << kam::Utf8ToGbk("[kampeizhi]\r\nwangzhan=" + site +
                        "\r\nname=看吧影院\r\n[tui]\r\ntui=2\r\n[loading]\r\nloading=1\r\n"
                        "loadingtime=10\r\n[ver]\r\nver=1.0\r\n");
  fs::copy(kam::build::kProgDir, work / "prog", fs::copy_options::recursive);
  fs::remove(work / "prog" / "update");  // nothing to hand over to

  const pid_t server = Spawn(
      build / "demo" / "kam_demo_server",
      {"--port", std::to_string(kam::build::kDemoPort), "--root", (work / "site").string()}, {});
  for (int i = 0; i < 100 && !Get(site + "/"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!Get(site + "/")) {
    std::fprintf(stderr, "the demo server does not answer on %s\n", site.c_str());
    EndGroup(server);
    return 1;
  }

  const fs::path minimal = build / "bench" / "startup_minimal_view";
  std::vector<double> player_s, player_mb, minimal_s, minimal_mb;
  for (int i = 0; i < runs; ++i) {
    const Sample p = RunOnce(work / "prog" / "kamplayer", {}, site);
    const Sample m = RunOnce(minimal, {site + "/"}, site);
    std::printf("run %d: kamplayer %.3f s %.1f MB%s | minimal %.3f s %.1f MB%s\n", i + 1, p.seconds,
                p.peak_kb / 1024.0, p.ok ? "" : " (not loaded)", m.seconds, m.peak_kb / 1024.0,
                m.ok ? "" : " (not loaded)");
    if (p.ok && m.ok) {
      player_s.push_back(p.seconds);
      player_mb.push_back(p.peak_kb / 1024.0);
      minimal_s.push_back(m.seconds);
      minimal_mb.push_back(m.peak_kb / 1024.0);
    }
  }
  EndGroup(server);
  fs::remove_all(work);
  fs::remove_all(fs::temp_directory_path() /
                 ("kam-startup-bench-data-" + std::to_string(getpid())));
  if (player_s.empty()) {
    std::fprintf(stderr, "no complete run\n");
    return 1;
  }
  const double ps = Median(player_s), ms = Median(minimal_s);
  const double pm = Median(player_mb), mm = Median(minimal_mb);
  std::printf(
      "median time to catalogue: kamplayer %.3f s, minimal %.3f s, ratio %.2f, difference "
      "%+.0f ms\n",
      ps, ms, ps / ms, (ps - ms) * 1000);
  std::printf(
      "median peak memory (PSS, all processes): kamplayer %.1f MB, minimal %.1f MB, "
      "ratio %.2f\n",
      pm, mm, pm / mm);
  return 0;
}
