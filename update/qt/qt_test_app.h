// The QApplication of the updater's widget tests, made once and deleted after the last test.
#pragma once

#include <QApplication>
#include <QMouseEvent>

#include "tests/support/qt_test_app.h"

namespace kam::update::testing {

inline QApplication* App() { return kam::testing::QtTestApp("update_qt_test"); }

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
