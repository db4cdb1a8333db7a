// The notification-area icon: added once, then modified in place; removed on exit. Texts are cut
// to the fields the platform's tray record holds (tip 127 characters, balloon title 63, balloon
// text 255), each counted in characters.
#pragma once

#include <string>
#include <string_view>

namespace kam::window {

struct TrayRecord {
  std::string tip;
  std::string info_title;  // balloon title; empty: no balloon
  std::string info;        // balloon text
  int info_flags = 0;      // 1: information icon
  int timeout_ms = 0;
};

class TrayPort {
 public:
  virtual ~TrayPort() = default;
  virtual void Add(const TrayRecord& record) = 0;
  virtual void Modify(const TrayRecord& record) = 0;
  virtual void Delete() = 0;
};

inline constexpr std::size_t kTipChars = 127;
inline constexpr std::size_t kInfoTitleChars = 63;
inline constexpr std::size_t kInfoChars = 255;

// The first max_chars characters (code points) of UTF-8 text.
std::string CutToChars(std::string_view utf8, std::size_t max_chars);

class TrayIcon {
 public:
  explicit TrayIcon(TrayPort& port) : port_(port) {}

  void TrayShowIcon(std::string_view tip);
  // The tip becomes the title, as the balloon's record carries it.
  void TrayShowBalloon(std::string_view title, std::string_view text, int info_flags,
                       int timeout_ms);
  void TrayRemoveIcon();
  bool exists() const { return exists_; }

 private:
  void Put(const TrayRecord& record);

  TrayPort& port_;
  bool exists_ = false;
};

// What a click on the tray icon does to the main window.
enum class TrayClick { kLeftUp, kRightUp, kBalloonClick, kOther };

class TrayWindowPort {
 public:
  virtual ~TrayWindowPort() = default;
  virtual bool MainVisible() const = 0;
  virtual void SetMainVisible(bool visible) = 0;  // the window state is left as it is
  virtual void BringMainToFront() = 0;
  virtual void PopupTrayMenu() = 0;  // at the mouse position
};

void OnTrayClick(TrayClick click, TrayWindowPort& window);

// The close commands (caption close button, the system's Close) hide the window to the tray; on a
// desktop without a notification area a hidden window could never come back, so they minimise.
enum class CloseAction { kHide, kMinimise };
inline CloseAction CloseActionFor(bool tray_available) {
  return tray_available ? CloseAction::kHide : CloseAction::kMinimise;
}

// Every command that hides the window (the close commands, the show-or-hide commands of the tray
// and its menu) minimises it where there is no tray; for the show-or-hide commands a window
// minimised there counts as hidden, so that the next command brings it back.
bool ShownForToggle(bool visible, bool minimised, bool tray_available);

// What a show command does: show the window in the state it had (minimised stays minimised, as a
// tray click leaves it), or, where minimising stood in for hiding, restore it from the taskbar.
enum class ShowStep { kNothing, kShow, kUnminimise };
ShowStep ShowStepFor(bool visible, bool minimised, bool tray_available);

}  // namespace kam::window
