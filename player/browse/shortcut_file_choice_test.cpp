#include "player/browse/shortcut_file_choice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "player/browse/desktop_shortcut.h"

namespace kam {
namespace {

struct ChoiceCase {
  const char* name;
  std::map<std::string, DesktopSlot> desktop;  // taken names; the rest are free
  std::optional<std::string> chosen;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class ChoiceRule : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceRule, ReplacesOnlyTheOwnFileElseTakesTheFirstFreeName) {
  const auto& desktop = GetParam().desktop;
  int asked = 0;
  const auto chosen = ChooseShortcutFileName("名字", [&](const std::string& n) {
    ++asked;
    const auto it = desktop.find(n);
    return it == desktop.end() ? DesktopSlot::kFree : it->second;
  });
  EXPECT_EQ(chosen, GetParam().chosen);
  EXPECT_LE(asked, kMaxShortcutNameTries);
}

std::map<std::string, DesktopSlot> Taken(int count) {
  std::map<std::string, DesktopSlot> m{{"名字", DesktopSlot::kOther}};
  for (int i = 2; i <= count; ++i) m["名字 (" + std::to_string(i) + ")"] = DesktopSlot::kOther;
  return m;
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, ChoiceRule,
    ::testing::Values(ChoiceCase{"EmptyDesktop", {}, "名字"},
                      ChoiceCase{"OwnFileIsReplaced", {{"名字", DesktopSlot::kPlayersOwn}}, "名字"},
                      ChoiceCase{"OtherFileIsKept", {{"名字", DesktopSlot::kOther}}, "名字 (2)"},
                      ChoiceCase{
                          "OwnSecondNameIsReused",
                          {{"名字", DesktopSlot::kOther}, {"名字 (2)", DesktopSlot::kPlayersOwn}},
                          "名字 (2)"},
                      ChoiceCase{"GapIsFilled",
                                 {{"名字", DesktopSlot::kOther},
                                  {"名字 (2)", DesktopSlot::kOther},
                                  {"名字 (4)", DesktopSlot::kOther}},
                                 "名字 (3)"},
                      ChoiceCase{"LastTry", Taken(kMaxShortcutNameTries - 1),
                                 "名字 (" + std::to_string(kMaxShortcutNameTries) + ")"},
                      ChoiceCase{"AllTaken", Taken(kMaxShortcutNameTries), std::nullopt}));

const std::filesystem::path kProgram = "/opt/kam dir/kamplayer";

TEST(DesktopEntryOwner, TheEntriesThePlayerWritesAreItsOwn) {
  DesktopShortcut s{"剧 名", kProgram, "arg \"$`\\%", "剧 名", "/opt/kam dir/skin/icon.ico"};
  EXPECT_TRUE(IsDesktopEntryOf(DesktopEntryText(s), kProgram));
  s.program = "/other/kamplayer";
  EXPECT_FALSE(IsDesktopEntryOf(DesktopEntryText(s), kProgram));
}

TEST(DesktopEntryOwner, ReadsExecByTheEntryRules) {
  const struct {
    const char* text;
    bool own;
  } cases[] = {
      {"[Desktop Entry]\nExec=firefox %u\n", false},
      {"[Desktop Entry]\nExec=\"/opt/kam dir/kamplayer\" x\n", true},
      {"[Desktop Entry]\r\nExec = \"/opt/kam\\sdir/kamplayer\"\r\n", true},
      {"[Desktop Entry]\nExec=/opt/kam\\sdir/kamplayer\n", false},  // unquoted: cut at the blank
      {"[Desktop Entry]\nExec=\"/opt/kam dir/kamplayer2\"\n", false},
      {"[Desktop Entry]\nExec=\"/opt/kam dir/kamplayer/../kamplayer\"\n", false},
      {"[Desktop Action x]\nExec=\"/opt/kam dir/kamplayer\"\n[Desktop Entry]\nExec=sh\n", false},
      {"[Desktop Entry]\nName=x\n", false},
      {"# Exec=\"/opt/kam dir/kamplayer\"\n", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsDesktopEntryOf(c.text, kProgram), c.own) << c.text;
}

}  // namespace
}  // namespace kam
