#include "common/end_processes.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
using ::kam::testing::ChildProcess;
using ::kam::testing::CopyProbeAs;
using ::kam::testing::ExitedWith;
using ::kam::testing::KilledBySigkill;
using ::kam::testing::UniqueProcessName;

struct NameCase {
  const char* process;
  const char* target;
  bool matches;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << '"' << c.process << "\" for \"" << c.target << '"';
}

class ProcessNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(ProcessNames, WholeNameLetterCaseIgnored) {
  EXPECT_EQ(ProcessNameMatches(GetParam().process, GetParam().target), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, ProcessNames,
    ::testing::Values(NameCase{"kamplayer", "kamplayer.exe", true},
                      NameCase{"kamplayer", "KAMPLAYER.EXE", true},
                      NameCase{"KamPlayer", "kamplayer.Exe", true},
                      NameCase{"kamplayer.exe", "kamplayer.exe", true},
                      NameCase{"kamplayer", "kamplayer", true},
                      // The ".exe" is dropped from the target only, never added to it.
                      NameCase{"kamplayer.exe", "kamplayer", false},
                      NameCase{"xkamplayer", "kamplayer.exe", false},
                      NameCase{"kamplayerx", "kamplayer.exe", false},
                      NameCase{"amplayer", "kamplayer.exe", false},
                      NameCase{"kamplayer.ex", "kamplayer.exe", false}, NameCase{"", ".exe", false},
                      NameCase{"", "", false}, NameCase{"update", "update.exe", true},
                      NameCase{"update", "kamplayer.exe", false}));

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A running copy of the probe program under a given file name, answering "alive" while it runs.
class Running {
 public:
  Running(const std::filesystem::path& program, std::string_view argv0 = {})
      : child_(program, {"wait"}, argv0) {
    ready_ = child_.ReadLine(10s) == "ready";
  }
  bool ready() const { return ready_; }
  bool Alive() { return child_.WriteLine("ping") && child_.ReadLine(10s) == "alive"; }
  bool WasKilled() {
    const std::optional<int> status = child_.Wait(10s);
    return status && KilledBySigkill(*status);
  }
  // The wait status once it has ended.
  std::optional<int> Status() { return child_.Wait(10s); }

