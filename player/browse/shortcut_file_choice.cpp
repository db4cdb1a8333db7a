#include "player/browse/shortcut_file_choice.h"

#include <vector>

namespace kam {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    from = end + 1;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A string value with its escapes undone ("\s", "\n", "\t", "\r", "\\").
std::string UnescapeValue(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 == v.size()) {
      out.push_back(v[i]);
      continue;
    }
    const char c = v[++i];
    out.push_back(c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c);
  }
  return out;
}

// The first argument of an Exec command line.
std::string FirstExecArgument(std::string_view exec) {
  std::string arg;
  std::size_t i = 0;
  while (i < exec.size() && exec[i] == ' ') ++i;
  if (i < exec.size() && exec[i] == '"') {
    for (++i; i < exec.size() && exec[i] != '"'; ++i) {
      if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
      arg.push_back(exec[i]);
    }
    return arg;
  }
  while (i < exec.size() && exec[i] != ' ') arg.push_back(exec[i++]);
  return arg;
}

}  // namespace

std::optional<std::string> ChooseShortcutFileName(
    std::string_view name, const std::function<DesktopSlot(const std::string&)>& slot_of) {
  for (int n = 1; n <= kMaxShortcutNameTries; ++n) {
    std::string candidate(name);
    if (n > 1) candidate += " (" + std::to_string(n) + ")";
    if (slot_of(candidate) != DesktopSlot::kOther) return candidate;
  }
  return std::nullopt;
}

bool IsDesktopEntryOf(std::string_view entry_text, const std::filesystem::path& program) {
  bool in_entry = false;
  for (std::string_view line : Lines(entry_text)) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      in_entry = line == "[Desktop Entry]";
      continue;
    }
    if (!in_entry) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || Trim(line.substr(0, eq)) != "Exec") continue;
    return FirstExecArgument(UnescapeValue(Trim(line.substr(eq + 1)))) == program.string();
  }
  return false;
}

}  // namespace kam
