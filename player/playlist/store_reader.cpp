#include "player/playlist/store_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "common/gbk_text.h"

namespace kam::playlist {
namespace {

constexpr std::string_view kOpen = "<Item>";
constexpr std::string_view kClose = "</Item>";

// Whether tail, the end of the bytes seen so far, could be the start of a marker.
bool MayBeginMarker(std::string_view tail) {
  return (tail.size() < kOpen.size() && kOpen.substr(0, tail.size()) == tail) ||
         (tail.size() < kClose.size() && kClose.substr(0, tail.size()) == tail);
}

}  // namespace

StoreReader::StoreReader(std::string_view separator, StoreReaderLimits limits)
    : separator_(separator), limits_(limits) {
  if (limits_.max_entries == 0) done_ = true;
}

bool StoreReader::Feed(std::string_view bytes) {
  if (done_) return false;
  if (carry_.empty()) {
    Scan(bytes);
  } else {
    std::string joined = std::move(carry_);
    carry_.clear();
    joined.append(bytes);
    Scan(joined);
  }
  return !done_;
}

void StoreReader::Scan(std::string_view bytes) {
  std::size_t pos = 0;
  while (pos < bytes.size() && !done_) {
    const void* hit = std::memchr(bytes.data() + pos, '<', bytes.size() - pos);
    const std::size_t at =
        hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data()) : bytes.size();
    Content(bytes.substr(pos, at - pos));
    if (at == bytes.size()) return;
    const std::string_view rest = bytes.substr(at);
    if (rest.substr(0, kOpen.size()) == kOpen) {
      EndRecord();
      in_record_ = !done_;
      pos = at + kOpen.size();
    } else if (rest.substr(0, kClose.size()) == kClose) {
      EndRecord();
      pos = at + kClose.size();
    } else if (MayBeginMarker(rest)) {
      carry_.assign(rest);
      return;
    } else {
      Content(rest.substr(0, 1));
      pos = at + 1;
    }
  }
}

void StoreReader::Content(std::string_view bytes) {
  if (!in_record_) return;
  // Spaces before the entry are trimmed anyway; they take no room.
  if (record_.empty()) {
    const std::size_t first = bytes.find_first_not_of(' ');
    if (first == std::string_view::npos) return;
    bytes.remove_prefix(first);
  }
  // One byte past the limit tells a cut record, and where its last whole character ends.
  const std::size_t room =
      limits_.max_record_bytes + 1 - std::min(record_.size(), limits_.max_record_bytes + 1);
  record_.append(bytes.substr(0, room));
}

void StoreReader::EndRecord() {
  if (!in_record_) return;
  in_record_ = false;
  std::string_view bytes = record_;
  if (bytes.size() > limits_.max_record_bytes) {
    bytes = bytes.substr(0, GbkPrefixLength(bytes, limits_.max_record_bytes));
  }
  std::string text;
  AppendGbkAsUtf8(text, bytes);
  record_.clear();
  const std::size_t last = text.find_last_not_of(' ');
  if (last == std::string::npos) return;
  text.resize(last + 1);
  if (std::optional<std::string> entry = BoundedEntry(text, separator_)) {
    entries_.push_back(std::move(*entry));
    if (entries_.size() >= limits_.max_entries) done_ = true;
  }
}

std::vector<std::string> StoreReader::Finish() {
  if (!carry_.empty()) {
    const std::string tail = std::move(carry_);
    carry_.clear();
    Content(tail);
  }
  EndRecord();
  return std::move(entries_);
}

}  // namespace kam::playlist
