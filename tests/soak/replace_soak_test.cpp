// Kills a writer with SIGKILL at random moments while it replaces the play list files and a
// profile over and over. After every kill each file must be byte for byte the generation before
// or the generation being written, never torn or empty, and a temporary file a killed write left
// behind must be gone once a later write has succeeded. The seed is printed; set KAM_SOAK_SEED
// to replay a run.
// The writer is plain C++; the test needs POSIX processes and signals, so it is built on Linux.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/atomic_file.h"
#include "common/private_profile.h"
#include "common/program_dir.h"
#include "player/playlist/entry.h"
#include "player/playlist/list_page.h"
#include "tests/soak/soak_content.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kRounds = 300;
constexpr auto kTimeBudget = 45s;  // the rounds stop early on a very slow machine
constexpr int kMaxDelayUs = 40000;

struct Watched {
  const char* name;  // as the programs name it
  std::string (*bytes_of)(int generation);
};

std::string PageOf(int g) {
  return *playlist::ListPageBytes(soak::ListOfGeneration(g), playlist::kDefaultSeparator);
}
std::string StoreOf(int g) { return playlist::StoreBytes(soak::ListOfGeneration(g)); }
std::string ProfileOf(int g) {
  return *ProfileWithValue(soak::kProfileStart, soak::kProfileSection, soak::kProfileKey,
                           std::to_string(g));
}

const Watched kFiles[] = {{"\\html\\List.html", PageOf},
                          {"\\data\\Data.dat", StoreOf},
                          {"\\skin\\Config.ini", ProfileOf}};

// Temporary files beside the watched ones: every file of their folders not watched.
std::set<std::filesystem::path> TemporaryFiles(const std::filesystem::path& dir) {
  std::set<std::filesystem::path> found;
  for (const char* folder : {"html", "data", "skin"}) {
    for (const auto& e : std::filesystem::directory_iterator(dir / folder)) {
      const std::string name = e.path().filename().string();
      if (name != "List.html" && name != "Data.dat" && name != "Config.ini") found.insert(e.path());
    }
  }
  return found;
}

// The last generation the writer reported complete in lines, or fallback.
int LastGeneration(const std::string& lines, int fallback) {
  int last = fallback;
  std::size_t start = 0;
  for (std::size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1) {
    last = std::stoi(lines.substr(start, end - start));
  }
  return last;
}

unsigned SeedOfThisRun() {
  if (const char* fixed = std::getenv("KAM_SOAK_SEED")) {
    return static_cast<unsigned>(std::strtoul(fixed, nullptr, 10));
  }
  return std::random_device{}();
}

TEST(ReplaceSoak, FilesAreWholeAfterEveryKillAndLeftoversGo) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir.path() / "html");
  std::filesystem::create_directories(dir.path() / "data");
  dir.Write("skin/Config.ini", soak::kProfileStart);
  const std::filesystem::path writer = KAM_REPLACE_WRITER_BIN;
  {
    testing::ChildProcess first(writer, {dir.path().string(), "0", "1"});
    ASSERT_TRUE(first.started());
    const auto status = first.Wait(30s);
    ASSERT_TRUE(status && testing::ExitedWith(*status, 0)) << "the writer could not write";
  }

  const unsigned seed = SeedOfThisRun();
  std::printf("replace soak: seed %u (KAM_SOAK_SEED=%u replays it)\n", seed, seed);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay_us(0, kMaxDelayUs);

  int done = 0;                               // every file holds at least this generation
  std::set<std::filesystem::path> leftovers;  // temporary files of killed writes
  int kills = 0, kills_leaving_temp = 0, kills_between_files = 0;
  const auto start = Clock::now();
  for (int round = 0; round < kRounds && Clock::now() - start < kTimeBudget; ++round) {
    testing::ChildProcess child(writer, {dir.path().string(), std::to_string(done + 1)});
    ASSERT_TRUE(child.started());
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    ASSERT_EQ(::kill(child.pid(), SIGKILL), 0);
    const auto status = child.Wait(10s);
    ASSERT_TRUE(status.has_value()) << "round " << round << ": the writer did not end";
    ASSERT_TRUE(testing::KilledBySigkill(*status))
        << "round " << round << ": the writer ended by itself (a write failed?)";
    ++kills;
    const int reported = LastGeneration(child.ReadRest(5s), done);
    if (reported > done) {
      // All three files were written at least once since the kills that left these.
      for (const auto& path : leftovers) {
        EXPECT_FALSE(std::filesystem::exists(path))
            << "round " << round << ": " << path << " outlived a successful write";
      }
      leftovers.clear();
      done = reported;
    }

    std::set<int> generations;
    for (const Watched& file : kFiles) {
      const auto bytes = ReadFileBytes(ProgramFile(dir.path(), file.name));
      ASSERT_TRUE(bytes.has_value()) << "round " << round << ": " << file.name << " is missing";
      if (*bytes == file.bytes_of(done)) {
        generations.insert(done);
      } else if (*bytes == file.bytes_of(done + 1)) {
        generations.insert(done + 1);
      } else {
        FAIL() << "round " << round << " (seed " << seed << "): " << file.name << " holds "
               << bytes->size() << " bytes, neither generation " << done << " ("
               << file.bytes_of(done).size() << " bytes) nor " << done + 1 << " ("
               << file.bytes_of(done + 1).size() << " bytes)";
      }
    }
    if (generations.size() > 1) ++kills_between_files;
    const auto temps = TemporaryFiles(dir.path());
    if (!temps.empty()) ++kills_leaving_temp;
    leftovers.insert(temps.begin(), temps.end());
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  // One last write that runs to its end leaves nothing behind.
  testing::ChildProcess last(writer, {dir.path().string(), std::to_string(done + 1), "1"});
  ASSERT_TRUE(last.started());
  const auto status = last.Wait(30s);
  ASSERT_TRUE(status && testing::ExitedWith(*status, 0));
  EXPECT_TRUE(TemporaryFiles(dir.path()).empty());
  for (const Watched& file : kFiles) {
    EXPECT_EQ(ReadFileBytes(ProgramFile(dir.path(), file.name)), file.bytes_of(done + 1));
  }

  std::printf(
      "replace soak: %d kills in %.1f s, %d generations written; %d kills left a temporary "
      "file, %d fell between two files of a generation (seed %u)\n",
      kills, seconds, done, kills_leaving_temp, kills_between_files, seed);
  // Without kills in the middle of writes the run proved nothing.
  EXPECT_GT(kills_leaving_temp, 0);
  EXPECT_GT(kills_between_files, 0);
  EXPECT_GT(done, 0);
}

}  // namespace
}  // namespace kam
