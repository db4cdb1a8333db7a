#include "player/playlist/list_page.h"

#include <charconv>
#include <initializer_list>
#include <utility>

#include "common/code_page.h"
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

using Substitution = std::pair<std::string_view, std::string_view>;

// Appends the template with every placeholder replaced. The template is scanned once, so a value
// that happens to contain a placeholder is inserted as it is, never replaced again.
void AppendFilled(std::string& out, std::string_view tmpl,
                  std::initializer_list<Substitution> subs) {
  std::size_t pos = 0;
  while (pos < tmpl.size()) {
    std::size_t next = std::string_view::npos;
    const Substitution* hit = nullptr;
    for (const Substitution& sub : subs) {
      const std::size_t at = tmpl.find(sub.first, pos);
      if (at < next) {
        next = at;
        hit = &sub;
      }
    }
    if (hit == nullptr) {
      out.append(tmpl.substr(pos));
      return;
    }
    out.append(tmpl.substr(pos, next - pos));
    out.append(hit->second);
    pos = next + hit->first.size();
  }
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out.append("&amp;");
        break;
      case '<':
        out.append("&lt;");
        break;
      case '>':
        out.append("&gt;");
        break;
      case '"':
        out.append("&quot;");
        break;
      case '\'':
        out.append("&#39;");
        break;
      default:
        out.push_back(c);
    }
  }
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text);
  return out;
}

std::string EmptyListPageBytes() {
  std::string page;
  page.append(kHead).append(" ").append(kTail).append(kCrLf);
  return Utf8ToGbk(page);
}

std::optional<std::string> ListPageBytes(const std::vector<std::string>& list,
                                         std::string_view separator) {
  std::string entries;
  std::size_t text_size = 0;
  for (const std::string& entry : list) text_size += entry.size();
  entries.reserve(text_size + list.size() * (kEntry.size() + 16));

  std::string_view title;
  std::string name;
  char digits[16];
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::vector<std::string_view> fields = SplitEntry(list[i], separator);
    if (fields.size() < kEntryFields) return std::nullopt;
    name.clear();
    AppendEscaped(name, fields[0]);
    const auto [end, ec] = std::to_chars(digits, digits + sizeof(digits), i);
    (void)ec;
    const std::string_view id(digits, static_cast<std::size_t>(end - digits));
    AppendFilled(entries, kEntry, {{kNamePlaceholder, name}, {kIdPlaceholder, id}});
    entries.append(kCrLf);
    // Each entry overwrites the heading, so the last one's title is shown.
    title = fields[2];
  }

  std::string page;
  page.reserve(kHead.size() + kListHeader.size() + entries.size() + kTail.size() +
               2 * title.size() + 16);
  page.append(kHead);
  if (!list.empty()) {
    const std::string escaped_title = EscapeHtml(title);
    AppendFilled(page, kListHeader, {{kTitlePlaceholder, escaped_title}});
  }
  page.append(entries).append(kTail).append(kCrLf);
  return Utf8ToGbk(page);
}

std::string StoreBytes(const std::vector<std::string>& list) {
  constexpr std::string_view kOpen = "<Item>";
  constexpr std::string_view kClose = "</Item>";
  std::string store;
  std::size_t size = kCrLf.size();
  for (const std::string& entry : list) {
    size += kOpen.size() + entry.size() + kClose.size() + kCrLf.size();
  }
  store.reserve(size);
  for (const std::string& entry : list) {
    store.append(kOpen).append(entry).append(kClose).append(kCrLf);
  }
  store.append(kCrLf);
  return Utf8ToGbk(store);
}

}  // namespace kam::playlist
