// The QApplication of the updater's widget tests, made once.
#pragma once

#include <QApplication>
#include <QMouseEvent>

namespace kam::update::testing {

inline QApplication* App() {
  static int argc = 1;
  static char name[] = "update_qt_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return app;
}

// Sends a mouse event of the given type to widget at a point inside it.
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at,
                      Qt::MouseButton button = Qt::NoButton) {
  const Qt::MouseButtons buttons =
      type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

}  // namespace kam::update::testing
