// Launch arguments come from whatever a shortcut's command line holds: decoding never fails and
// keeps the number of characters; a shortcut argument always decodes to two fields whose address
// means the address it was built from.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/code_page.h"
#include "player/startup/launch_args.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string Valid(const std::string& text) {
  return kam::CodePointsToUtf8(kam::Utf8ToCodePoints(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string name = Valid(in.ConsumeRandomLengthString(64));
  const std::string address = Valid(in.ConsumeRemainingBytesAsString());

  const std::size_t chars = kam::Utf8ToCodePoints(address).size();
  const std::string decoded = kam::DecodeLaunchArgs(address);
  const std::string encoded = kam::EncodeLaunchArgs(address);
  Check(kam::Utf8ToCodePoints(decoded).size() == chars);
  Check(kam::Utf8ToCodePoints(encoded).size() == chars);
  bool survives = true;
  for (char32_t ch : kam::Utf8ToCodePoints(address))
    survives = survives && kam::SurvivesLaunchArgs(ch);
  Check((kam::DecodeLaunchArgs(encoded) == address) == survives);

  const std::string back = kam::DecodeLaunchArgs(kam::EncodeShortcutArgument(name, address));
  const std::size_t cut = back.find(kam::kLaunchArgsSeparator);
  Check(cut != std::string::npos);
  const std::string field1 = back.substr(cut + kam::kLaunchArgsSeparator.size());
  Check(field1.find(kam::kLaunchArgsSeparator) == std::string::npos);
  Check(PercentDecode(field1) == PercentDecode(address));
  return 0;
}
