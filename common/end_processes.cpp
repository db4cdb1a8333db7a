#include "common/end_processes.h"

#include <string>

#include "common/ascii_text.h"

namespace kam {
namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

bool ProcessNameMatches(std::string_view process_name, std::string_view target) {
  if (process_name.empty()) return false;
  if (EqualIgnoringAsciiCase(process_name, target)) return true;
#ifndef _WIN32
  constexpr std::string_view kExe = ".exe";
  if (target.size() > kExe.size() &&
      EqualIgnoringAsciiCase(target.substr(target.size() - kExe.size()), kExe)) {
    return EqualIgnoringAsciiCase(process_name, target.substr(0, target.size() - kExe.size()));
  }
#endif
  return false;
}

}  // namespace kam
