// Test logs write paths with "/" between their parts on every system, so one expected log holds
// for Linux and for Windows, where the programs join paths with "\".
#pragma once

#include <algorithm>
#include <string>

namespace kam::testing {

inline std::string Slashed(std::string text) {
#ifdef _WIN32
  std::replace(text.begin(), text.end(), '\\', '/');
#endif
  return text;
}

}  // namespace kam::testing
