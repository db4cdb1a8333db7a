// The picture-in-picture window: a small frameless window above all others that shows a pane's
// page (its video fills the page's viewport meanwhile). A strip along its top moves it and holds
// its close button; the grip in its bottom-right corner resizes it keeping the video's shape
// (small_window_geometry.h). Esc or a double click in it asks to leave, as the close button does.
// It only reports; the picture-in-picture view decides.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

class QWebEngineView;

namespace kam::window {

class SmallVideoWindow : public QWidget {
  Q_OBJECT

 public:
  SmallVideoWindow();

  QWebEngineView* view() const { return view_; }
  // The shape its corner grip keeps.
  void setAspect(double aspect) { aspect_ = aspect; }

 signals:
  void closeClicked();
  void escapePressed();
  void doubleClicked();
  void sizeChanged(const QSize& size);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Strip;
  class Grip;
  friend class Strip;
  friend class Grip;

  // Drags of the strip and the grip.
  void BeginMove(const QPoint& global);
  void MoveTo(const QPoint& global);
  void BeginResize(const QPoint& global);
  void ResizeTo(const QPoint& global);
  void EndDrag();
  QRect WorkArea() const;

  QWebEngineView* view_;
  Strip* strip_;
  Grip* grip_;
  double aspect_ = 16.0 / 9.0;
  enum class Drag { kNone, kMove, kResize } drag_ = Drag::kNone;
  QPoint drag_from_;
  QRect drag_start_;
};

}  // namespace kam::window
