#include "player/playlist/list_page.h"

#include <charconv>
#include <initializer_list>

#include "common/code_page.h"
#include "common/gbk_text.h"
#include "player/playlist/entry.h"

namespace kam::playlist {
namespace {

// The templates, every line ending in CR LF. The Chinese words are the placeholders.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\r\n"
    "<html dir=\"ltr\" lang=\"zh-CN\" class=\"flatskin\">\r\n"
    "<head>\r\n"
    "<title></title>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=gb2312\"/>\r\n"
    "<meta http-equiv=\"x-ua-compatible\" content=\"ie=7\">\r\n"
    "<link href=\"default_skin.css\" rel=\"stylesheet\">\r\n"
    "\r\n"
    "<link href=\"item.css\" rel=\"stylesheet\">\r\n"
    "</head>\r\n"
    "<BODY oncontextmenu=\"return false\"><script language=\"JavaScript\">\r\n"
    "document.oncontextmenu=new Function(\"event.returnValue=false;\");\r\n"
    "document.onselectstart=new Function(\"event.returnValue=false;\");\r\n"
    "</script>\r\n"
    "<div class=\"playinfos\">\r\n";

constexpr std::string_view kListHeader =
    "<DIV class=\"ui-box\" id=\"detail-list\">\r\n"
    "<DIV class=\"play-list-box\" id=\"播放列表-pl-list\">\r\n"
    "<DIV class=\"content\"><DIV class=\"caption fn-clear\">\r\n"
    "<H4>播放列表</H4></DIV>\r\n"
    "<P class=\"play-list\">\r\n";

constexpr std::string_view kEntry =
    "<a href=\"http://Play:\" id=\"影片ID\" target=\"_blank\">影片名称</a>\r\n";

constexpr std::string_view kTail =
    "</P></DIV></DIV>\r\n"
    "</div>\r\n"
    "</body>\r\n"
    "</html>\r\n";

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kTitlePlaceholder = "播放列表";
constexpr std::string_view kIdPlaceholder = "影片ID";
constexpr std::string_view kNamePlaceholder = "影片名称";
constexpr std::string_view kItemOpen = "<Item>";
constexpr std::string_view kItemClose = "</Item>";

// A template cut at its placeholders: text, placeholder, text, ... in the code page.
struct Piece {
  std::string text;         // fixed text before the placeholder
  std::string_view filler;  // the placeholder that follows it; empty after the last piece
};

std::vector<Piece> Cut(std::string_view tmpl, std::initializer_list<std::string_view> fillers) {
  std::vector<Piece> pieces;
  std::size_t pos = 0;
  while (true) {
    std::size_t next = std::string_view::npos;
    std::string_view hit;
    for (std::string_view filler : fillers) {
      const std::size_t at = tmpl.find(filler, pos);
      if (at < next) {
        next = at;
        hit = filler;
      }
    }
    if (next == std::string_view::npos) {
      pieces.push_back({Utf8ToGbk(tmpl.substr(pos)), {}});
      return pieces;
    }
    pieces.push_back({Utf8ToGbk(tmpl.substr(pos, next - pos)), hit});
    pos = next + hit.size();
  }
}

struct Templates {
  std::string head = Utf8ToGbk(kHead);
  std::vector<Piece> header = Cut(kListHeader, {kTitlePlaceholder});
  std::vector<Piece> entry = Cut(kEntry, {kIdPlaceholder, kNamePlaceholder});
  std::string tail = Utf8ToGbk(kTail);
};

const Templates& Gbk() {
  static const Templates templates;
  return templates;
}

}  // namespace

std::string EmptyListPageBytes() {
  const Templates& t = Gbk();
  std::string page;
  page.append(t.head).append(" ").append(t.tail).append(kCrLf);
  return page;
}

std::optional<std::string> ListPageBytes(const std::vector<std::string>& list,
                                         std::string_view separator) {
  const Templates& t = Gbk();
  std::size_t text_size = 0;
  for (const std::string& entry : list) text_size += entry.size();
  std::string page;
  page.reserve(t.head.size() + t.tail.size() + text_size + list.size() * 64 + 512);
  page.append(t.head);

  if (!list.empty()) {
    // Each entry overwrote the heading in turn, so the last entry's title is the one shown.
    const std::vector<std::string_view> last = SplitEntry(list.back(), separator);
    if (last.size() < kEntryFields) return std::nullopt;
    for (const Piece& piece : t.header) {
      page.append(piece.text);
      if (!piece.filler.empty()) AppendHtmlEscapedAsGbk(page, last[2]);
    }
  }
  char digits[16];
  std::vector<std::string_view> fields;
  for (std::size_t i = 0; i < list.size(); ++i) {
    SplitEntryInto(list[i], separator, fields);
    if (fields.size() < kEntryFields) return std::nullopt;
    const auto [end, ec] = std::to_chars(digits, digits + sizeof(digits), i);
    (void)ec;
    for (const Piece& piece : t.entry) {
      page.append(piece.text);
      if (piece.filler == kIdPlaceholder) {
        page.append(digits, end);
      } else if (piece.filler == kNamePlaceholder) {
        AppendHtmlEscapedAsGbk(page, fields[0]);
      }
    }
    page.append(kCrLf);
  }
  page.append(t.tail).append(kCrLf);
  return page;
}

std::string StoreBytes(const std::vector<std::string>& list) {
  std::string store;
  std::size_t size = kCrLf.size();
  for (const std::string& entry : list) {
    size += kItemOpen.size() + entry.size() + kItemClose.size() + kCrLf.size();
  }
  store.reserve(size);
  for (const std::string& entry : list) {
    store.append(kItemOpen);
    AppendAsGbk(store, entry);
    store.append(kItemClose).append(kCrLf);
  }
  store.append(kCrLf);
  return store;
}

}  // namespace kam::playlist
