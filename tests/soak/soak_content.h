// What the replace soak's writer writes at each generation, shared by the writer program and the
// test that checks its files: the play list grows and shrinks (AddItem at varied sizes, up to
// hundreds of kilobytes), and the profile records the generation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kam::soak {

inline constexpr std::string_view kProfileSection = "Soak";
inline constexpr std::string_view kProfileKey = "Generation";

// The profile's bytes before the first generation: the shipped one with more around it, so the
// write rewrites a line in the middle of a file.
inline constexpr std::string_view kProfileStart =
    "[Version]\r\nVersion=1.0\r\n[Soak]\r\nGeneration=start\r\nNote=第一行\r\n[Tail]\r\nKey="
    "Value\r\n";

inline std::vector<std::string> ListOfGeneration(int generation) {
  const int entries = 1 + (generation * 389) % 1500;
  std::vector<std::string> list;
  list.reserve(static_cast<std::size_t>(entries));
  for (int i = 0; i < entries; ++i) {
    list.push_back("第" + std::to_string(i + 1) + "集 代" + std::to_string(generation) +
                   "||http://127.0.0.1:18731/play/" + std::to_string(i) +
                   ".html||某某电视剧 <全集>");
  }
  return list;
}

}  // namespace kam::soak
