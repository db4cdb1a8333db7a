// The replace soak's writer: rewrites the play list files ("\html\List.html", "\data\Data.dat")
// and the profile "\skin\Config.ini" of a program directory, one generation after another, as
// the player does. After all three files of a generation are written it prints the generation
// on a line of its own.
//
//   kam_replace_writer DIR FIRST [COUNT]   generations FIRST, FIRST+1, ... (COUNT of them, or
//                                          until killed; at most 100000); exit status 2 when a
//                                          write fails
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/settings_files.h"
#include "player/playlist/entry.h"
#include "player/playlist/play_list_files.h"
#include "tests/soak/soak_content.h"

int main(int argc, char** argv) {
  if (argc < 3) return 64;
  const std::filesystem::path dir = argv[1];
  const int first = std::atoi(argv[2]);
  const int count = argc > 3 ? std::atoi(argv[3]) : 100000;
  for (int g = first; g < first + count; ++g) {
    const auto saved = kam::playlist::SavePlayList(dir, kam::soak::ListOfGeneration(g),
                                                   kam::playlist::kDefaultSeparator);
    if (saved != kam::playlist::SaveResult::kSaved) return 2;
    if (!kam::WriteSkinConfig(dir, kam::soak::kProfileSection, kam::soak::kProfileKey,
                              std::to_string(g))) {
      return 2;
    }
    std::printf("%d\n", g);
    std::fflush(stdout);
  }
  return 0;
}
