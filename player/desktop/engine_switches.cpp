#include "player/desktop/engine_switches.h"

namespace kam::desktop {

std::string WithDisabledFeatures(std::string_view flags, std::string_view features) {
  constexpr std::string_view kSwitch = "--disable-features=";
  std::string out(flags);
  // The last --disable-features is the one that counts: extend that one.
  std::size_t at = std::string::npos;
  for (std::size_t from = 0;;) {
    const std::size_t found = out.find(kSwitch, from);
    if (found == std::string::npos) break;
    if (found == 0 || out[found - 1] == ' ') at = found;
    from = found + 1;
  }
  if (at == std::string::npos) {
    if (!out.empty() && out.back() != ' ') out += ' ';
    out += kSwitch;
    out += features;
    return out;
  }
  std::size_t end = out.find(' ', at);
  if (end == std::string::npos) end = out.size();
  const bool empty_list = end == at + kSwitch.size();
  out.insert(end, (empty_list ? std::string() : std::string(",")) + std::string(features));
  return out;
}

bool EngineDrawsInSoftware(std::string_view flags) {
  for (std::size_t from = 0; from < flags.size();) {
    std::size_t end = flags.find(' ', from);
    if (end == std::string_view::npos) end = flags.size();
    if (flags.substr(from, end - from) == "--disable-gpu") return true;
    from = end + 1;
  }
  return false;
}

}  // namespace kam::desktop
