#include "common/updater_command.h"

#include <gtest/gtest.h>

namespace kam {
namespace {

using Status = UpdaterCommand::Status;

TEST(UpdaterArgument, UpgradeDue) {
  EXPECT_EQ(BuildUpdaterArgument("2.0", true), "2.0###shengji###");
}

TEST(UpdaterArgument, Current) { EXPECT_EQ(BuildUpdaterArgument("2.0", false), "2.0###wu###"); }

TEST(UpdaterArgument, EmptyAndChineseVersionsGoAsTheyAre) {
  EXPECT_EQ(BuildUpdaterArgument("", false), "###wu###");
  EXPECT_EQ(BuildUpdaterArgument("3.0 \xE6\xAD\xA3\xE5\xBC\x8F", true),
            "3.0 \xE6\xAD\xA3\xE5\xBC\x8F###shengji###");
}

// What the player builds, the updater reads back: version and mode survive the trip.
TEST(UpdaterArgument, RoundTrip) {
  for (const char* version : {"2.0", "1.10", "", "v 3 beta", "\xE7\x89\x88"}) {
    for (bool due : {true, false}) {
      const UpdaterCommand command = ParseUpdaterCommand(BuildUpdaterArgument(version, due));
      EXPECT_EQ(command.status, Status::kOk) << version;
      EXPECT_EQ(command.offered_version, version);
      EXPECT_EQ(UpdaterModeOf(command.mode), due ? UpdaterMode::kUpgrade : UpdaterMode::kCurrent);
    }
  }
}

struct SplitCase {
  const char* text;
  std::vector<std::string> fields;
};

class UpdaterFields : public ::testing::TestWithParam<SplitCase> {};

TEST_P(UpdaterFields, SplitAtEveryHashTriple) {
  EXPECT_EQ(SplitUpdaterFields(GetParam().text), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UpdaterFields,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"abc", {"abc"}},
                      SplitCase{"2.0###shengji###", {"2.0", "shengji", ""}},
                      SplitCase{"###", {"", ""}}, SplitCase{"a###b###c###d", {"a", "b", "c", "d"}},
                      // Left to right without overlap: four hashes are one separator and a "#".
                      SplitCase{"a####b", {"a", "#b"}}, SplitCase{"a##b", {"a##b"}},
                      SplitCase{"a######b", {"a", "", "b"}}));

struct ParseCase {
  const char* name;
  const char* line;
  Status status;
  const char* version;
  const char* mode;
  UpdaterMode meaning;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class UpdaterCommandLine : public ::testing::TestWithParam<ParseCase> {};

TEST_P(UpdaterCommandLine, Reads) {
  const ParseCase& c = GetParam();
  const UpdaterCommand command = ParseUpdaterCommand(c.line);
  EXPECT_EQ(command.status, c.status);
  EXPECT_EQ(command.offered_version, c.version);
  EXPECT_EQ(command.mode, c.mode);
  EXPECT_EQ(UpdaterModeOf(command.mode), c.meaning);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, UpdaterCommandLine,
    ::testing::Values(
        ParseCase{"Upgrade", "2.0###shengji###", Status::kOk, "2.0", "shengji",
                  UpdaterMode::kUpgrade},
        ParseCase{"Current", "2.0###wu###", Status::kOk, "2.0", "wu", UpdaterMode::kCurrent},
        ParseCase{"WithoutTrailingSeparator", "2.0###wu", Status::kOk, "2.0", "wu",
                  UpdaterMode::kCurrent},
        ParseCase{"ModeIsCaseSensitive", "2.0###Shengji###", Status::kOk, "2.0", "Shengji",
                  UpdaterMode::kBlank},
        ParseCase{"ModeIsNotTrimmed", "2.0### wu###", Status::kOk, "2.0", " wu",
                  UpdaterMode::kBlank},
        ParseCase{"EmptyMode", "2.0######", Status::kOk, "2.0", "", UpdaterMode::kBlank},
        ParseCase{"EmptyVersion", "###shengji###", Status::kOk, "", "shengji",
                  UpdaterMode::kUpgrade},
        ParseCase{"ThirdFieldIgnored", "2.0###wu###shengji", Status::kOk, "2.0", "wu",
                  UpdaterMode::kCurrent},
        // A version text that itself holds "###" pushes its tail into the mode field.
        ParseCase{"SeparatorInsideVersion", "2###0###shengji###", Status::kOk, "2", "0",
                  UpdaterMode::kBlank},
        ParseCase{"Empty", "", Status::kEmpty, "", "", UpdaterMode::kBlank},
        ParseCase{"NoSeparator", "2.0 shengji", Status::kNoMode, "2.0 shengji", "",
                  UpdaterMode::kBlank}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kam
