#ifndef _WIN32

#include "tests/support/x_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kam::testing {

std::string ShellQuote(std::string_view s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

std::string ShellOutput(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p) != nullptr) out += buf;
    pclose(p);
  }
  return out;
}

std::ostream& operator<<(std::ostream& os, const Geometry& g) {
  return os << g.width << "x" << g.height << "+" << g.x << "+" << g.y;
}

Geometry WindowGeometry(const std::string& window) {
  const std::string out =
      "\n" + ShellOutput("timeout 5 xdotool getwindowgeometry --shell " + window + " 2>/dev/null");
  auto field = [&](const char* name) {
    const auto at = out.find("\n" + std::string(name) + "=");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + std::strlen(name) + 2);
  };
  return Geometry{field("X"), field("Y"), field("WIDTH"), field("HEIGHT")};
}

Geometry DisplayGeometry() {
  const std::string out = ShellOutput("timeout 5 xdotool getdisplaygeometry 2>/dev/null");
  Geometry g{0, 0, -1, -1};
  std::sscanf(out.c_str(), "%d %d", &g.width, &g.height);
  return g;
}

void Xdo(const std::string& args) {
  [[maybe_unused]] const int rc =
      std::system(("timeout 10 xdotool " + args + " >/dev/null 2>&1").c_str());
}

}  // namespace kam::testing

#endif  // _WIN32
