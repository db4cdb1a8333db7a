#include "player/window/tray_icon.h"

namespace kam::window {

std::string CutToChars(std::string_view utf8, std::size_t max_chars) {
  std::size_t chars = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (chars == max_chars) break;
    // Continuation bytes belong to the character before them.
    std::size_t next = i + 1;
    while (next < utf8.size() && (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) ++next;
    i = next;
    ++chars;
  }
  return std::string(utf8.substr(0, i));
}

void TrayIcon::Put(const TrayRecord& record) {
  if (exists_) {
    port_.Modify(record);
  } else {
    port_.Add(record);
    exists_ = true;
  }
}

void TrayIcon::TrayShowIcon(std::string_view tip) {
  TrayRecord r;
  r.tip = CutToChars(tip, kTipChars);
  Put(r);
}

void TrayIcon::TrayShowBalloon(std::string_view title, std::string_view text, int info_flags,
                               int timeout_ms) {
  TrayRecord r;
  r.tip = CutToChars(title, kTipChars);
  r.info_title = CutToChars(title, kInfoTitleChars);
  r.info = CutToChars(text, kInfoChars);
  r.info_flags = info_flags;
  r.timeout_ms = timeout_ms;
  Put(r);
}

void TrayIcon::TrayRemoveIcon() {
  if (!exists_) return;
  port_.Delete();
  exists_ = false;
}

void OnTrayClick(TrayClick click, TrayWindowPort& window) {
  switch (click) {
    case TrayClick::kLeftUp:
      window.SetMainVisible(!window.MainVisible());
      break;
    case TrayClick::kRightUp:
    case TrayClick::kBalloonClick:
      window.BringMainToFront();
      window.PopupTrayMenu();
      break;
    case TrayClick::kOther:
      break;
  }
}

bool ShownForToggle(bool visible, bool minimised, bool tray_available) {
  return visible && (tray_available || !minimised);
}

ShowStep ShowStepFor(bool visible, bool minimised, bool tray_available) {
  if (!visible) return ShowStep::kShow;
  if (minimised && !tray_available) return ShowStep::kUnminimise;
  return ShowStep::kNothing;
}

}  // namespace kam::window
