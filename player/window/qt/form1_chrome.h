// The Qt side of the main window's chrome: turns the mouse events of the title bar, caption
// buttons, tabs, small buttons, bottom bar and window frame into calls of the chrome logic, and
// carries out what the logic asks of the window (state, geometry, capture, pointers, menu).
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <map>

#include "player/window/chrome.h"
#include "player/window/chrome_port.h"
#include "player/window/max_bounds.h"

class QMouseEvent;
class QScreen;
class QWidget;

namespace kam::window {

class Form1Window;

class ChromeView : public QObject, private ChromePort {
  Q_OBJECT

 public:
  explicit ChromeView(Form1Window& window);

  Chrome& chrome() { return chrome_; }
  // Where a maximised window goes on the window's current screen.
  QRect MaximisedGeometry() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // ChromePort.
  void SetState(WindowState state) override;
  void HideWindow() override;
  bool TrayAvailable() const override;
  void PopupSettingsMenu() override;
  void SetCapture(Ctl ctl) override;
  void ReleaseCapture() override;
  void SetPointer(Ctl ctl, Pointer pointer) override;
  void SetForeColor(Ctl ctl, Color color) override;
  void Refresh(Ctl ctl) override;
  WindowTwips Geometry() const override;
  void SetGeometry(const WindowTwips& twips) override;
  bool CanPlaceWindow() const override;
  void StartSystemMove() override;
  void StartSystemResize(Edges edges, int min_w, int min_h) override;

  QScreen* ScreenOfWindow() const;
  bool FormMouse(QMouseEvent* event);
  bool ControlMouse(Ctl ctl, QWidget* widget, QMouseEvent* event);

  Form1Window& window_;
  Chrome chrome_;
  std::map<QWidget*, Ctl> watched_;
  QRect normal_geometry_;          // where restoring puts the window
  bool placed_maximised_ = false;  // the maximised geometry is ours
  QPointer<QWidget> pressed_;      // caption button under a held left button
  bool frame_pressed_ = false;     // a button went down on the window's frame
  bool title_pressed_ = false;     // a button went down on the title bar's surface
  QPoint title_press_pos_;         // global position of that press
  bool manual_move_ = false;       // following the mouse ourselves (no window manager)
  QPoint manual_move_offset_;
  QPoint move_anchor_;       // global position where the move began
  QPoint last_global_;       // global mouse position of the latest event
  bool has_bounds_ = false;  // the load handler stored the maximise bounds
  MaxBounds bounds_;
  PixelRect bounds_screen_;  // the screen they were taken from
};

}  // namespace kam::window