 private:
  ChildProcess child_;
  bool ready_ = false;
};

class EndProcesses : public ::testing::Test {
 protected:
  std::filesystem::path Copy(std::string_view name) { return CopyProbeAs(dir_.path(), name); }
  kam::testing::TempDir dir_;
};

TEST_F(EndProcesses, TwoCopiesBothEnd) {
  const std::string name = UniqueProcessName("kpa");
  const auto program = Copy(name);
  Running first(program);
  Running second(program);
  ASSERT_TRUE(first.ready() && second.ready());

  EndProcessesByName(name + ".exe");

  EXPECT_TRUE(first.WasKilled());
  EXPECT_TRUE(second.WasKilled());
}

TEST_F(EndProcesses, WholeNameOnly) {
  const std::string name = UniqueProcessName("kpb");
  Running exact(Copy(name));
  Running longer_front(Copy("x" + name));
  Running longer_back(Copy(name + "x"));
  Running shorter(Copy(name.substr(1)));
  Running other_extension(Copy(name + ".bin"));
  ASSERT_TRUE(exact.ready() && longer_front.ready() && longer_back.ready() && shorter.ready() &&
              other_extension.ready());

  EndProcessesByName(name + ".exe");

  EXPECT_TRUE(exact.WasKilled());
  EXPECT_TRUE(longer_front.Alive());
  EXPECT_TRUE(longer_back.Alive());
  EXPECT_TRUE(shorter.Alive());
  EXPECT_TRUE(other_extension.Alive());
}

TEST_F(EndProcesses, LetterCaseIgnoredOnBothSides) {
  const std::string name = UniqueProcessName("kpc");
  Running lower(Copy(name));
  Running upper(Copy(Upper(name) + "X"));
  ASSERT_TRUE(lower.ready() && upper.ready());

  EndProcessesByName(Upper(name) + ".EXE");
  EXPECT_TRUE(lower.WasKilled());
  EXPECT_TRUE(upper.Alive());

  EndProcessesByName(name + "x.exe");
  EXPECT_TRUE(upper.WasKilled());
}

TEST_F(EndProcesses, FileNamedWithExeIsEndedByTheFullName) {
  const std::string name = UniqueProcessName("kpd");
  Running with_exe(Copy(name + ".exe"));
  ASSERT_TRUE(with_exe.ready());

  EndProcessesByName(name);
  EXPECT_TRUE(with_exe.Alive());

  EndProcessesByName(name + ".EXE");
  EXPECT_TRUE(with_exe.WasKilled());
}

TEST_F(EndProcesses, NoMatchLeavesEverythingRunning) {
  const std::string name = UniqueProcessName("kpe");
  Running running(Copy(name));
  ASSERT_TRUE(running.ready());

  EndProcessesByName(UniqueProcessName("kpz") + ".exe");
  EndProcessesByName("");
  EndProcessesByName(".exe");

  EXPECT_TRUE(running.Alive());
}

// An installer replaces the player's file while it runs; the old process must still be found.
TEST_F(EndProcesses, ReplacedExecutableIsStillFound) {
  // Longer than the kernel's 15-byte command name and started under another argv[0], so only
  // the executable link can match.
  const std::string name = UniqueProcessName("kam-replaced-");
  ASSERT_GT(name.size(), 15u);
  const auto program = Copy(name);
  Running running(program, "/elsewhere/other-name");
  ASSERT_TRUE(running.ready());
  std::filesystem::remove(program);

  EndProcessesByName(name + ".exe");
  EXPECT_TRUE(running.WasKilled());
}

// The kernel cuts command names to 15 bytes; such a cut name must not match as a whole name.
TEST_F(EndProcesses, CutCommandNameIsNoMatch) {
  const std::string name = UniqueProcessName("kam-long-name-");
  ASSERT_GT(name.size(), 15u);
  Running running(Copy(name));
  ASSERT_TRUE(running.ready());

  EndProcessesByName(name.substr(0, 15) + ".exe");
  EXPECT_TRUE(running.Alive());
}

// A program that is a script runs as its interpreter; it is found by the script's name.
TEST_F(EndProcesses, ScriptIsFoundByItsFileName) {
  const std::string name = UniqueProcessName("kpf");
  const auto script = dir_.Write(name,
                                 "#!/bin/sh\n"
                                 "echo ready\n"
                                 "while read line; do echo alive; done\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  Running running(script);
  ASSERT_TRUE(running.ready());
  ASSERT_TRUE(running.Alive());

  EndProcessesByName(name + ".exe");
  EXPECT_TRUE(running.WasKilled());
}

TEST_F(EndProcesses, ProgramStartedUnderAnotherNameIsFoundByThatName) {
  const std::string name = UniqueProcessName("kpg");
  Running running(Copy(UniqueProcessName("kph")), "/somewhere/" + name);
  ASSERT_TRUE(running.ready());

  EndProcessesByName(name + ".exe");
  EXPECT_TRUE(running.WasKilled());
}

// The caller that named itself: ended by its own hand, with status 0, before it said anything.
void ExpectEndedItselfQuietly(ChildProcess& caller) {
  ASSERT_TRUE(caller.started());
  const std::string output = caller.ReadRest(10s);
  const std::optional<int> status = caller.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 0)) << "wait status " << *status;
  EXPECT_EQ(output, "");
}

TEST_F(EndProcesses, OwnNameEndsTheCallerWithStatusZeroAndNothingAfterRuns) {
  const std::string name = UniqueProcessName("kpi");
  ChildProcess caller(Copy(name), {"end", Upper(name) + ".exe"});
  ExpectEndedItselfQuietly(caller);
}

