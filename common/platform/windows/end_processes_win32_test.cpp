// Ending processes by name through the Toolhelp snapshot, with real processes: copies of the
// probe program under chosen file names, some in a folder with a Chinese name.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>

#include "common/end_processes.h"
#include "common/path_text.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
using ::kam::testing::ChildProcess;
using ::kam::testing::CopyProbeAs;
using ::kam::testing::ExitedWith;
using ::kam::testing::UniqueProcessName;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A running copy of the probe, answering "alive" while it runs.
class Running {
 public:
  explicit Running(const std::filesystem::path& program) : child_(program, {"wait"}) {
    ready_ = child_.ReadLine(10s) == "ready";
  }
  bool ready() const { return ready_; }
  bool Alive() { return child_.WriteLine("ping") && child_.ReadLine(10s) == "alive"; }
  // Ended from outside: its input is still open, so it did not end by itself.
  bool WasEnded() { return child_.Wait(10s).has_value(); }

 private:
  ChildProcess child_;
  bool ready_ = false;
};

class EndProcessesWin32 : public ::testing::Test {
 protected:
  std::filesystem::path Copy(const std::string& file_name) {
    return CopyProbeAs(folder_, file_name);
  }
  kam::testing::TempDir dir_;
  // A Chinese user or program folder must not get in the way.
  std::filesystem::path folder_ = [this] {
    const std::filesystem::path f = dir_.path() / Utf8Path("用户 张三");
    std::filesystem::create_directories(f);
    return f;
  }();
};

TEST_F(EndProcessesWin32, TwoCopiesBothEnd) {
  const std::string name = UniqueProcessName("kwa") + ".exe";
  const auto program = Copy(name);
  Running first(program);
  Running second(program);
  ASSERT_TRUE(first.ready() && second.ready());

  EndProcessesByName(name);

  EXPECT_TRUE(first.WasEnded());
  EXPECT_TRUE(second.WasEnded());
}

TEST_F(EndProcessesWin32, WholeNameOnly) {
  const std::string stem = UniqueProcessName("kwb");
  Running exact(Copy(stem + ".exe"));
  Running longer_front(Copy("x" + stem + ".exe"));
  Running longer_back(Copy(stem + "x.exe"));
  Running shorter(Copy(stem.substr(1) + ".exe"));
  ASSERT_TRUE(exact.ready() && longer_front.ready() && longer_back.ready() && shorter.ready());

  EndProcessesByName(stem + ".exe");
  // Windows names carry their extension: the name without it is another name.
  EndProcessesByName(stem.substr(1));

  EXPECT_TRUE(exact.WasEnded());
  EXPECT_TRUE(longer_front.Alive());
  EXPECT_TRUE(longer_back.Alive());
  EXPECT_TRUE(shorter.Alive());
}

TEST_F(EndProcessesWin32, LetterCaseIgnoredOnBothSides) {
  const std::string stem = UniqueProcessName("kwc");
  Running lower(Copy(stem + ".exe"));
  Running upper(Copy(Upper(stem) + "X.EXE"));
  ASSERT_TRUE(lower.ready() && upper.ready());

  EndProcessesByName(Upper(stem) + ".Exe");
  EXPECT_TRUE(lower.WasEnded());
  EXPECT_TRUE(upper.Alive());

  EndProcessesByName(stem + "x.exe");
  EXPECT_TRUE(upper.WasEnded());
}

TEST_F(EndProcessesWin32, ChineseProgramNameMatches) {
  const std::string name = "播放器" + UniqueProcessName("") + ".exe";
  Running running(Copy(name));
  ASSERT_TRUE(running.ready());

  EndProcessesByName("播放" + UniqueProcessName("") + ".exe");
  EXPECT_TRUE(running.Alive());

  EndProcessesByName(name);
  EXPECT_TRUE(running.WasEnded());
}

TEST_F(EndProcessesWin32, OwnNameEndsTheCallerWithStatusZeroAndNothingAfterRuns) {
  const std::string name = UniqueProcessName("kwd") + ".exe";
  ChildProcess caller(Copy(name), {"end", Upper(name)});
  ASSERT_TRUE(caller.started());

  const std::string output = caller.ReadRest(10s);
  const std::optional<int> status = caller.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 0)) << "exit code " << *status;
  EXPECT_EQ(output, "");
}

TEST_F(EndProcessesWin32, OtherNameLetsTheCallerGoOn) {
  ChildProcess caller(Copy(UniqueProcessName("kwe") + ".exe"),
                      {"end", UniqueProcessName("kwf") + ".exe"});
  EXPECT_EQ(caller.ReadLine(10s), "after");
  const std::optional<int> status = caller.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 3));
}

// Copies started after the caller (later in the snapshot) end too, and the caller ends last.
TEST_F(EndProcessesWin32, CallerEndsLastAfterEveryOtherCopy) {
  const std::string name = UniqueProcessName("kwg") + ".exe";
  const auto program = Copy(name);
  Running earlier(program);
  ChildProcess caller(program, {"end-on-line", name});
  ASSERT_EQ(caller.ReadLine(10s), "ready");
  Running later(program);
  ASSERT_TRUE(earlier.ready() && later.ready());

  ASSERT_TRUE(caller.WriteLine("go"));

  const std::optional<int> status = caller.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 0));
  EXPECT_EQ(caller.ReadRest(1s), "");
  EXPECT_TRUE(earlier.WasEnded());
  EXPECT_TRUE(later.WasEnded());
}

// The program rule: the full path of the executable, in the program directory only. The probes
// run a top-level window; "orderly" ends on its close message, "stubborn" ignores it.
constexpr char kNoWindow[] =
    "the probe could make no window (without a display Wine needs its null graphics driver, "
    "which scripts/test-windows.sh sets)";

TEST_F(EndProcessesWin32, OnlyTheProgramOfThatFolderEndsAndInOrder) {
  const std::string name = UniqueProcessName("kwh") + ".exe";
  const std::filesystem::path other = dir_.path() / "other";
  std::filesystem::create_directories(other);
  ChildProcess ours(Copy(name), {"orderly", "300"});
  ASSERT_EQ(ours.ReadLine(10s), "ready") << kNoWindow;
  Running elsewhere(CopyProbeAs(other, name));
  ASSERT_TRUE(elsewhere.ready());

  EXPECT_FALSE(EndOtherCopiesOfProgram(folder_, name));

  const std::optional<int> status = ours.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 5)) << "exit code " << *status;
  EXPECT_TRUE(elsewhere.Alive());
}

TEST_F(EndProcessesWin32, ProgramThatIgnoresTheCloseMessageIsForcedAfterFiveSeconds) {
  const std::string name = UniqueProcessName("kwi") + ".exe";
  ChildProcess stubborn(Copy(name), {"stubborn"});
  ASSERT_EQ(stubborn.ReadLine(10s), "ready") << kNoWindow;

  const auto start = std::chrono::steady_clock::now();
  EndOtherCopiesOfProgram(folder_, Upper(name));
  const auto took = std::chrono::steady_clock::now() - start;

  const std::optional<int> status = stubborn.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 0)) << "exit code " << *status;
  EXPECT_GE(took, kEndGrace);
}

}  // namespace
}  // namespace kam
