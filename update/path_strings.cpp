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

}  // namespace

std::string AddString(std::string_view text, std::string_view suffix) {
  std::string result(text);
  if (!EndsWithIgnoringCase(text, suffix)) result.append(suffix);
  return result;
}

}  // namespace kam::update
