// The whole-program tests check the machine before the first of them runs (a namespace of their
// own, a display, a tray host). Registered here, in the one program that needs it, rather than
// by the shared fixtures: a static library's initializer runs in whichever test program the
// linker happens to pull its object into.
#include <gtest/gtest.h>

#include "tests/support/program_test_environment.h"

namespace kam::testing {
namespace {

[[maybe_unused]] ::testing::Environment* const kMachineCheck =
    ::testing::AddGlobalTestEnvironment(NewProgramTestEnvironment());

}  // namespace
}  // namespace kam::testing
