#include "common/gbk_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/code_page.h"

namespace kam {
namespace {

// Character-by-character conversions through the code tables, the slow way the bulk functions
// must agree with.
std::string ReferenceToGbk(std::string_view utf8) {
  std::string out;
  for (char32_t cp : Utf8ToCodePoints(utf8)) {
    const auto code = AnsiCodeOf(cp);
    if (!code) {
      out.push_back('?');
    } else if (*code >= 0) {
      out.push_back(static_cast<char>(*code));
    } else {
      out.push_back(static_cast<char>((*code >> 8) & 0xFF));
      out.push_back(static_cast<char>(*code & 0xFF));
    }
  }
  return out;
}

std::string ReferenceToUtf8(std::string_view gbk) {
  std::u32string text;
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto b0 = static_cast<unsigned char>(gbk[i]);
    if (b0 >= 0x81 && i + 1 < gbk.size()) {
      const auto b1 = static_cast<unsigned char>(gbk[i + 1]);
      if (auto ch = CharOfAnsiCode(static_cast<int16_t>(b0 * 256 + b1))) {
        text.push_back(*ch);
        ++i;
        continue;
      }
    }
    text.push_back(CharOfAnsiCode(b0).value_or(U'\uFFFD'));
  }
  return CodePointsToUtf8(text);
}

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

TEST(GbkTextTest, EncodesAsTheCodeTables) {
  for (const char* text : kTexts) {
    std::string out = "prefix";
    AppendAsGbk(out, text);
    EXPECT_EQ(out, "prefix" + ReferenceToGbk(text)) << text;
    EXPECT_EQ(Utf8ToGbk(text), ReferenceToGbk(text)) << text;
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

TEST(GbkTextTest, DecodesAsTheCodeTables) {
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
    EXPECT_EQ(out, "prefix" + ReferenceToUtf8(bytes)) << bytes;
    EXPECT_EQ(GbkToUtf8(bytes), ReferenceToUtf8(bytes)) << bytes;
  }
}

}  // namespace
}  // namespace kam
