#include <gtest/gtest.h>

#include "player/browse/desktop_shortcut.h"

namespace kam {
namespace {

TEST(QuoteExecArgument, QuotesAndEscapesTheReservedCharacters) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain", "\"plain\""},       {"", "\"\""},
      {"a b", "\"a b\""},           {"q\"b`d$s\\e", "\"q\\\"b\\`d\\$s\\\\e\""},
      {"100%", "\"100%%\""},        {"%u", "\"%%u\""},
      {"'single'", "\"'single'\""}, {"中文", "\"中文\""},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteExecArgument(c.in), c.out) << c.in;
}

TEST(EscapeEntryValue, EscapesBackslashesAndLineBreaks) {
  EXPECT_EQ(EscapeEntryValue("a\\b"), "a\\\\b");
  EXPECT_EQ(EscapeEntryValue("l1\nl2\tx\r"), "l1\\nl2\\tx\\r");
  EXPECT_EQ(EscapeEntryValue(" lead and mid "), "\\slead and mid ");
  EXPECT_EQ(EscapeEntryValue("名字"), "名字");
}

TEST(DesktopEntryText, NamesTheProgramWithItsArgumentAndTheIcon) {
  DesktopShortcut s{"file", "/opt/my kam/kamplayer", "a\\b\"c%", "剧 名",
                    "/opt/my kam/skin/icon.ico"};
  const std::string text = DesktopEntryText(s);
  EXPECT_EQ(text,
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Version=1.0\n"
            "Name=剧 名\n"
            "Comment=剧 名\n"
            // Quoting first (\ becomes \\), then the value's own escaping doubles each backslash.
            "Exec=\"/opt/my kam/kamplayer\" \"a\\\\\\\\b\\\\\"c%%\"\n"
            "Icon=/opt/my kam/skin/icon.ico\n"
            "Terminal=false\n");
}

TEST(DesktopFolderFrom, PrefersXdgUserDirThenTheVariableThenHome) {
  EXPECT_EQ(DesktopFolderFrom(std::string("/home/u/桌面\n"), "/x", "/home/u"),
            std::filesystem::path("/home/u/桌面"));
  EXPECT_EQ(DesktopFolderFrom(std::nullopt, "/x/desk", "/home/u"),
            std::filesystem::path("/x/desk"));
  EXPECT_EQ(DesktopFolderFrom(std::string("relative\n"), "also-relative", "/home/u"),
            std::filesystem::path("/home/u/Desktop"));
  EXPECT_EQ(DesktopFolderFrom(std::string(""), nullptr, "/h"), std::filesystem::path("/h/Desktop"));
  EXPECT_FALSE(DesktopFolderFrom(std::nullopt, nullptr, nullptr).has_value());
  EXPECT_FALSE(DesktopFolderFrom(std::nullopt, "", "").has_value());
}

}  // namespace
}  // namespace kam
