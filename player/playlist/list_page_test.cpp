#include "player/playlist/list_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/code_page.h"

namespace kam::playlist {
namespace {

// Golden texts are written with LF here and carry CR LF in the files.
std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

const std::string kHead = Crlf(R"(<!DOCTYPE html>
<html dir="ltr" lang="zh-CN" class="flatskin">
<head>
<title></title>
<meta http-equiv="Content-Type" content="text/html;charset=gb2312"/>
<meta http-equiv="x-ua-compatible" content="ie=7">
<link href="default_skin.css" rel="stylesheet">

<link href="item.css" rel="stylesheet">
</head>
<BODY oncontextmenu="return false"><script language="JavaScript">
document.oncontextmenu=new Function("event.returnValue=false;");
document.onselectstart=new Function("event.returnValue=false;");
</script>
<div class="playinfos">
)");

const std::string kTail = Crlf(R"(</P></DIV></DIV>
</div>
</body>
</html>
)");

std::string Header(std::string_view title) {
  return Crlf(std::string(R"(<DIV class="ui-box" id="detail-list">
<DIV class="play-list-box" id=")") +
              std::string(title) + R"(-pl-list">
<DIV class="content"><DIV class="caption fn-clear">
<H4>)" + std::string(title) +
              R"(</H4></DIV>
<P class="play-list">
)");
}

std::string Link(int id, std::string_view text) {
  return "<a href=\"http://Play:\" id=\"" + std::to_string(id) + "\" target=\"_blank\">" +
         std::string(text) + "</a>\r\n\r\n";
}

std::string Page(const std::vector<std::string>& list) { return *ListPageBytes(list, "||"); }

TEST(ListPageTest, NewControlPageHasOneBlankBetweenHeadAndTail) {
  EXPECT_EQ(EmptyListPageBytes(), kHead + " " + kTail + "\r\n");
}

TEST(ListPageTest, EmptyListHasNoHeaderBox) {
  EXPECT_EQ(Page({}), kHead + kTail + "\r\n");
  EXPECT_EQ(StoreBytes({}), "\r\n");
}

TEST(ListPageTest, OneEntry) {
  const std::vector<std::string> list = {"Episode 1||http://site/p/1.html||Show"};
  EXPECT_EQ(Page(list), kHead + Header("Show") + Link(0, "Episode 1") + kTail + "\r\n");
  EXPECT_EQ(StoreBytes(list), "<Item>Episode 1||http://site/p/1.html||Show</Item>\r\n\r\n");
}

TEST(ListPageTest, HeadingAndBoxIdShowTheLastEntrysTitle) {
  const std::vector<std::string> list = {"a||http://s/1||First title",
                                         "b||http://s/2||Second title"};
  EXPECT_EQ(Page(list),
            kHead + Header("Second title") + Link(0, "a") + Link(1, "b") + kTail + "\r\n");
  EXPECT_EQ(StoreBytes(list),
            "<Item>a||http://s/1||First title</Item>\r\n"
            "<Item>b||http://s/2||Second title</Item>\r\n\r\n");
}

TEST(ListPageTest, EntryTwelveIsNumberedInDecimal) {
  std::vector<std::string> list;
  for (int i = 0; i < 13; ++i) list.push_back("ep" + std::to_string(i) + "||u||t");
  const std::string page = Page(list);
  EXPECT_NE(page.find(Link(12, "ep12")), std::string::npos);
  EXPECT_EQ(page.find("id=\"13\""), std::string::npos);
  // Entries keep list order.
  EXPECT_LT(page.find(Link(11, "ep11")), page.find(Link(12, "ep12")));
}

TEST(ListPageTest, ChineseTextIsWrittenInGbk) {
  const std::vector<std::string> list = {"第1集||http://s/1||测试剧"};
  const std::string page = Page(list);
  EXPECT_EQ(page, Utf8ToGbk(kHead + Header("测试剧") + Link(0, "第1集") + kTail + "\r\n"));
  // 测试剧 and 第1集 in GBK, byte for byte.
  EXPECT_NE(page.find("<H4>\xB2\xE2\xCA\xD4\xBE\xE7</H4>"), std::string::npos);
  EXPECT_NE(page.find(">\xB5\xDA"
                      "1\xBC\xAF</a>"),
            std::string::npos);
  EXPECT_EQ(StoreBytes(list),
            "<Item>\xB5\xDA"
            "1\xBC\xAF||http://s/1||\xB2\xE2\xCA\xD4\xBE\xE7</Item>\r\n\r\n");
}

TEST(ListPageTest, MarkupInEntryTextsIsEscapedInThePageOnly) {
  const std::vector<std::string> list = {
      R"(Tom & Jerry <b>1</b>||http://s/1?a=1&b=2||"Best" <script>x</script> 'A&B')"};
  const std::string title = "&quot;Best&quot; &lt;script&gt;x&lt;/script&gt; &#39;A&amp;B&#39;";
  EXPECT_EQ(Page(list), kHead + Header(title) + Link(0, "Tom &amp; Jerry &lt;b&gt;1&lt;/b&gt;") +
                            kTail + "\r\n");
  EXPECT_EQ(StoreBytes(list), "<Item>" + list[0] + "</Item>\r\n\r\n");
}

TEST(ListPageTest, PlaceholderWordsInFieldsAreNotReplacedAgain) {
  const std::vector<std::string> list = {"第影片ID集 影片名称||u||播放列表"};
  const std::string page = Page(list);
  EXPECT_EQ(page, Utf8ToGbk(kHead + Header("播放列表") + Link(0, "第影片ID集 影片名称") + kTail +
                            "\r\n"));
}

TEST(ListPageTest, ExtraFieldsAreIgnoredInThePage) {
  // A separator inside a field shifts the later fields; the page shows what lands in 0 and 2.
  const std::vector<std::string> list = {"a||b||c||d"};
  EXPECT_EQ(Page(list), kHead + Header("c") + Link(0, "a") + kTail + "\r\n");
}

TEST(ListPageTest, EntryWithTooFewFieldsRefusesTheWholeList) {
  for (const char* bad : {"", "only text", "text||address", "a||b|c"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ListPageBytes({"a||b||c", bad, "d||e||f"}, "||").has_value());
  }
}

TEST(ListPageTest, OtherSeparator) {
  EXPECT_EQ(*ListPageBytes({"a##b##c"}, "##"), kHead + Header("c") + Link(0, "a") + kTail + "\r\n");
  EXPECT_FALSE(ListPageBytes({"a||b||c"}, "##").has_value());
}

}  // namespace
}  // namespace kam::playlist
