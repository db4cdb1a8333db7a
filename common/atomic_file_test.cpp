#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <set>

#include "common/atomic_file_platform.h"
#include "common/process_id.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kam {
namespace {

std::set<std::string> FileNames(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.insert(e.path().filename().string());
  }
  return names;
}

// No process has this number: above Linux's largest, and not a multiple of 4 as Windows' are.
constexpr long kNoSuchProcess = 2147483647;

TEST(AtomicFile, ReplacesContentAndLeavesNoTemporaryFile) {
  testing::TempDir dir;
  const auto target = dir.Write("a.txt", "old");
  for (bool flush : {true, false}) {
    SetFlushToDisk(flush);
    const std::string bytes = std::string("new\r\n\0x", 7) + (flush ? "1" : "0");
    ASSERT_TRUE(WriteFileAtomically(target, bytes));
    EXPECT_EQ(ReadFileBytes(target), bytes);
    EXPECT_EQ(FileNames(dir.path()), std::set<std::string>{"a.txt"});
  }
  SetFlushToDisk(true);
}

TEST(AtomicFile, MissingFolderFailsWithoutSideEffects) {
  testing::TempDir dir;
  EXPECT_FALSE(WriteFileAtomically(dir.path() / "missing" / "a.txt", "x"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST(AtomicFile, ReadOfMissingFileOrFolderIsNothing) {
  testing::TempDir dir;
  EXPECT_FALSE(ReadFileBytes(dir.path() / "none").has_value());
  EXPECT_FALSE(ReadFileBytes(dir.path()).has_value());
}

TEST(AtomicFile, ReadsLargeBinaryFileWhole) {
  testing::TempDir dir;
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  EXPECT_EQ(ReadFileBytes(dir.Write("big.bin", bytes)), bytes);
}

TEST(AtomicFile, CommitPutsAFinishedTemporaryFileInPlace) {
  testing::TempDir dir;
  const auto target = dir.Write("Data.dat", "old");
  const auto temp = TemporaryPathBeside(target);
  dir.Write(temp.filename().string(), "new");
  ASSERT_TRUE(CommitTemporaryFile(temp, target));
  EXPECT_EQ(ReadFileBytes(target), "new");
  EXPECT_EQ(FileNames(dir.path()), std::set<std::string>{"Data.dat"});

  // A rename that cannot happen (the target is a non-empty folder) keeps both as they were,
  // and the temporary file goes.
  const auto folder_target = dir.Write("busy/inside", "x").parent_path();
  const auto temp2 = TemporaryPathBeside(folder_target);
  dir.Write(temp2.filename().string(), "new");
  EXPECT_FALSE(CommitTemporaryFile(temp2, folder_target));
  EXPECT_FALSE(std::filesystem::exists(temp2));
  EXPECT_EQ(ReadFileBytes(folder_target / "inside"), "x");
}

TEST(AtomicFile, TemporaryNamesAreUniqueAndBesideTheTarget) {
  testing::TempDir dir;
  const auto target = dir.path() / "List.html";
  std::set<std::string> names;
  for (int i = 0; i < 100; ++i) {
    const auto temp = TemporaryPathBeside(target);
    EXPECT_EQ(temp.parent_path(), dir.path());
    names.insert(temp.filename().string());
  }
  EXPECT_EQ(names.size(), 100u);
}

// What a successful write sweeps: temporary files of the same target whose writer has died.
TEST(AtomicFile, WriteRemovesOnlyTemporaryFilesOfDeadWriters) {
  testing::TempDir dir;
  const auto target = dir.Write("Config.ini", "old");
  const std::string self = std::to_string(CurrentProcessId());
  struct Case {
    std::string name;
    bool swept;
  };
  std::vector<Case> cases = {
      {".Config.ini.tmp-" + std::to_string(kNoSuchProcess) + "-17-0", true},
      {".Config.ini.tmp-" + self + "-1-3", true},  // an earlier run with this process's number
      {TemporaryPathBeside(target).filename().string(), false},  // this run's, being written
      {".Config.ini.tmp-" + std::to_string(kNoSuchProcess) + "-17", false},  // not our form
      {".Config.ini.tmp-x-1-2", false},
      {".Other.ini.tmp-" + std::to_string(kNoSuchProcess) + "-17-0", false},  // another target
      {"Config.ini.tmp-" + std::to_string(kNoSuchProcess) + "-17-0", false},
  };
#ifndef _WIN32
  cases.push_back({".Config.ini.tmp-" + std::to_string(getppid()) + "-5-0", false});  // running
#endif
  for (const Case& c : cases) dir.Write(c.name, "partial");
  ASSERT_TRUE(WriteFileAtomically(target, "new"));
  for (const Case& c : cases) {
    EXPECT_EQ(std::filesystem::exists(dir.path() / c.name), !c.swept) << c.name;
  }
}

TEST(AtomicFile, ProcessRunningKnowsThisProcessAndNoOther) {
  EXPECT_TRUE(platform::ProcessRunning(CurrentProcessId()));
  EXPECT_FALSE(platform::ProcessRunning(kNoSuchProcess));
  EXPECT_FALSE(platform::ProcessRunning(0));
}

}  // namespace
}  // namespace kam
