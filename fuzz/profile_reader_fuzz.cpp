// Profile files from anywhere (the settings file is whatever the server sent): reading never
// fails, respects its buffer and gives valid UTF-8; a write reads back as written and changes no
// other key's value.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/code_page.h"
#include "common/private_profile.h"

namespace {

std::string Folded(std::string text) {
  const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!text.empty() && blank(text.back())) text.pop_back();
  std::size_t first = 0;
  while (first < text.size() && blank(text[first])) ++first;
  text.erase(0, first);
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t buffer = in.ConsumeIntegralInRange<std::size_t>(0, 300);
  const std::string section = in.ConsumeRandomLengthString(16);
  const std::string key = in.ConsumeRandomLengthString(16);
  const std::string other_section = in.ConsumeRandomLengthString(16);
  const std::string other_key = in.ConsumeRandomLengthString(16);
  const std::string value = in.ConsumeRandomLengthString(64);
  const std::string file = in.ConsumeRemainingBytesAsString();

  const std::string read = kam::ReadProfileValue(file, section, key, "d", buffer);
  Check(kam::CodePointsToUtf8(kam::Utf8ToCodePoints(read)) == read);
  Check(buffer == 0 ? read.empty() : kam::Utf8ToGbk(read).size() <= buffer - 1);

  const auto written = kam::ProfileWithValue(file, section, key, value);
  if (!written) return 0;
  Check(kam::ReadProfileValue(*written, section, key, "d", 100000) == value);
  if (Folded(section) != Folded(other_section) || Folded(key) != Folded(other_key)) {
    Check(kam::ReadProfileValue(file, other_section, other_key, "d", 100000) ==
          kam::ReadProfileValue(*written, other_section, other_key, "d", 100000));
  }
  return 0;
}
