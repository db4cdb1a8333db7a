#include "player/playlist/entry.h"

namespace kam::playlist {

void SplitEntryInto(std::string_view entry, std::string_view separator,
                    std::vector<std::string_view>& fields) {
  fields.clear();
  if (entry.empty()) return;
  if (separator.empty()) {
    fields.push_back(entry);
    return;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t at = entry.find(separator, start);
    if (at == std::string_view::npos) {
      fields.push_back(entry.substr(start));
      return;
    }
    fields.push_back(entry.substr(start, at - start));
    start = at + separator.size();
  }
}

std::vector<std::string_view> SplitEntry(std::string_view entry, std::string_view separator) {
  std::vector<std::string_view> fields;
  SplitEntryInto(entry, separator, fields);
  return fields;
}

bool HasAllFields(std::string_view entry, std::string_view separator) {
  if (entry.empty()) return false;
  if (separator.empty()) return kEntryFields <= 1;
  std::size_t separators = 0;
  for (std::size_t at = entry.find(separator);
       at != std::string_view::npos && separators + 1 < kEntryFields;
       at = entry.find(separator, at + separator.size())) {
    ++separators;
  }
  return separators + 1 >= kEntryFields;
}

std::string EntryField(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '|' && !out.empty() && out.back() == '|') continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == '|') out.pop_back();
  return out;
}

std::string EntryAddressField(std::string_view address) {
  std::string out;
  out.reserve(address.size());
  for (char c : address) {
    if (c == '|') {
      out += "%7C";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

bool IsPlaceholder(const std::vector<std::string_view>& fields) {
  constexpr std::string_view kNoRecords = "暂无记录";
  constexpr std::string_view kNoViewingRecords = "暂无观看记录";
  return (fields.size() > 0 && fields[0] == kNoRecords) ||
         (fields.size() > 1 && fields[1] == kNoViewingRecords) ||
         (fields.size() > 2 && fields[2] == kNoViewingRecords);
}

}  // namespace kam::playlist
