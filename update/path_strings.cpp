#include "update/path_strings.h"

#include <cctype>

#include "common/ascii_text.h"

namespace kam::update {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  if (suffix.size() > text.size()) return false;
  std::string_view tail = text.substr(text.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    if (LowerAscii(tail[i]) != LowerAscii(suffix[i])) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::string AddString(std::string_view text, std::string_view suffix) {
  std::string result(text);
  if (!EndsWithIgnoringCase(text, suffix)) result.append(suffix);
  return result;
}

std::string GetFileNameInPath(std::string_view path, bool without_extension) {
  std::string_view trimmed = TrimBlanks(path);
  std::size_t separator = trimmed.rfind('\\');
  if (separator == std::string_view::npos) separator = trimmed.rfind('/');
  if (separator == std::string_view::npos) return {};
  std::string_view name = trimmed.substr(separator + 1);
  if (without_extension) {
    std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
  }
  return std::string(name);
}

}  // namespace kam::update
