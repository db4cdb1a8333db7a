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

}  // namespace
}  // namespace kam::update
