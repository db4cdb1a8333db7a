#include "common/version_rule.h"

#include <gtest/gtest.h>

namespace kam {
namespace {

struct Case {
  const char* name;
  const char* installed;
  const char* offered;
  bool due;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class VersionRule : public ::testing::TestWithParam<Case> {};

TEST_P(VersionRule, DecidesAsOrdinalText) {
  EXPECT_EQ(IsUpgradeDue(GetParam().installed, GetParam().offered), GetParam().due);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionRule,
    ::testing::Values(Case{"NewerMinor", "1.0", "1.1", true},
                      Case{"OlderMinor", "1.1", "1.0", false},
                      Case{"TextNotNumber", "1.10", "1.9", true},
                      Case{"TextNotNumberReverse", "1.9", "1.10", false},
                      Case{"LongerTextAfterItsBeginning", "1.0", "1.0.1", true},
                      Case{"ShorterTextBeforeItsContinuation", "1.0.1", "1.0", false},
                      Case{"Equal", "2.0", "2.0", false}, Case{"EmptyOffered", "1.0", "", false},
                      Case{"BothEmpty", "", "", false}, Case{"NoInstalledVersion", "", "0", true},
                      // No case folding: capital letters sort before small ones.
                      Case{"CapitalBeforeSmall", "1.0A", "1.0a", true},
                      Case{"SmallAfterCapital", "1.0a", "1.0A", false},
                      // Double-byte characters sort after every ASCII character.
                      Case{"ChineseAfterAscii", "1.0z", "1.0\xE7\x89\x88", true},
                      // "版" is B0E6 and "正" is D5FD in GBK, while their Unicode order is the
                      // other way round (7248 and 6B63): the code page decides.
                      Case{"ChineseInCodePageOrder", "1.0\xE7\x89\x88", "1.0\xE6\xAD\xA3", true},
                      Case{"ChineseInCodePageOrderReverse", "1.0\xE6\xAD\xA3", "1.0\xE7\x89\x88",
                           false}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kam
