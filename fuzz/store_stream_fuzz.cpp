// The store is read in pieces with bounded memory (player/playlist/store_reader.h). Whatever the
// bytes and wherever the pieces are cut: the entries are those of the whole store read at once;
// they are at most the limit, each within the bounds (and bounding it again changes nothing);
// and where every record fits the record limit, they are exactly those of the plain reading of
// the whole text (split at the markers, trimmed, bounded), so bounding the reader's memory has
// changed nothing else.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_page.h"
#include "common/gbk_text.h"
#include "player/playlist/entry.h"
#include "player/playlist/list_bounds.h"
#include "player/playlist/store_reader.h"

namespace {

using kam::playlist::StoreReaderLimits;

void Check(bool ok) {
  if (!ok) std::abort();
}

bool ValidUtf8(const std::string& text) {
  return kam::CodePointsToUtf8(kam::Utf8ToCodePoints(text)) == text;
}

// The whole text split at every "<Item>", each record cut at its first "</Item>", trimmed of
// spaces and bounded. Nothing when a record (without its leading spaces) is longer than the
// record limit: the reader then reads only its first bytes.
std::optional<std::vector<std::string>> PlainReading(std::string_view bytes,
                                                     std::string_view separator,
                                                     const StoreReaderLimits& limits) {
  constexpr std::string_view kOpen = "<Item>";
  constexpr std::string_view kClose = "</Item>";
  std::vector<std::string> entries;
  std::size_t open = bytes.find(kOpen);
  while (open != std::string_view::npos && entries.size() < limits.max_entries) {
    const std::size_t start = open + kOpen.size();
    const std::size_t next = bytes.find(kOpen, start);
    std::string_view piece =
        bytes.substr(start, next == std::string_view::npos ? next : next - start);
    piece = piece.substr(0, piece.find(kClose));
    const std::size_t first = piece.find_first_not_of(' ');
    piece.remove_prefix(first == std::string_view::npos ? piece.size() : first);
    if (piece.size() > limits.max_record_bytes) return std::nullopt;
    std::string text;
    kam::AppendGbkAsUtf8(text, piece);
    const std::size_t last = text.find_last_not_of(' ');
    text.resize(last == std::string::npos ? 0 : last + 1);
    if (std::optional<std::string> entry = kam::playlist::BoundedEntry(text, separator)) {
      entries.push_back(std::move(*entry));
    }
    open = next;
  }
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kam::playlist;
  FuzzedDataProvider in(data, size);
  const StoreReaderLimits limits{in.ConsumeIntegralInRange<std::size_t>(1, 8),
                                 in.ConsumeIntegralInRange<std::size_t>(1, 128)};
  const std::size_t piece = in.ConsumeIntegralInRange<std::size_t>(1, 19);
  const std::string separator = in.ConsumeBool() ? "||" : "#";
  const std::string bytes = in.ConsumeRemainingBytesAsString();

  StoreReader whole(separator, limits);
  whole.Feed(bytes);
  const std::vector<std::string> read = whole.Finish();

  StoreReader pieces(separator, limits);
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    if (!pieces.Feed(std::string_view(bytes).substr(at, piece))) break;
  }
  Check(pieces.Finish() == read);

  Check(read.size() <= limits.max_entries);
  for (const std::string& entry : read) {
    Check(!entry.empty() && entry.front() != ' ' && entry.back() != ' ');
    Check(entry.find("<Item>") == std::string::npos && entry.find("</Item>") == std::string::npos);
    Check(ValidUtf8(entry));
    Check(HasAllFields(entry, separator));
    Check(BoundedEntry(entry, separator) == entry);
  }
  if (const auto plain = PlainReading(bytes, separator, limits)) Check(*plain == read);
  return 0;
}
