// The application object of the window's GUI tests: the site's schemes are registered before it
// exists, as the browser panes of the main window require, whichever test creates it first.
#pragma once

#include <QApplication>

#include "player/browse/qt/url_schemes.h"

namespace kam::window::testing {

inline QApplication* App() {
  static int argc = 1;
  static char name[] = "player_window_qt_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (qApp != nullptr) return static_cast<QApplication*>(qApp);
    RegisterBrowseUrlSchemes();
    return new QApplication(argc, argv);
  }();
  return app;
}

}  // namespace kam::window::testing
