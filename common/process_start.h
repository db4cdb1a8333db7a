// Starting another program without waiting for it, and the command line as a started program
// reads it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kam {

// Starts program (a path, not looked up on PATH) with the given arguments, each passed as one
// argument however many blanks or quotes it holds. The program is detached: it runs in a
// session of its own, inherits no descriptor of the caller but the standard ones, outlives the
// caller and is never waited for (it leaves no zombie behind). On Windows it gets a normal
// window. True when the program was started; false when it could not be (no such file, not
// executable, not a program).
bool StartProgram(const std::filesystem::path& program,
                  const std::vector<std::string>& arguments = {});

// The process command line as the programs read it: the arguments after the program itself,
// joined with single blanks. Empty when there are none.
std::string JoinCommandLine(int argc, const char* const* argv);

}  // namespace kam
