// The named-mutex single instance with real processes, program folders with Chinese names
// included.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "common/path_text.h"
#include "common/single_instance.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
using ::kam::testing::ChildProcess;
using ::kam::testing::ExitedWith;
using ::kam::testing::ProcessProbePath;
using ::kam::testing::UniqueProcessName;

// A probe process that tries to take the lock of name in dir.
class Holder {
 public:
  Holder(const std::filesystem::path& dir, const std::string& name)
      : child_(std::make_unique<ChildProcess>(ProcessProbePath(),
                                              std::vector<std::string>{"lock", PathUtf8(dir),
                                                                       name})) {
    answer_ = child_->ReadLine(10s).value_or("");
  }
  bool held() const { return answer_ == "held"; }
  bool busy() const { return answer_ == "busy"; }
  // Ends the holder normally (end of its input) and waits for it.
  bool Release() {
    child_->CloseInput();
    const std::optional<int> status = child_->Wait(10s);
    return status && ExitedWith(*status, 0);
  }
  // Ends it from outside, as a crash or the task manager would.
  void Kill() { child_.reset(); }

 private:
  std::unique_ptr<ChildProcess> child_;
  std::string answer_;
};

class SingleInstanceWin32 : public ::testing::Test {
 protected:
  kam::testing::TempDir dir_;
  std::filesystem::path folder_ = dir_.path() / Utf8Path("看吧影院");
  std::string name_ = UniqueProcessName("kamplayer");
};

TEST_F(SingleInstanceWin32, SecondInstanceIsRefusedUntilTheFirstEnds) {
  Holder first(folder_, name_);
  ASSERT_TRUE(first.held());
  Holder second(folder_, name_);
  EXPECT_TRUE(second.busy());

  ASSERT_TRUE(first.Release());
  Holder third(folder_, name_);
  EXPECT_TRUE(third.held());
}

TEST_F(SingleInstanceWin32, KilledHolderLetsTheNextOneIn) {
  Holder first(folder_, name_);
  ASSERT_TRUE(first.held());
  first.Kill();
  Holder next(folder_, name_);
  EXPECT_TRUE(next.held());
}

TEST_F(SingleInstanceWin32, OneLockPerProgramAndFolderLetterCaseIgnored) {
  Holder player(folder_, name_);
  ASSERT_TRUE(player.held());
  EXPECT_TRUE(Holder(folder_, name_ + "-update").held());
  EXPECT_TRUE(Holder(dir_.path() / Utf8Path("别的目录"), name_).held());
  // Windows folder names ignore letter case: the same folder, written otherwise.
  std::wstring upper = folder_.wstring();
  for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
  EXPECT_TRUE(Holder(std::filesystem::path(upper), name_).busy());
}

TEST_F(SingleInstanceWin32, InProcessLockIsHeldUntilDropped) {
  std::optional<InstanceLock> lock = InstanceLock::TryAcquire(folder_, name_);
  ASSERT_TRUE(lock.has_value());
  EXPECT_FALSE(InstanceLock::TryAcquire(folder_, name_).has_value());
  EXPECT_TRUE(Holder(folder_, name_).busy());
  lock.reset();
  EXPECT_TRUE(InstanceLock::TryAcquire(folder_, name_).has_value());
}

}  // namespace
}  // namespace kam
