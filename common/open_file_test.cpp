#include "common/open_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_dir.h"

namespace kam {
namespace {

TEST(FileOpenInThisProcess, FollowsTheFilesHandles) {
  testing::TempDir dir;
  const auto file = dir.path() / "Cookies";
  EXPECT_FALSE(FileOpenInThisProcess(file)) << "a missing file is not open";
  std::ofstream(file) << "x";
  EXPECT_FALSE(FileOpenInThisProcess(file));
  {
    std::ifstream open(file);
    ASSERT_TRUE(open.is_open());
    EXPECT_TRUE(FileOpenInThisProcess(file));
  }
  EXPECT_FALSE(FileOpenInThisProcess(file)) << "closed again";
}

}  // namespace
}  // namespace kam
