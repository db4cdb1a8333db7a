#include "update/path_strings.h"

#include <gtest/gtest.h>

namespace kam::update {
namespace {

struct AddCase {
  const char* text;
  const char* suffix;
  const char* expected;
};

class AddStringTest : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddStringTest, AppendsOnlyWhenMissing) {
  EXPECT_EQ(AddString(GetParam().text, GetParam().suffix), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddStringTest,
    ::testing::Values(AddCase{"C:\\kam", "\\", "C:\\kam\\"},
                      AddCase{"C:\\", "\\", "C:\\"},          // a drive root keeps one separator
                      AddCase{"/opt/kam", "/", "/opt/kam/"},  //
                      AddCase{"", "\\", "\\"},                //
                      AddCase{"setup.EXE", ".exe", "setup.EXE"},  // compared case-insensitively
                      AddCase{"setup", ".exe", "setup.exe"},      //
                      AddCase{"x", "long suffix", "xlong suffix"}));

struct NameCase {
  const char* path;
  bool without_extension;
  const char* expected;
};

class GetFileNameInPathTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(GetFileNameInPathTest, TakesTheLastPathPiece) {
  EXPECT_EQ(GetFileNameInPath(GetParam().path, GetParam().without_extension), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetFileNameInPathTest,
    ::testing::Values(
        NameCase{"http://127.0.0.1:18731/sela_pid_uid.exe", false, "sela_pid_uid.exe"},
        NameCase{"http://127.0.0.1:18731/sela_pid_uid.exe", true, "sela_pid_uid"},
        NameCase{"  http://host/a/b/setup.tar.gz  ", false, "setup.tar.gz"},
        NameCase{"http://host/a/b/setup.tar.gz", true, "setup.tar"},
        // A backslash wins over any slash, even one further right.
        NameCase{"C:\\dir\\x/y.exe", false, "x/y.exe"}, NameCase{"no-separator.exe", false, ""},
        NameCase{"http://host/dir/", false, ""}, NameCase{"http://host/README", true, "README"}));

}  // namespace
}  // namespace kam::update
