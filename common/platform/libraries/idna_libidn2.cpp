// UTS #46 through libidn2.
#include <idn2.h>

#include <memory>

#include "common/host_libraries.h"

namespace kam {

std::optional<std::string> DomainToAsciiUts46(std::string_view utf8_domain) {
  // The zero-terminated interface would stop at a NUL byte and map the rest away.
  if (utf8_domain.find('\0') != std::string_view::npos) return std::nullopt;
  const std::string input(utf8_domain);
  char* output = nullptr;
  const int rc = idn2_to_ascii_8z(input.c_str(), &output, IDN2_NONTRANSITIONAL | IDN2_NFC_INPUT);
  const std::unique_ptr<char, decltype(&idn2_free)> owned(output, &idn2_free);
  if (rc != IDN2_OK || output == nullptr) return std::nullopt;
  return std::string(output);
}

}  // namespace kam
