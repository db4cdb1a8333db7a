#include "player/browse/desktop_shortcut.h"

namespace kam {

std::string QuoteExecArgument(std::string_view arg) {
  std::string out = "\"";
  for (char c : arg) {
    switch (c) {
      case '"':
      case '`':
      case '$':
      case '\\':
        out.push_back('\\');
        out.push_back(c);
        break;
      case '%':
        out += "%%";
        break;
      default:
        out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

std::string EscapeEntryValue(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case ' ':
        out += i == 0 ? "\\s" : " ";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string DesktopEntryText(const DesktopShortcut& s) {
  const std::string exec =
      QuoteExecArgument(s.program.string()) + " " + QuoteExecArgument(s.arguments);
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=" + EscapeEntryValue(s.description) + "\n";
  text += "Comment=" + EscapeEntryValue(s.description) + "\n";
  text += "Exec=" + EscapeEntryValue(exec) + "\n";
  text += "Icon=" + EscapeEntryValue(s.icon.string()) + "\n";
  text += "Terminal=false\n";
  return text;
}

std::optional<std::filesystem::path> DesktopFolderFrom(std::optional<std::string> xdg_user_dir,
                                                       const char* xdg_desktop_dir,
                                                       const char* home) {
  if (xdg_user_dir) {
    while (!xdg_user_dir->empty() &&
           (xdg_user_dir->back() == '\n' || xdg_user_dir->back() == '\r')) {
      xdg_user_dir->pop_back();
    }
    if (!xdg_user_dir->empty() && xdg_user_dir->front() == '/') return *xdg_user_dir;
  }
  if (xdg_desktop_dir && xdg_desktop_dir[0] == '/') return std::filesystem::path(xdg_desktop_dir);
  if (home && home[0] == '/') return std::filesystem::path(home) / "Desktop";
  return std::nullopt;
}

}  // namespace kam