// Alone in a process table of its own the caller is the only entry, and an error number that
// an earlier entry's lookup left behind ("gone already") must not make it skip itself.
TEST_F(EndProcesses, OwnNameEndsTheCallerWhateverTheErrorNumberSays) {
  const std::filesystem::path unshare = "/usr/bin/unshare";
  if (std::system("/usr/bin/unshare --pid --fork --mount-proc true >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "no process table of its own can be made here";
  }
  const std::string name = UniqueProcessName("kpo");
  ChildProcess caller(unshare, {"--pid", "--fork", "--mount-proc", Copy(name).string(), "end-stale",
                                name + ".exe"});
  ExpectEndedItselfQuietly(caller);
}

TEST_F(EndProcesses, OtherNameLetsTheCallerGoOn) {
  const std::string name = UniqueProcessName("kpj");
  ChildProcess caller(Copy(name), {"end", UniqueProcessName("kpk") + ".exe"});
  EXPECT_EQ(caller.ReadLine(10s), "after");
  const std::optional<int> status = caller.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 3));
}

// Copies started after the caller (later in the process walk) end too, not only earlier ones.
TEST_F(EndProcesses, CallerEndsLastAfterEveryOtherCopy) {
  const std::string name = UniqueProcessName("kpl");
  const auto program = Copy(name);
  Running earlier(program);
  ChildProcess caller(program, {"end-on-line", name + ".exe"});
  ASSERT_EQ(caller.ReadLine(10s), "ready");
  Running later(program);
  ASSERT_TRUE(earlier.ready() && later.ready());

  ASSERT_TRUE(caller.WriteLine("go"));

  const std::optional<int> status = caller.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 0));
  EXPECT_EQ(caller.ReadRest(1s), "");
  EXPECT_TRUE(earlier.WasKilled());
  EXPECT_TRUE(later.WasKilled());
}

// The caller that ends itself its own way: every other copy ends, the caller is told and goes on.
TEST_F(EndProcesses, EndingOthersSparesTheCallerAndSaysItMatched) {
  const std::string name = UniqueProcessName("kpm");
  const auto program = Copy(name);
  Running other(program);
  ASSERT_TRUE(other.ready());
  ChildProcess caller(program, {"end-others", name + ".exe"});
  EXPECT_EQ(caller.ReadLine(10s), "self");
  const std::optional<int> status = caller.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 4));
  EXPECT_TRUE(other.WasKilled());

  ChildProcess stranger(Copy(UniqueProcessName("kpn")), {"end-others", name + ".exe"});
  EXPECT_EQ(stranger.ReadLine(10s), "not self");
}

// The program rule, with real processes: copies of the probe under one file name in two folders.
class EndProgramCopies : public EndProcesses {
 protected:
  EndProgramCopies() {
    std::filesystem::create_directories(ours_);
    std::filesystem::create_directories(theirs_);
  }
  std::filesystem::path ours_ = dir_.path() / "kam";
  std::filesystem::path theirs_ = dir_.path() / "other";
};

TEST_F(EndProgramCopies, OnlyTheProgramOfThatFolderEndsAndInOrder) {
  const std::string name = UniqueProcessName("kqa");
  Running ours(CopyProbeAs(ours_, name));
  Running elsewhere(CopyProbeAs(theirs_, name));
  // Another folder whose name begins like the program directory's.
  std::filesystem::create_directories(dir_.path() / "kam2");
  Running longer_folder(CopyProbeAs(dir_.path() / "kam2", name));
  ASSERT_TRUE(ours.ready() && elsewhere.ready() && longer_folder.ready());

  EXPECT_FALSE(EndOtherCopiesOfProgram(ours_, name + ".exe"));

  // The probe takes SIGTERM's default: it ended on the request, nothing had to force it.
  const std::optional<int> status = ours.Status();
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << "wait status " << *status;
  EXPECT_TRUE(elsewhere.Alive());
  EXPECT_TRUE(longer_folder.Alive());
}

