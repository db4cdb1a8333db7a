#include "player/window/chrome.h"

#include "player/window/caption_hover.h"

namespace kam::window {

void Chrome::CaptionMouseMove(Ctl over) {
  const CaptionImages images = CaptionImagesAfterMove(over, port_.State());
  port_.SetImage(Ctl::gb, images.gb);
  if (images.max) port_.SetImage(Ctl::max, *images.max);
  port_.SetImage(Ctl::min, images.min);
  port_.SetImage(Ctl::sz, images.sz);
}

void Chrome::gb_Click() {
  // Without a notification area a hidden window could never come back: minimise instead.
  if (chrome_.TrayAvailable()) {
    chrome_.HideWindow();
  } else {
    chrome_.SetState(WindowState::kMinimised);
  }
}

void Chrome::min_Click() { chrome_.SetState(WindowState::kMinimised); }

void Chrome::ToggleMaximised(bool set_button, bool resize_player_area) {
  if (port_.State() != WindowState::kNormal) {
    if (set_button) port_.SetImage(Ctl::max, Pic::max1);
    if (resize_player_area) form_.P2_Resize();
    chrome_.SetState(WindowState::kNormal);
  } else {
    chrome_.SetState(WindowState::kMaximised);
    if (set_button) port_.SetImage(Ctl::max, Pic::max3);
    if (resize_player_area) form_.P2_Resize();
  }
}

void Chrome::max_Click() { ToggleMaximised(true, true); }

void Chrome::sz_Click() { chrome_.PopupSettingsMenu(); }

void Chrome::bj_MouseMove() {
  CaptionMouseMove(Ctl::bj);
  const TabFrames f = TabFramesAtRest(state_.selectedTab);
  port_.PaintPicture(Ctl::bj, Pic::sp, Rect{f.sp_x, 0, 150, 65}, Point{180, 1});
  port_.PaintPicture(Ctl::bj, Pic::bf, Rect{f.bf_x, 0, 150, 65}, Point{320, 1});
  port_.SetDefaultPointer(Ctl::Form1);
}

void Chrome::bj_MouseDown() {
  chrome_.ReleaseCapture();
  chrome_.StartSystemMove();
  port_.SetDefaultPointer(Ctl::bj);
  port_.SetDefaultPointer(Ctl::Form1);
}

void Chrome::bj_DblClick() { ToggleMaximised(true, false); }

void Chrome::L1_MouseMove(int index) {
  const TabFrames f = TabFramesOnHover(index, state_.selectedTab);
  // Tab 1 last: it overlaps the end of tab 0.
  port_.PaintPicture(Ctl::bj, Pic::sp, Rect{f.sp_x, 0, 150, 65}, Point{180, 1});
  port_.PaintPicture(Ctl::bj, Pic::bf, Rect{f.bf_x, 0, 150, 65}, Point{320, 1});
  port_.SetDefaultPointer(Ctl::bj);
}

void Chrome::bjbox_MouseMove() { port_.SetDefaultPointer(Ctl::Form1); }

void Chrome::bjbox_DblClick() {
  // The button image follows at the next repaint of the title bar or the next hover.
  ToggleMaximised(false, false);
}

namespace {

void ApplyCapture(ChromePort& chrome, Ctl button, CaptureMove::Capture c) {
  if (c == CaptureMove::Capture::kTake) chrome.SetCapture(button);
  if (c == CaptureMove::Capture::kRelease) chrome.ReleaseCapture();
}

}  // namespace

void Chrome::Picture4_MouseMove(int button, double x, double y) {
  const CaptureMove m = CaptureHoverAfterMove(x, y, port_.ClientSize(Ctl::Picture4), button != 0);
  ApplyCapture(chrome_, Ctl::Picture4, m.capture);
  const Pic sprite = port_.IsVisible(Ctl::Picture6) ? Pic::Image12 : Pic::Image13;
  port_.PaintPicture(Ctl::Picture4, sprite, m.hover ? kHandleHover : kHandleNormal, kHandleAt);
  port_.SetDefaultPointer(Ctl::Form1);
}

void Chrome::Picture7_MouseMove(int button, double x, double y) {
  const CaptureMove m = CaptureHoverAfterMove(x, y, port_.ClientSize(Ctl::Picture7), button != 0);
  ApplyCapture(chrome_, Ctl::Picture7, m.capture);
  port_.PaintPicture(Ctl::Picture7, Pic::Image16, m.hover ? kBinHover : kBinNormal, kBinAt);
  port_.SetDefaultPointer(Ctl::Form1);
}

void Chrome::Picture7_MouseDown() {
  port_.PaintPicture(Ctl::Picture7, Pic::Image16, kBinPressed, kBinAt);
}

void Chrome::Label2_MouseMove() { chrome_.SetForeColor(Ctl::Label2, kLabel2Hover); }

void Chrome::dibu_MouseMove() { chrome_.SetForeColor(Ctl::Label2, kLabel2Rest); }

void Chrome::Form_MouseMove(int button, double x, double y) {
  if (port_.State() != WindowState::kMaximised) {
    if (button == 0) system_loop_started_ = false;
    if (button != 0 && !chrome_.CanPlaceWindow()) {
      // The platform places the window itself: hand the held button to its own loop once,
      // with the edges armed before the press.
      if (!system_loop_started_) {
        system_loop_started_ = true;
        if (drag_.moveWhole) {
          chrome_.StartSystemMove();
        } else {
          chrome_.StartSystemResize(Edges{drag_.onTop, drag_.onBottom, drag_.onLeft, drag_.onRight},
                                    static_cast<int>(kMinDragWidthTwips / kTwipsPerPixel),
                                    static_cast<int>(kMinDragHeightTwips / kTwipsPerPixel));
        }
      }
    } else {
      const BorderDragOutcome out = HandleBorderDrag(drag_, chrome_.Geometry(), button, x, y);
      if (out.pointer) chrome_.SetPointer(Ctl::Form1, *out.pointer);
      // The title bar is repainted after every step, even a refused one, so it follows a
      // resize at once.
      if (out.window) chrome_.SetGeometry(*out.window);
      for (int i = 0; i < out.title_bar_repaints; ++i) chrome_.Refresh(Ctl::bj);
    }
  }
  port_.SetDefaultPointer(Ctl::bj);
}

}  // namespace kam::window
