#include "common/process_start.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "common/atomic_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
using ::kam::testing::ProcessProbePath;

struct Report {
  long pid = 0;
  long ppid = 0;
  long sid = 0;
  std::vector<int> descriptors;
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
  std::istringstream header(bytes->substr(0, newline));
  header >> report.pid >> report.ppid >> report.sid;
  for (int fd; header >> fd;) report.descriptors.push_back(fd);
  std::string rest = bytes->substr(newline + 1);
  for (size_t start = 0, nul; (nul = rest.find('\0', start)) != std::string::npos;
       start = nul + 1) {
    report.arguments.push_back(rest.substr(start, nul - start));
  }
  return report;
}

class StartProgramTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (started_pid_ > 0) kill(static_cast<pid_t>(started_pid_), SIGKILL);
  }
  kam::testing::TempDir dir_;
  long started_pid_ = 0;
};

TEST_F(StartProgramTest, EachArgumentArrivesWhole) {
  const auto file = dir_.path() / "report";
  const std::vector<std::string> arguments = {"2.0###shengji###",     "two words",        "",
                                              "quote\" and 'single'", "\xE7\x89\x88 1.0", "*"};
  std::vector<std::string> command = {"record", file.string(), "0"};
  command.insert(command.end(), arguments.begin(), arguments.end());

  ASSERT_TRUE(StartProgram(ProcessProbePath(), command));

  const std::optional<Report> report = AwaitReport(file);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->arguments, arguments);
}

TEST_F(StartProgramTest, DetachedInItsOwnSessionAndNotOurChild) {
  const auto file = dir_.path() / "report";
  ASSERT_TRUE(StartProgram(ProcessProbePath(), {"record", file.string(), "5000"}));
  // Nothing is left for us to reap: neither the started program nor a helper in between.
  int status;
  const pid_t reaped = waitpid(-1, &status, WNOHANG);
  const int error = errno;
  EXPECT_EQ(reaped, -1);
  EXPECT_EQ(error, ECHILD);

  const std::optional<Report> report = AwaitReport(file);
  ASSERT_TRUE(report.has_value());
  started_pid_ = report->pid;
  EXPECT_NE(report->ppid, static_cast<long>(getpid()));
  EXPECT_NE(report->sid, static_cast<long>(getsid(0)));
  // The call did not wait for the program: it is still running.
  EXPECT_EQ(kill(static_cast<pid_t>(report->pid), 0), 0);
}

TEST_F(StartProgramTest, OurDescriptorsAreNotPassedOn) {
  const auto file = dir_.path() / "report";
  // Opened without close-on-exec, as a careless library might.
  const int leaky = open(dir_.path().c_str(), O_RDONLY);
  ASSERT_GE(leaky, 0);
  const bool started = StartProgram(ProcessProbePath(), {"record", file.string(), "0"});
  close(leaky);
  ASSERT_TRUE(started);

  const std::optional<Report> report = AwaitReport(file);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->descriptors, std::vector<int>{}) << "descriptor " << leaky << " leaked";
}

TEST_F(StartProgramTest, ScriptStarts) {
  const auto marker = dir_.path() / "ran";
  const auto script = dir_.Write("installer.exe", "#!/bin/sh\necho ok > \"$1\"\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  ASSERT_TRUE(StartProgram(script, {marker.string()}));
  // The shell makes the file before it writes the line: an empty file is not yet the answer.
  std::optional<std::string> bytes;
  for (int i = 0; i < 1000; ++i) {
    bytes = ReadFileBytes(marker);
    if (bytes && bytes->ends_with('\n')) break;
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(bytes, "ok\n");
}

TEST_F(StartProgramTest, FailureToStartIsReported) {
  EXPECT_FALSE(StartProgram(dir_.path() / "missing"));
  EXPECT_FALSE(StartProgram(dir_.path()));  // a folder

  const auto not_executable = dir_.Write("plain", "#!/bin/sh\nexit 0\n");
  EXPECT_FALSE(StartProgram(not_executable));

  const auto not_a_program = dir_.Write("garbage", std::string("\x01\x02\x03 not a program", 20));
  std::filesystem::permissions(not_a_program, std::filesystem::perms::owner_all);
  EXPECT_FALSE(StartProgram(not_a_program));

  int status;
  EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1) << "a helper process was left to reap";
}

struct JoinCase {
  std::vector<const char*> argv;
  const char* line;
};

class CommandLine : public ::testing::TestWithParam<JoinCase> {};

TEST_P(CommandLine, ArgumentsAfterTheProgramJoinedWithBlanks) {
  const std::vector<const char*>& argv = GetParam().argv;
  EXPECT_EQ(JoinCommandLine(static_cast<int>(argv.size()), argv.data()), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLine,
    ::testing::Values(JoinCase{{}, ""}, JoinCase{{"/d/update"}, ""},
                      JoinCase{{"/d/update", "2.0###wu###"}, "2.0###wu###"},
                      JoinCase{{"/d/update", "2.0", "beta###shengji###"}, "2.0 beta###shengji###"},
                      JoinCase{{"/d/update", ""}, ""}, JoinCase{{"/d/update", "", "x"}, " x"},
                      JoinCase{{"/d/kamplayer", " lead  and trail "}, " lead  and trail "}));

// What one program starts with a single argument, the other reads back as its command line.
TEST_F(StartProgramTest, StartedArgumentReadsBackAsTheCommandLine) {
  const auto file = dir_.path() / "report";
  const std::string argument = "1.2 \xE6\xAD\xA3\xE5\xBC\x8F###shengji###";
  ASSERT_TRUE(StartProgram(ProcessProbePath(), {"record", file.string(), "0", argument}));
  const std::optional<Report> report = AwaitReport(file);
  ASSERT_TRUE(report.has_value());
  std::vector<const char*> argv = {"update"};
  for (const std::string& a : report->arguments) argv.push_back(a.c_str());
  EXPECT_EQ(JoinCommandLine(static_cast<int>(argv.size()), argv.data()), argument);
}

}  // namespace
}  // namespace kam
