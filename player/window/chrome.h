// The main window's chrome: caption buttons with their hover looks and commands, tab hover, the
// capture-driven small buttons, the bottom-bar label, double-click maximising, the title-bar
// drag and the frame drag. Event handlers are named after their control and event; mouse
// events take the button mask (1 left, 2 right, 4 middle; 0 none) and the position in the
// control's pixels.
#pragma once

#include "player/startup/player_state.h"
#include "player/window/border_drag.h"
#include "player/window/chrome_port.h"
#include "player/window/controls.h"
#include "player/window/form1.h"
#include "player/window/form1_port.h"

namespace kam::window {

class Chrome {
 public:
  Chrome(Form1& form, Form1Port& port, ChromePort& chrome, PlayerState& state)
      : form_(form), port_(port), chrome_(chrome), state_(state) {}

  // Caption buttons.
  void gb_MouseMove() { CaptionMouseMove(Ctl::gb); }
  void max_MouseMove() { CaptionMouseMove(Ctl::max); }
  void min_MouseMove() { CaptionMouseMove(Ctl::min); }
  void sz_MouseMove() { CaptionMouseMove(Ctl::sz); }
  void gb_Click();
  void min_Click();
  void max_Click();
  void sz_Click();

  // Title bar and tabs.
  void bj_MouseMove();
  void bj_MouseDown();
  void bj_DblClick();
  void L1_MouseMove(int index);

  // Player area.
  void bjbox_MouseMove();
  void bjbox_DblClick();
  void Picture4_MouseMove(int button, double x, double y);
  void Picture7_MouseMove(int button, double x, double y);
  void Picture7_MouseDown();

  // Bottom bar.
  void Label2_MouseMove();
  void dibu_MouseMove();

  // The window's own surface (its 1-pixel frame).
  void Form_MouseMove(int button, double x, double y);

  const BorderDragState& drag_state() const { return drag_; }

 private:
  void CaptionMouseMove(Ctl over);
  void ToggleMaximised(bool set_button, bool resize_player_area);

  Form1& form_;
  Form1Port& port_;
  ChromePort& chrome_;
  PlayerState& state_;
  BorderDragState drag_;
  bool system_loop_started_ = false;  // a platform move or resize runs for the held button
};

}  // namespace kam::window
