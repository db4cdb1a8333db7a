#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace kam {
namespace {

TEST(AtomicFile, ReplacesContentAndLeavesNoTemporaryFile) {
  testing::TempDir dir;
  const auto target = dir.Write("a.txt", "old");
  ASSERT_TRUE(WriteFileAtomically(target, std::string("new\r\n\0x", 7)));
  EXPECT_EQ(ReadFileBytes(target), std::string("new\r\n\0x", 7));
  int files = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
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

}  // namespace
}  // namespace kam
