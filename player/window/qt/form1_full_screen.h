// The Qt side of a page's full screen in the main window: the catalogue and player panes' full
// screen requests go to the logic (player/window/full_screen.h), which decides; this carries out
// what it asks. The page moves into a cover view over the whole window, which takes the whole
// screen it is on, and moves back into its pane when full screen ends.
#pragma once

#include <QObject>
#include <QPointer>

#include "player/window/full_screen.h"

class QShortcut;
class QWebEnginePage;
class QWebEngineView;

namespace kam {
class WebPane;
}

namespace kam::window {

class Form1Window;

class FullScreenView : public QObject, private FullScreenPort {
  Q_OBJECT

 public:
  explicit FullScreenView(Form1Window& window);

  FullScreen& logic() { return full_screen_; }
  // The view that shows the page while it is full screen; nullptr otherwise.
  QWebEngineView* cover() const { return cover_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // FullScreenPort.
  WindowPlacement Placement() const override;
  PixelRect ScreenOfWindow() const override;
  void ShowPageOverWindow(Ctl pane, const PixelRect& screen) override;
  void PutPageBack(Ctl pane) override;
  void Place(const WindowPlacement& placement) override;
  void TellPageToLeave(Ctl pane) override;

  WebPane* PaneOf(Ctl pane) const;
  void Watch(Ctl ctl);

  Form1Window& window_;
  FullScreen full_screen_;
  QShortcut* escape_ = nullptr;
  QPointer<QWebEngineView> cover_;
  QPointer<QWebEnginePage> page_;  // the full-screen page, while it is in the cover
};

}  // namespace kam::window
