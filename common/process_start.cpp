#include "common/process_start.h"

namespace kam {

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    if (argv[i] != nullptr) line += argv[i];
  }
  return line;
}

}  // namespace kam
