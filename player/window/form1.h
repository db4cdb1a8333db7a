// The main window's own logic: layout passes, tab selection, side panel, clear-history command and
// the paint routines of the tab strip and the two small image buttons.
#pragma once

#include <string>
#include <vector>

#include "player/startup/player_state.h"
#include "player/window/controls.h"
#include "player/window/form1_port.h"

namespace kam::window {

class Form1 {
 public:
  Form1(Form1Port& port, PlayerState& state) : port_(port), state_(state) {}

  // The layout pass of a container, run whenever it changes size. Containers without a pass
  // are ignored.
  void Resize(Ctl container);

  void Form_Resize();
  void P2_Resize();
  void bj_Resize();
  void bj2_Resize();
  void so_Resize();
  void bjbox_Resize();
  void vip3_Resize();
  void Picture3_Resize();
  void Picture4_Resize();
  void Picture6_Resize();

  // Tab selection: 0 catalogue, 1 player; other indexes only repaint the strip.
  void L1_Click(int index);
  void bj_Paint();
  // Side-panel toggle; calllist is the public name the play list uses.
  void Picture4_Click();
  void calllist() { Picture4_Click(); }
  void Picture4_Paint();
  void Picture7_Paint();
  // Clear history: back to the placeholder, catalogue reloaded, empty list rendered and stored.
  void Picture7_Click();
  // The play history read at load: appended to List3, then rendered and stored.
  void LoadHistory(const std::vector<std::string>& entries);

  // Tab frame source x for a tab given the selection (150 selected, 0 normal).
  static double TabFrameX(int tab, int selected_tab) { return tab == selected_tab ? 150 : 0; }

 private:
  bool Minimised() const { return port_.State() == WindowState::kMinimised; }

  Form1Port& port_;
  PlayerState& state_;
};

}  // namespace kam::window
