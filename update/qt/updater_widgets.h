// The small child widgets of the updater window: labels that keep the mouse to themselves (so
// the window's background does not see moves and presses over them), picture buttons, and the
// transparent hit areas over the painted title-bar buttons.
#pragma once

#include <QLabel>
#include <QWidget>

namespace kam::update {

// A text label; a click on it (press and release over it) raises clicked().
class PlainLabel : public QLabel {
  Q_OBJECT
 public:
  explicit PlainLabel(QWidget* parent);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// A picture that reports mouse moves over it and clicks.
class PictureButton : public QLabel {
  Q_OBJECT
 public:
  explicit PictureButton(QWidget* parent);

 signals:
  void moved();
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// An invisible area that reports mouse moves over it and clicks.
class HitArea : public QWidget {
  Q_OBJECT
 public:
  explicit HitArea(QWidget* parent);

 signals:
  void moved();
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kam::update
