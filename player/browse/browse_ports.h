// What the browsing logic needs from the main window and the system besides its three panes. The
// main window's Qt layer implements these; unit tests use fakes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kam {

// The controls of the main window around the panes.
class PlayerAreaPort {
 public:
  virtual ~PlayerAreaPort() = default;
  virtual void SetIdlePictureVisible(bool visible) = 0;        // bjbox
  virtual void SetBufferOverlayVisible(bool visible) = 0;      // vip
  virtual void StartBufferTimer(int interval_ms) = 0;          // Timer8: interval, then on
  virtual void StopBufferTimer() = 0;                          // Timer8 off
  virtual void SetBufferCaption(const std::string& text) = 0;  // tip
  virtual void ShowPlayerTab() = 0;                            // the tab switch L1_Click(1)
  virtual void SetPageTitle(const std::string& text) = 0;      // L3
  virtual void StopErrorWatch() = 0;                           // t3 off, for good
  // WebList1.AddItem: renders the list page and stores the list file.
  virtual void RenderPlayList(const std::vector<std::string>& list) = 0;
  virtual void ShowTip(const std::string& text) = 0;  // FrmAppTip with its timer
  virtual void PopupPageMenu(int x, int y) = 0;       // MyMenu at the screen position
  virtual void SetDefaultPointer() = 0;               // the window's mouse pointer
};

// The user's own programs.
class ShellPort {
 public:
  virtual ~ShellPort() = default;
  // Opens an address in the user's default browser; a failure is not reported.
  virtual void OpenUrl(const std::string& url) = 0;
};

// A desktop shortcut that starts the player on a title's page.
struct DesktopShortcut {
  std::string file_name;          // safe for a file name, without extension
  std::filesystem::path program;  // the player's executable
  std::string arguments;          // the launch argument, one command-line argument
  std::string description;        // the title's name as given
  std::filesystem::path icon;     // the icon file
};

class DesktopShortcutPort {
 public:
  virtual ~DesktopShortcutPort() = default;
  // Writes the shortcut onto the user's desktop, replacing one of the same name. False when
  // nothing could be written.
  virtual bool Save(const DesktopShortcut& shortcut) = 0;
};

}  // namespace kam
