#include "common/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/atomic_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
using ::kam::testing::ChildProcess;
using ::kam::testing::ExitedWith;
using ::kam::testing::ProcessProbePath;

// A probe process that tries to take the lock of name in dir.
class Holder {
 public:
  Holder(const std::filesystem::path& dir, const std::string& name)
      : child_(ProcessProbePath(), {"lock", dir.string(), name}) {
    answer_ = child_.ReadLine(10s).value_or("");
  }
  bool held() const { return answer_ == "held"; }
  bool busy() const { return answer_ == "busy"; }
  // Ends the holder normally (end of its input) and waits for it.
  bool Release() {
    child_.CloseInput();
    const std::optional<int> status = child_.Wait(10s);
    return status && ExitedWith(*status, 0);
  }
  bool Kill() {
    kill(child_.pid(), SIGKILL);
    return child_.Wait(10s).has_value();
  }

 private:
  ChildProcess child_;
  std::string answer_;
};

TEST(SingleInstance, SecondHolderFailsWhileTheFirstHolds) {
  kam::testing::TempDir dir;
  Holder first(dir.path(), "kamplayer");
  ASSERT_TRUE(first.held());
  Holder second(dir.path(), "kamplayer");
  EXPECT_TRUE(second.busy());
}

TEST(SingleInstance, ReleasedWhenTheHolderExits) {
  kam::testing::TempDir dir;
  Holder first(dir.path(), "update");
  ASSERT_TRUE(first.held());
  ASSERT_TRUE(first.Release());
  Holder next(dir.path(), "update");
  EXPECT_TRUE(next.held());
}

TEST(SingleInstance, ReleasedWhenTheHolderIsKilled) {
  kam::testing::TempDir dir;
  Holder first(dir.path(), "kamplayer");
  ASSERT_TRUE(first.held());
  ASSERT_TRUE(first.Kill());
  Holder next(dir.path(), "kamplayer");
  EXPECT_TRUE(next.held());
}

TEST(SingleInstance, OneLockPerProgramAndProgramDirectory) {
  kam::testing::TempDir dir;
  kam::testing::TempDir other_dir;
  Holder player(dir.path(), "kamplayer");
  Holder updater(dir.path(), "update");
  Holder player_elsewhere(other_dir.path(), "kamplayer");
  EXPECT_TRUE(player.held());
  EXPECT_TRUE(updater.held());
  EXPECT_TRUE(player_elsewhere.held());
  EXPECT_TRUE(std::filesystem::exists(dir.path() / ".kamplayer.lock"));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / ".update.lock"));
}

// The player starts the updater and ends; the updater must not keep the player's lock.
TEST(SingleInstance, ProgramsStartedByTheHolderDoNotKeepTheLock) {
  kam::testing::TempDir dir;
  const std::filesystem::path report = dir.path() / "report";
  ChildProcess starter(ProcessProbePath(),
                       {"lock-start", dir.path().string(), "kamplayer", report.string()});
  const std::optional<int> status = starter.Wait(10s);
  ASSERT_TRUE(status && ExitedWith(*status, 0));

  // Wait (bounded) for the started program's report: it is running from then on.
  std::optional<std::string> bytes;
  for (int i = 0; i < 1000 && !(bytes = ReadFileBytes(report)); ++i) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(bytes.has_value());
  long started_pid = 0;
  std::istringstream(*bytes) >> started_pid;
  ASSERT_GT(started_pid, 0);
  ASSERT_EQ(kill(static_cast<pid_t>(started_pid), 0), 0) << "started program not running";

  Holder next(dir.path(), "kamplayer");
  EXPECT_TRUE(next.held());
  kill(static_cast<pid_t>(started_pid), SIGKILL);
}

TEST(SingleInstance, InProcessLockIsExclusiveUntilDestroyed) {
  kam::testing::TempDir dir;
  {
    std::optional<InstanceLock> first = InstanceLock::TryAcquire(dir.path(), "kamplayer");
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(InstanceLock::TryAcquire(dir.path(), "kamplayer").has_value());
    // Moving keeps the lock held.
    InstanceLock moved = std::move(*first);
    first.reset();
    EXPECT_FALSE(InstanceLock::TryAcquire(dir.path(), "kamplayer").has_value());
  }
  EXPECT_TRUE(InstanceLock::TryAcquire(dir.path(), "kamplayer").has_value());
}

TEST(SingleInstance, AcquiringAgainInTheHoldingProcessSucceeds) {
  kam::testing::TempDir dir;
  EXPECT_TRUE(AcquireSingleInstance(dir.path(), "kamplayer"));
  EXPECT_TRUE(AcquireSingleInstance(dir.path(), "kamplayer"));
  EXPECT_FALSE(InstanceLock::TryAcquire(dir.path(), "kamplayer").has_value());
}

// A folder where no lock file can be made must not stop the program from running.
TEST(SingleInstance, NoPlaceForTheLockLetsTheProgramRun) {
  kam::testing::TempDir dir;
  const std::filesystem::path missing = dir.path() / "no" / "such" / "folder";
  EXPECT_TRUE(InstanceLock::TryAcquire(missing, "kamplayer").has_value());
  EXPECT_TRUE(InstanceLock::TryAcquire(missing, "kamplayer").has_value());
}

}  // namespace
}  // namespace kam
