// A desktop entry's texts come from web pages (the title) and from wherever the program was
// installed. Read back by the rules of the Desktop Entry Specification, the entry holds exactly
// its fixed keys, every value reads back as given, and Exec runs the program with exactly one
// argument, the launch argument: no text can add a line, a key, an argument or a field code.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/browse/desktop_shortcut.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A string value as a reader sees it: blanks after "=" skipped, then the escapes undone.
std::optional<std::string> ReadValue(std::string_view raw) {
  while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\t')) raw.remove_prefix(1);
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      out.push_back(raw[i]);
      continue;
    }
    if (++i == raw.size()) return std::nullopt;
    // Escape letters, each followed by what it stands for: "\s" "\n" "\t" "\r" "\\".
    constexpr std::string_view kEscapes = "s n\nt\tr\r\\\\";
    std::size_t at = 0;
    while (at < kEscapes.size() && kEscapes[at] != raw[i]) at += 2;
    if (at == kEscapes.size()) return std::nullopt;
    out.push_back(kEscapes[at + 1]);
  }
  return out;
}

// The arguments of an Exec value (already read as a string): split at spaces outside double
// quotes; inside them a backslash escapes '"', '`', '$' and '\'; "%%" is a literal "%" and any
// other "%" code is refused, since these arguments must carry none.
std::optional<std::vector<std::string>> ExecArguments(std::string_view exec) {
  std::vector<std::string> args;
  std::size_t i = 0;
  while (i < exec.size()) {
    if (exec[i] == ' ') {
      ++i;
      continue;
    }
    if (exec[i] != '"') return std::nullopt;  // both arguments are quoted
    std::string arg;
    for (++i;; ++i) {
      if (i == exec.size()) return std::nullopt;
      const char c = exec[i];
      if (c == '"') break;
      if (c == '`' || c == '$') return std::nullopt;  // reserved unless escaped
      if (c == '\\') {
        if (++i == exec.size()) return std::nullopt;
        const char e = exec[i];
        if (e != '"' && e != '`' && e != '$' && e != '\\') return std::nullopt;
        arg.push_back(e);
      } else if (c == '%') {
        if (++i == exec.size() || exec[i] != '%') return std::nullopt;
        arg.push_back('%');
      } else {
        arg.push_back(c);
      }
    }
    ++i;
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  kam::DesktopShortcut shortcut;
  shortcut.file_name = "shortcut";
  shortcut.program = in.ConsumeRandomLengthString(64);
  shortcut.icon = in.ConsumeRandomLengthString(64);
  shortcut.arguments = in.ConsumeRandomLengthString(128);
  shortcut.description = in.ConsumeRemainingBytesAsString();

  const std::string text = kam::DesktopEntryText(shortcut);
  Check(!text.empty() && text.back() == '\n');
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(std::string_view(text).substr(start, end - start));
    start = end + 1;
  }
  const std::vector<std::string_view> keys = {"",        "Type", "Version", "Name",
                                              "Comment", "Exec", "Icon",    "Terminal"};
  Check(lines.size() == keys.size() && lines[0] == "[Desktop Entry]");
  std::vector<std::string> values;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    Check(lines[i].find('\r') == std::string_view::npos);
    const std::size_t eq = lines[i].find('=');
    Check(eq != std::string_view::npos && lines[i].substr(0, eq) == keys[i]);
    const std::optional<std::string> value = ReadValue(lines[i].substr(eq + 1));
    Check(value.has_value());
    values.push_back(*value);
  }
  Check(values[0] == "Application" && values[1] == "1.0" && values[6] == "false");
  Check(values[2] == shortcut.description && values[3] == shortcut.description);
  Check(values[5] == shortcut.icon.string());
  const std::optional<std::vector<std::string>> exec = ExecArguments(values[4]);
  Check(exec.has_value() && exec->size() == 2);
  Check((*exec)[0] == shortcut.program.string() && (*exec)[1] == shortcut.arguments);
  return 0;
}
