// Which processes are ended and in what order, on a table of made-up processes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/end_processes.h"
#include "common/path_text.h"

namespace kam {
namespace {

using namespace std::chrono_literals;

#ifdef _WIN32
constexpr char kDir[] = "C:\\Program Files\\kam";
#define P(text) "C:\\Program Files\\" text
#else
constexpr char kDir[] = "/opt/kam";
#define P(text) "/opt/" text
#endif

std::string Slashed(std::string text) {
#ifdef _WIN32
  for (char& c : text) c = c == '/' ? '\\' : c;
#endif
  return text;
}

struct ProgramCase {
  const char* executable;  // written with '/', the system's separator on Windows
  const char* file_name;
  bool ours;
};

void PrintTo(const ProgramCase& c, std::ostream* os) {
  *os << '"' << c.executable << "\" for \"" << c.file_name << '"';
}

class ProgramRule : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramRule, FullPathInTheProgramDirectoryOnly) {
  ProcessFacts process;
  process.executable = Slashed(GetParam().executable);
  process.names = {"kamplayer"};
  process.same_user = true;
  EXPECT_EQ(IsProgramOf(process, Utf8Path(kDir), GetParam().file_name), GetParam().ours);
}

const ProgramCase kProgramCases[] = {
#ifdef _WIN32
    {P("kam/kamplayer.exe"), "kamplayer.exe", true},
    {P("KAM/KamPlayer.EXE"), "kamplayer.exe", true},
    {P("kam/update.exe"), "update.exe", true},
    // Windows names carry their extension.
    {P("kam/kamplayer"), "kamplayer.exe", false},
#else
    {P("kam/kamplayer"), "kamplayer.exe", true},
    {P("kam/kamplayer"), "kamplayer", true},
    {P("kam/update"), "update.exe", true},
    // Folders are compared as the file system names them.
    {P("KAM/kamplayer"), "kamplayer.exe", false},
#endif
    // The same file name anywhere else is another program.
    {P("other/kamplayer"), "kamplayer.exe", false},
    {P("other/update.exe"), "update.exe", false},
    {P("kam2/kamplayer"), "kamplayer.exe", false},
    {P("kam/sub/kamplayer"), "kamplayer.exe", false},
    {P("kamplayer"), "kamplayer.exe", false},
    {"kamplayer", "kamplayer.exe", false},
    {"", "kamplayer.exe", false},
    // Whole file names only.
    {P("kam/xkamplayer"), "kamplayer.exe", false},
    {P("kam/kamplayerx"), "kamplayer.exe", false},
    {P("kam/update"), "kamplayer.exe", false},
};

INSTANTIATE_TEST_SUITE_P(Paths, ProgramRule, ::testing::ValuesIn(kProgramCases));

TEST(ProgramRule, TrailingSeparatorOfTheDirectoryDoesNotMatter) {
  ProcessFacts process;
  process.executable = Slashed(P("kam/kamplayer.exe"));
  EXPECT_TRUE(IsProgramOf(process, Utf8Path(std::string(kDir) + Slashed("/")), "kamplayer.exe"));
  EXPECT_FALSE(IsProgramOf(process, Utf8Path(""), "kamplayer.exe"));
}

TEST(NameRule, OnlyTheUsersOwnProcesses) {
  ProcessFacts process;
  process.executable = Slashed(P("xg/xgweb.exe"));
  process.names = {"other", "xgweb.exe"};
  process.same_user = true;
  EXPECT_TRUE(IsUsersProcessNamed(process, "xgweb.exe"));
  EXPECT_TRUE(IsUsersProcessNamed(process, "XGWEB.EXE"));
  EXPECT_FALSE(IsUsersProcessNamed(process, "xgtray.exe"));
  process.same_user = false;
  EXPECT_FALSE(IsUsersProcessNamed(process, "xgweb.exe"));
}

// A process table of made-up processes that records what is done to it. A held process ends
// when asked if it listens, after `ends_after_polls` looks; forced ones end at once.
class FakeTable : public ProcessTable {
 public:
  struct Process {
    ProcessFacts facts;
    bool listens = true;
    int ends_after_polls = 0;
  };
  explicit FakeTable(std::vector<Process> processes) : processes_(std::move(processes)) {}

