#ifndef _WIN32

#include "tests/support/program_test_environment.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace kam::testing {
namespace {

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

class ProgramTestEnvironment : public ::testing::Environment {
 public:
  // Ends the program: a failure here would let gtest report the tests as skipped, which CTest
  // counts as no failure.
  void SetUp() override {
    const std::string missing = ProgramTestMachineMissing();
    if (missing.empty()) return;
    std::fprintf(stderr, "whole-program tests cannot run: %s\n", missing.c_str());
    std::fflush(stderr);
    std::exit(1);
  }
};

}  // namespace

std::string ProgramTestMachineMissing() {
  // The player ends the outside player's processes by name and the servers take the fixed demo
  // port: bare on a shared machine they would hit the developer's programs and other test runs.
  // scripts/isolated.sh sets KAM_ISOLATED inside its namespaces; CTest sets KAM_SHARED_MACHINE
  // where the machine has none and these tests run one at a time.
  if (!EnvSet("KAM_ISOLATED") && !EnvSet("KAM_SHARED_MACHINE")) {
    return "no private PID and network namespace: run whole-program tests through ctest or "
           "scripts/isolated.sh (the programs end processes by name and take the fixed demo port)";
  }
  if (!EnvSet("DISPLAY")) return "no display: DISPLAY is not set (scripts/xvfb.sh starts Xvfb)";
  if (std::system("timeout 10 xdpyinfo >/dev/null 2>&1") != 0) {
    return "no display: the X server on DISPLAY=" + std::string(std::getenv("DISPLAY")) +
           " does not answer (or xdpyinfo, of x11-utils, is missing)";
  }
  if (!std::filesystem::exists("/usr/bin/trayer")) {
    return "no tray host: /usr/bin/trayer is missing (scripts/setup.sh installs it)";
  }
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) {
    return "no xdotool: the tests cannot find or click windows (scripts/setup.sh installs it)";
  }
  return {};
}

::testing::Environment* NewProgramTestEnvironment() { return new ProgramTestEnvironment; }

}  // namespace kam::testing

#endif  // _WIN32