TEST_F(EndProgramCopies, ProgramThatEndsInOrderIsNotForced) {
  const std::string name = UniqueProcessName("kqb");
  ChildProcess orderly(CopyProbeAs(ours_, name), {"orderly", "1500"});
  ASSERT_EQ(orderly.ReadLine(10s), "ready");

  const auto start = std::chrono::steady_clock::now();
  EndOtherCopiesOfProgram(ours_, name);
  const auto took = std::chrono::steady_clock::now() - start;

  const std::optional<int> status = orderly.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 5)) << "wait status " << *status;
  // It returned once the program had ended, not after the whole grace period.
  EXPECT_GE(took, 1500ms);
  std::printf(
      "an orderly end of 1.5 s was waited for %lld ms\n",
      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
}

TEST_F(EndProgramCopies, ProgramThatIgnoresTheRequestIsForcedAfterFiveSeconds) {
  const std::string name = UniqueProcessName("kqc");
  ChildProcess stubborn(CopyProbeAs(ours_, name), {"stubborn"});
  ASSERT_EQ(stubborn.ReadLine(10s), "ready");

  const auto start = std::chrono::steady_clock::now();
  EndOtherCopiesOfProgram(ours_, name);
  const auto took = std::chrono::steady_clock::now() - start;

  const std::optional<int> status = stubborn.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(KilledBySigkill(*status)) << "wait status " << *status;
  EXPECT_GE(took, kEndGrace);
}

// An installer replaces the player's file while it runs; the old process is still the program.
TEST_F(EndProgramCopies, ReplacedExecutableIsStillTheProgram) {
  const std::string name = UniqueProcessName("kam-replaced-");
  const auto program = CopyProbeAs(ours_, name);
  Running running(program, "/elsewhere/other-name");
  ASSERT_TRUE(running.ready());
  std::filesystem::remove(program);

  EndOtherCopiesOfProgram(ours_, name);
  EXPECT_TRUE(running.Status().has_value());
}

TEST_F(EndProgramCopies, TheCallerEndsLastWithStatusZero) {
  const std::string name = UniqueProcessName("kqd");
  const auto program = CopyProbeAs(ours_, name);
  Running other(program);
  ASSERT_TRUE(other.ready());
  ChildProcess caller(program, {"end-program", ours_.string(), name + ".exe"});
  EXPECT_EQ(caller.ReadRest(20s), "");
  const std::optional<int> status = caller.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 0)) << "wait status " << *status;
  EXPECT_TRUE(other.Status().has_value());

  // The same file name in another folder is not the caller's program.
  ChildProcess stranger(CopyProbeAs(theirs_, name), {"end-program", ours_.string(), name});
  EXPECT_EQ(stranger.ReadLine(10s), "after");
}

// The outside player's components are ended by name, but only the user's own. Another user's
// process of that name is a probe run as nobody (possible when the test runs as root).
TEST_F(EndProcesses, NameRuleSparesAnotherUsersProcess) {
  if (geteuid() != 0 || !std::filesystem::exists("/usr/bin/setpriv")) {
    GTEST_SKIP() << "needs root and setpriv to run a process as another user";
  }
  namespace fs = std::filesystem;
  const std::string name = UniqueProcessName("kqe");
  fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
  const auto program = Copy(name);
  fs::permissions(program, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
  ChildProcess nobody("/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                           program.string(), "wait"});
  ASSERT_EQ(nobody.ReadLine(10s), "ready");
  Running own(program);
  ASSERT_TRUE(own.ready());

  EndProcessesByName(name + ".exe");

  EXPECT_TRUE(own.WasKilled());
  EXPECT_TRUE(nobody.WriteLine("ping"));
  EXPECT_EQ(nobody.ReadLine(10s), "alive");
}

}  // namespace
}  // namespace kam
