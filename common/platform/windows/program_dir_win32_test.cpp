// The program directory of a real program copied into folders with Chinese names.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/path_text.h"
#include "common/program_dir.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::chrono_literals;
using ::kam::testing::ChildProcess;
using ::kam::testing::CopyProbeAs;

TEST(ProgramDirWin32, ExecutableKnowsItsOwnPathUnderChineseFolders) {
  kam::testing::TempDir dir;
  for (const char* folder : {"plain", "看吧影院", "用户 张三\\程序 目录"}) {
    const std::filesystem::path where = dir.path() / Utf8Path(folder);
    std::filesystem::create_directories(where);
    const std::filesystem::path program = CopyProbeAs(where, "kamplayer.exe");
    ChildProcess child(program, {"where"});
    const std::optional<std::string> line = child.ReadLine(10s);
    ASSERT_TRUE(line.has_value()) << folder;
    EXPECT_TRUE(std::filesystem::equivalent(Utf8Path(*line), program)) << *line;
    EXPECT_EQ(Utf8Path(*line).parent_path(), program.parent_path()) << *line;
  }
}

TEST(ProgramDirWin32, ProgramFilesSitInTheExecutablesFolder) {
  const std::filesystem::path self = ExecutablePath();
  ASSERT_TRUE(std::filesystem::exists(self));
  EXPECT_EQ(ExecutableDir(), self.parent_path());
  EXPECT_EQ(ProgramFile(ExecutableDir(), "\\kam_process_probe.exe"),
            kam::testing::ProcessProbePath());
  EXPECT_EQ(ProgramFile(Utf8Path("C:\\看吧"), "\\skin\\配置.ini"),
            Utf8Path("C:\\看吧") / Utf8Path("skin") / Utf8Path("配置.ini"));
}

}  // namespace
}  // namespace kam
