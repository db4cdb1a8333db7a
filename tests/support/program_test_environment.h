// What every whole-program test needs of the machine, checked once before the first test: a
// namespace of its own (or the one-at-a-time mode that stands in for it), a display and a tray
// host. Without one the run fails at once and says which is missing, instead of hanging or, worse,
// ending processes of the developer's or of another test run.
#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>

#include <string>

namespace kam::testing {

// Empty when the machine has everything; otherwise what is missing, as a message.
std::string ProgramTestMachineMissing();

// A gtest environment whose SetUp prints that message and ends the program (no test runs).
::testing::Environment* NewProgramTestEnvironment();

}  // namespace kam::testing

#endif  // _WIN32
