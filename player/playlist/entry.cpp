#include "player/playlist/entry.h"

namespace kam::playlist {

std::vector<std::string_view> SplitEntry(std::string_view entry, std::string_view separator) {
  std::vector<std::string_view> fields;
  if (entry.empty()) return fields;
  if (separator.empty()) {
    fields.push_back(entry);
    return fields;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t at = entry.find(separator, start);
    if (at == std::string_view::npos) {
      fields.push_back(entry.substr(start));
      return fields;
    }
    fields.push_back(entry.substr(start, at - start));
    start = at + separator.size();
  }
}

bool HasAllFields(std::string_view entry, std::string_view separator) {
  return SplitEntry(entry, separator).size() >= kEntryFields;
}

bool IsPlaceholder(const std::vector<std::string_view>& fields) {
  constexpr std::string_view kNoRecords = "暂无记录";
  constexpr std::string_view kNoViewingRecords = "暂无观看记录";
  return (fields.size() > 0 && fields[0] == kNoRecords) ||
         (fields.size() > 1 && fields[1] == kNoViewingRecords) ||
         (fields.size() > 2 && fields[2] == kNoViewingRecords);
}

}  // namespace kam::playlist
