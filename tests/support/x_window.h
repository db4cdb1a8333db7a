// The test display's windows as xdotool sees them: a command's output, a window's geometry, the
// display's size, and xdotool commands. Every command is bounded by a time-out.
#pragma once

#ifndef _WIN32

#include <ostream>
#include <string>
#include <string_view>

namespace kam::testing {

// What a shell command printed on stdout (empty when it could not run).
std::string ShellOutput(const std::string& cmd);
// s as one word of a shell command, whatever it holds.
std::string ShellQuote(std::string_view s);

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Geometry&, const Geometry&) = default;
};
std::ostream& operator<<(std::ostream& os, const Geometry& g);

// Where the X window is on the display, and its size; -1 fields when it cannot be read.
Geometry WindowGeometry(const std::string& window);
// The display's size at (0, 0).
Geometry DisplayGeometry();

// Runs "xdotool args", output dropped.
void Xdo(const std::string& args);

}  // namespace kam::testing

#endif  // _WIN32
