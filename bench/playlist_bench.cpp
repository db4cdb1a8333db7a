// Saving and loading the play list at the list box's sizes. Prints milliseconds (median of
// several runs) for building both files, for writing them, and for reading the store back; and
// what flushing each replaced file to the disk costs AddItem at the list box's limit, against
// the same saves without the flushes, taken in turn. Then reading stores of 300 MB (records, and
// one line without an end), with the process's peak memory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "player/playlist/history.h"
#include "player/playlist/list_bounds.h"
#include "player/playlist/list_page.h"
#include "player/playlist/play_list_files.h"
#include "tests/support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MakeList(int count) {
  std::vector<std::string> list;
  list.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    list.push_back("第" + std::to_string(i + 1) + "集 高清 & 超清||http://127.0.0.1:18731/play/" +
                   std::to_string(i + 1) + ".html||某某电视剧 <全集> 在线观看");
  }
  return list;
}

double CpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Median wall-clock and processor milliseconds. On a busy machine the processor time is the
// steadier figure.
struct Figures {
  double wall;
  double cpu;
};

template <typename F>
Figures MedianMs(int runs, F&& f) {
  std::vector<double> wall;
  std::vector<double> cpu;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    const double cpu_start = CpuMs();
    f();
    cpu.push_back(CpuMs() - cpu_start);
    wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// The process's peak resident memory so far, in MB (VmHWM).
long PeakMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024;
  }
  return -1;
}

// A store of about bytes bytes: records, or (line) one record of a title that never ends.
void WriteBigStore(const std::filesystem::path& path, std::size_t bytes, bool line) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string block;
  if (line) {
    out << "<Item>e||http://127.0.0.1:18731/play/1.html||";
    block.assign(1 << 20, 'x');
  } else {
    for (int i = 0; i < 10000; ++i) {
      block += "<Item>e" + std::to_string(i) + "||http://127.0.0.1:18731/play/" +
               std::to_string(i) + ".html||title</Item>\r\n";
    }
  }
  for (std::size_t n = 0; out && n < bytes; n += block.size()) out << block;
}

}  // namespace

int main() {
  using namespace kam::playlist;
  kam::testing::TempDir dir;
  std::filesystem::create_directories(dir.path() / "html");
  std::filesystem::create_directories(dir.path() / "data");
  // The code page tables are built on first use; keep that out of the figures.
  (void)StoreBytes(MakeList(1));

  std::printf("%-30s %8s %16s %16s %12s\n", "", "entries", "build ms wall/cpu", "save ms wall/cpu",
              "cpu ms/1000");
  for (int count : {1000, 8000, 32767}) {
    const std::vector<std::string> list = MakeList(count);
    const Figures build = MedianMs(9, [&] {
      const auto page = ListPageBytes(list, kDefaultSeparator);
      const auto store = StoreBytes(list);
      if (!page || store.empty()) std::abort();
    });
    const Figures save = MedianMs(9, [&] {
      if (SavePlayList(dir.path(), list, kDefaultSeparator) != SaveResult::kSaved) std::abort();
    });
    std::printf("%-30s %8d %8.2f/%7.2f %8.2f/%7.2f %12.3f\n", "AddItem (List.html+Data.dat)", count,
                build.wall, build.cpu, save.wall, save.cpu, save.cpu * 1000.0 / count);
  }

  const std::vector<std::string> list = MakeList(32767);
  {
    // Alternating, so that a change in the machine's load falls on both alike.
    std::vector<double> flushed, unflushed, flushed_cpu, unflushed_cpu;
    for (int i = 0; i < 15; ++i) {
      for (bool flush : {true, false}) {
        kam::SetFlushToDisk(flush);
        const Figures f = MedianMs(1, [&] {
          if (SavePlayList(dir.path(), list, kDefaultSeparator) != SaveResult::kSaved) std::abort();
        });
        (flush ? flushed : unflushed).push_back(f.wall);
        (flush ? flushed_cpu : unflushed_cpu).push_back(f.cpu);
      }
    }
    kam::SetFlushToDisk(true);
    const auto median = [](std::vector<double> v) {
      std::sort(v.begin(), v.end());
      return v[v.size() / 2];
    };
    std::printf("%-30s %8d %8.2f/%7.2f\n", "AddItem, flushed to disk", 32767, median(flushed),
                median(flushed_cpu));
    std::printf("%-30s %8d %8.2f/%7.2f\n", "AddItem, rename only", 32767, median(unflushed),
                median(unflushed_cpu));
    std::printf("%-30s %8s %8.2fx (wall, median of 15 pairs)\n", "flushed / rename only", "",
                median(flushed) / median(unflushed));
  }
  if (SavePlayList(dir.path(), list, kDefaultSeparator) != SaveResult::kSaved) return 1;
  const auto store = StorePath(dir.path());
  std::size_t loaded = 0;
  const Figures load = MedianMs(9, [&] { loaded = LoadHistory(store).size(); });
  std::printf("%-30s %8zu %16s %8.2f/%7.2f\n", "LoadHistory (Data.dat)", loaded, "", load.wall,
              load.cpu);
  std::printf("store %ju bytes, page %ju bytes\n",
              static_cast<std::uintmax_t>(std::filesystem::file_size(store)),
              static_cast<std::uintmax_t>(std::filesystem::file_size(ListPagePath(dir.path()))));
  if (loaded != std::min(list.size(), kMaxEntries)) return 1;

  const auto big = dir.path() / "data" / "Big.dat";
  for (bool line : {false, true}) {
    WriteBigStore(big, std::size_t{300} << 20, line);
    const long before = PeakMb();
    const Figures read = MedianMs(3, [&] { loaded = LoadHistory(big).size(); });
    std::printf("%-30s %8zu %16s %8.2f/%7.2f peak %ld MB (%ld MB before)\n",
                line ? "LoadHistory (300 MB line)" : "LoadHistory (300 MB records)", loaded, "",
                read.wall, read.cpu, PeakMb(), before);
  }
  std::filesystem::remove(big);
  return 0;
}
