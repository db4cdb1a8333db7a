#include "player/browse/shortcut_name.h"

#include <gtest/gtest.h>

namespace kam {
namespace {

TEST(SafeShortcutFileName, KeepsOrdinaryNamesAndReplacesWhatCouldEscapeOrHide) {
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"权力的游戏 第一季", "权力的游戏 第一季"},
      {"Title", "Title"},
      {"a/b\\c", "a_b_c"},
      {"../../etc/x", "_.._etc_x"},
      {"..", kFallbackShortcutName},
      {".hidden", "hidden"},
      {" . name. ", "name"},
      {"tab\there\nnew", "tab_here_new"},
      {"a<b>c:d\"e|f?g*h", "a_b_c_d_e_f_g_h"},
      {"", kFallbackShortcutName},
      {"...", kFallbackShortcutName},
      {"CON", "CON_"},
      {"nul.txt", "nul.txt_"},
      {"COM1", "COM1_"},
      {"COMA", "COMA"},
      {std::string("bad\xff\xfe"), "bad__"},
      {std::string("\xc2\x85x"), "__x"},  // C1 control, and its bytes, each become "_"
  };
  for (const auto& c : cases) EXPECT_EQ(SafeShortcutFileName(c.in), c.out) << c.in;
}

TEST(SafeShortcutFileName, CutsLongNamesOnACharacterBoundary) {
  std::string name;
  for (int i = 0; i < 100; ++i) name += "集";  // 3 bytes each
  const std::string safe = SafeShortcutFileName(name);
  EXPECT_LE(safe.size(), kMaxShortcutNameBytes);
  EXPECT_EQ(safe.size() % 3, 0u);
  EXPECT_EQ(safe, name.substr(0, safe.size()));
  EXPECT_GT(safe.size(), kMaxShortcutNameBytes - 3);
}

}  // namespace
}  // namespace kam
