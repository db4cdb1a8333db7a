#include "common/path_text.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

const char* const kNames[] = {"plain.txt", "播放列表.ini", "用户 张三", "€ÿ名", "a\xE2\x80\x94" "b"};

TEST(PathText, Utf8RoundTripsThroughThePath) {
  for (const char* name : kNames) {
    const std::filesystem::path path = Utf8Path(name);
    EXPECT_EQ(PathUtf8(path), name);
    EXPECT_EQ(path.filename(), std::filesystem::u8path(name));
  }
}

// A real file under a folder with a Chinese name, made and found again through the UTF-8 forms.
TEST(PathText, NamesReachTheFileSystem) {
  kam::testing::TempDir dir;
  for (const char* name : kNames) {
    const std::filesystem::path folder = dir.path() / Utf8Path("看吧影院");
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = Utf8Path(PathUtf8(folder) + "/" + name);
    ASSERT_TRUE(WriteFileAtomically(file, name)) << name;
    EXPECT_EQ(ReadFileBytes(folder / Utf8Path(name)), name);
    bool listed = false;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      listed = listed || PathUtf8(entry.path().filename()) == name;
    }
    EXPECT_TRUE(listed) << name;
  }
}

}  // namespace
}  // namespace kam
