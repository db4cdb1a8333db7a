// The store "\data\Data.dat" may be damaged or written by anything: reading never fails, gives
// only complete entries that the list page accepts, and a store written from what was read reads
// back as the same entries (after one pass through the code page), so a damaged file heals at
// the next save and stays healed.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_page.h"
#include "player/playlist/entry.h"
#include "player/playlist/history.h"
#include "player/playlist/list_page.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool ValidUtf8(const std::string& text) {
  return kam::CodePointsToUtf8(kam::Utf8ToCodePoints(text)) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kam::playlist;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> read = ParseHistory(bytes);
  for (const std::string& entry : read) {
    Check(!entry.empty() && entry.front() != ' ' && entry.back() != ' ');
    Check(entry.find("<Item>") == std::string::npos && entry.find("</Item>") == std::string::npos);
    Check(HasAllFields(entry, kDefaultSeparator));
    Check(ValidUtf8(entry));
  }
  Check(ListPageBytes(read, kDefaultSeparator).has_value());

  const std::vector<std::string> reread = ParseHistory(StoreBytes(read));
  Check(reread.size() == read.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    Check(reread[i] == kam::GbkToUtf8(kam::Utf8ToGbk(read[i])));
  }
  Check(ParseHistory(StoreBytes(reread)) == reread);
  return 0;
}
