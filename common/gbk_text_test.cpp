#include "player/playlist/gbk_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/code_page.h"

namespace kam::playlist {
namespace {

const char* const kTexts[] = {
    "",
    "plain ascii 0123 ~!@#$%^*()",
    "第1集 高清 超清 某某电视剧",
    "€ · — “引号” 《书名》 ①",
    "ß é ñ ü Ω Я",         // Latin, Greek, Cyrillic
    "日本語 かな 한국어",  // some without a code in the page
    "emoji \xF0\x9F\x98\x80 end",
    "\xE4\xB8",      // cut short
    "\xC0\xBC tag",  // overlong "<"
    "\xFF\xFE bad lead",
    "\xE4\x41\x42 bad continuation",
    "\xED\xA0\x80 surrogate",
};

TEST(GbkTextTest, SameBytesAsTheCodePage) {
  for (const char* text : kTexts) {
    std::string out = "prefix";
    AppendAsGbk(out, text);
    EXPECT_EQ(out, "prefix" + Utf8ToGbk(text)) << text;
  }
}

TEST(GbkTextTest, EscapesMarkupCharacters) {
  const struct {
    const char* in;
    std::string out;
  } cases[] = {
      {"Tom & Jerry", "Tom &amp; Jerry"},
      {"<b>\"x\"</b> 'y'", "&lt;b&gt;&quot;x&quot;&lt;/b&gt; &#39;y&#39;"},
      {"第1集 <全集>", Utf8ToGbk("第1集 &lt;全集&gt;")},
      // An overlong "<" decodes to "<" and must not reach the page as markup.
      {"\xC0\xBC"
       "script>",
       "&lt;script&gt;"},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendHtmlEscapedAsGbk(out, c.in);
    EXPECT_EQ(out, c.out) << c.in;
  }
}

TEST(GbkTextTest, DecodesAsTheCodePage) {
  const std::string samples[] = {
      "",
      "ascii only",
      Utf8ToGbk("第1集 高清 € · 《书名》"),
      "\x80 euro alone",
      "\x81",  // lead byte at the end
      "\x81\x20 lead before a blank",
      "\xFF\xFE bytes without a character",
      "\xA1\x7F gap in the table",
  };
  for (const std::string& bytes : samples) {
    std::string out = "prefix";
    AppendGbkAsUtf8(out, bytes);
    EXPECT_EQ(out, "prefix" + GbkToUtf8(bytes)) << bytes;
  }
}

}  // namespace
}  // namespace kam::playlist