  void Select(const ProcessSelector& select) override {
    held_.clear();
    for (size_t i = 0; i < processes_.size(); ++i) {
      if (select(processes_[i].facts)) held_.push_back(i);
    }
    log.push_back("select " + std::to_string(held_.size()));
  }
  void AskToEnd() override {
    asked_ = true;
    log.push_back("ask");
  }
  bool AllEnded() override {
    ++polls_;
    for (size_t i : held_) {
      const Process& p = processes_[i];
      if (!asked_ || !p.listens || polls_ <= p.ends_after_polls) return false;
    }
    return true;
  }
  void ForceEnd() override { log.push_back("force"); }
  void Sleep(std::chrono::milliseconds duration) override { slept += duration; }

  std::vector<std::string> log;
  std::chrono::milliseconds slept{0};

 private:
  std::vector<Process> processes_;
  std::vector<size_t> held_;
  bool asked_ = false;
  int polls_ = 0;
};

FakeTable::Process Program(const char* executable, bool self = false) {
  FakeTable::Process p;
  p.facts.executable = Slashed(executable);
  p.facts.names = {"kamplayer"};
  p.facts.same_user = true;
  p.facts.self = self;
  return p;
}

bool Ours(const ProcessFacts& p) { return IsProgramOf(p, Utf8Path(kDir), "kamplayer.exe"); }

#ifdef _WIN32
#define OURS P("kam/kamplayer.exe")
#else
#define OURS P("kam/kamplayer")
#endif

TEST(EndSelectedProcesses, AskedFirstAndWaitedForOnlyUntilTheyEnd) {
  FakeTable::Process slow = Program(OURS);
  slow.ends_after_polls = 3;
  FakeTable table({slow, Program(P("other/kamplayer"))});
  EXPECT_FALSE(EndSelectedProcesses(table, Ours, Ending::kAskFirst));
  EXPECT_EQ(table.log, (std::vector<std::string>{"select 1", "ask", "force"}));
  EXPECT_EQ(table.slept, 150ms);
}

TEST(EndSelectedProcesses, OneThatDoesNotListenIsForcedAfterTheGrace) {
  FakeTable::Process deaf = Program(OURS);
  deaf.listens = false;
  FakeTable table({Program(OURS), deaf});
  EndSelectedProcesses(table, Ours, Ending::kAskFirst);
  EXPECT_EQ(table.log, (std::vector<std::string>{"select 2", "ask", "force"}));
  EXPECT_EQ(table.slept, kEndGrace);
}

TEST(EndSelectedProcesses, AtOnceNeitherAsksNorWaits) {
  FakeTable table({Program(OURS)});
  EndSelectedProcesses(table, Ours, Ending::kAtOnce);
  EXPECT_EQ(table.log, (std::vector<std::string>{"select 1", "force"}));
  EXPECT_EQ(table.slept, 0ms);
}

TEST(EndSelectedProcesses, TheCallerIsLeftToItselfAndTold) {
  FakeTable table({Program(OURS, /*self=*/true), Program(OURS)});
  EXPECT_TRUE(EndSelectedProcesses(table, Ours, Ending::kAskFirst));
  EXPECT_EQ(table.log, (std::vector<std::string>{"select 1", "ask", "force"}));

  FakeTable alone({Program(OURS, /*self=*/true)});
  EXPECT_TRUE(EndSelectedProcesses(alone, Ours, Ending::kAskFirst));
  EXPECT_EQ(alone.log, (std::vector<std::string>{"select 0", "ask", "force"}));
  EXPECT_EQ(alone.slept, 0ms);
}

}  // namespace
}  // namespace kam
