// kamplayer: the start routine lands with the main window; until then the program only
// reports where its program directory is.
#include <cstdio>

#include "common/program_dir.h"

int main() {
  std::printf("%s\n", kam::ExecutableDir().string().c_str());
  return 0;
}
