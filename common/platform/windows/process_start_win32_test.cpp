// The detached start with real processes: arguments arrive whole, the started program outlives
// its starter and holds none of its handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "common/atomic_file.h"
#include "common/path_text.h"
#include "common/process_start.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
using ::kam::testing::ChildProcess;
using ::kam::testing::CopyProbeAs;
using ::kam::testing::ExitedWith;
using ::kam::testing::ProcessProbePath;
using ::kam::testing::UniqueProcessName;

struct Report {
  DWORD pid = 0;
  std::vector<std::string> arguments;
};

// Waits (bounded) for the report a "record" probe writes.
std::optional<Report> AwaitReport(const std::filesystem::path& file) {
  std::optional<std::string> bytes;
  for (int i = 0; i < 1000 && !(bytes = ReadFileBytes(file)); ++i) {
    std::this_thread::sleep_for(10ms);
  }
  if (!bytes) return std::nullopt;
  Report report;
  const size_t newline = bytes->find('\n');
  std::istringstream(bytes->substr(0, newline)) >> report.pid;
  const std::string rest = bytes->substr(newline + 1);
  for (size_t start = 0, nul; (nul = rest.find('\0', start)) != std::string::npos;
       start = nul + 1) {
    report.arguments.push_back(rest.substr(start, nul - start));
  }
  return report;
}

bool StillRunning(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return false;
  DWORD code = 0;
  const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

class StartProgramWin32 : public ::testing::Test {
 protected:
  void TearDown() override {
    if (started_pid_ == 0) return;
    if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, started_pid_)) {
      TerminateProcess(p, 1);
      WaitForSingleObject(p, 10000);
      CloseHandle(p);
    }
  }
  kam::testing::TempDir dir_;
  std::filesystem::path folder_ = [this] {
    const std::filesystem::path f = dir_.path() / Utf8Path("看吧 影院");
    std::filesystem::create_directories(f);
    return f;
  }();
  DWORD started_pid_ = 0;
};

TEST_F(StartProgramWin32, EachArgumentArrivesWhole) {
  const auto file = folder_ / Utf8Path("报告");
  const std::vector<std::string> arguments = {
      "2.0###shengji###", "two words", "", "quote\" and 'single'", "\xE7\x89\x88 1.0", "*",
      "C:\\Program Files\\看吧\\", "back\\\\slashes\\\"quote"};
  std::vector<std::string> command = {"record", PathUtf8(file), "0"};
  command.insert(command.end(), arguments.begin(), arguments.end());

  // The program itself in a folder with a Chinese name and a blank.
  ASSERT_TRUE(StartProgram(CopyProbeAs(folder_, "播放器.exe"), command));

  const std::optional<Report> report = AwaitReport(file);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->arguments, arguments);
}

// The starter runs with pipes on its standard handles and a lock held, starts a lingering copy
// and ends. Its output reaches its end at once (the copy inherited no pipe), the copy outlives
// it, and the lock is free again (the copy inherited no handle of the mutex).
TEST_F(StartProgramWin32, StartedProgramOutlivesItsStarterAndHoldsNoneOfItsHandles) {
  const auto file = folder_ / "report";
  const std::string name = UniqueProcessName("kws");
  ChildProcess starter(ProcessProbePath(), {"lock-start", PathUtf8(folder_), name, PathUtf8(file)});
  ASSERT_TRUE(starter.started());
  const std::optional<int> status = starter.Wait(10s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(ExitedWith(*status, 0)) << *status;

  const std::optional<Report> report = AwaitReport(file);
  ASSERT_TRUE(report.has_value());
  started_pid_ = report->pid;
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(starter.ReadRest(10s), "");
  EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
  EXPECT_TRUE(StillRunning(report->pid));

  ChildProcess holder(ProcessProbePath(), {"lock", PathUtf8(folder_), name});
  EXPECT_EQ(holder.ReadLine(10s), "held");
}

TEST_F(StartProgramWin32, WhatIsNoProgramIsNotStarted) {
  EXPECT_FALSE(StartProgram(folder_ / "missing.exe"));
  const auto text = folder_ / Utf8Path("说明.exe");
  ASSERT_TRUE(WriteFileAtomically(text, "not a program"));
  EXPECT_FALSE(StartProgram(text));
}

}  // namespace
}  // namespace kam
