// FrmAppTip: a small grey borderless window with one line of white text, centred on the screen,
// that hides itself three seconds after it was shown. No taskbar button.
#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <string>

namespace kam::window {

class FrmAppTip : public QWidget {
  Q_OBJECT

 public:
  explicit FrmAppTip(QWidget* parent = nullptr);

  QLabel* Label1() const { return label1_; }
  QTimer* Timer1() { return &timer1_; }

  // What callers do: set the caption, show the window (not modal), enable the timer.
  void ShowTip(const std::string& text);

 private:
  void Timer1_Timer();

  QLabel* label1_;
  QTimer timer1_;
};

}  // namespace kam::window
