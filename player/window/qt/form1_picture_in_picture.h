// The Qt side of a page's picture-in-picture: the player pane's requests go to the logic
// (player/window/picture_in_picture.h), which decides; this carries out what it asks. The pane's
// page moves into the small window and back, as full screen moves it into its cover; the page
// hears the answers through the pane (picture_in_picture_scripts.h).
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include "player/window/picture_in_picture.h"

class QWebEnginePage;

namespace kam {
class WebPane;
}

namespace kam::window {

class Form1Window;
class SmallVideoWindow;

class PictureInPictureView : public QObject, private PictureInPicturePort {
  Q_OBJECT

 public:
  explicit PictureInPictureView(Form1Window& window);
  ~PictureInPictureView() override;

  PictureInPicture& logic() { return pip_; }
  // The small window, once one was shown; nullptr before.
  SmallVideoWindow* smallWindow() const { return small_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // PictureInPicturePort.
  PixelRect WorkAreaOfMainWindow() const override;
  bool IsFullScreen(Ctl pane) const override;
  void EndFullScreen(Ctl pane) override;
  void ShowSmallWindow(Ctl pane, const PixelRect& rect, double aspect) override;
  void PutPageBack(Ctl pane) override;
  void TellPageLeft(Ctl pane) override;

  void Wire(Ctl ctl);
  void Request(Ctl ctl, qint64 n, bool pressed, double aspect, const QString& origin);
  void Leave(PipLeave cause);
  WebPane* PaneOf(Ctl pane) const;
  bool InMainWindowsPlayerView(QObject* o) const;

  Form1Window& window_;
  PictureInPicture pip_;
  SmallVideoWindow* small_ = nullptr;  // a top-level window of its own: it outlives a hidden Form1
  QPointer<QWebEnginePage> page_;      // the page in the small window, while it is there
  QRect shown_at_;                     // where the small window was put
  // Presses the window system delivered to the player pane or the full-screen cover: the page's
  // own word for a press is not enough, since the engine adds events of its own when a page
  // changes views. The press that opened the last window is spent.
  quint64 presses_ = 0;
  quint64 spent_press_ = 0;
  class StandIn;
  StandIn* stand_in_ = nullptr;  // over the pane meanwhile
};

}  // namespace kam::window
