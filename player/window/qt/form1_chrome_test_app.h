// The application object of the window's GUI tests: the site's schemes are registered before it
// exists, as the browser panes of the main window require, whichever test creates it first.
#pragma once

#include <QApplication>

#include "player/browse/qt/url_schemes.h"
#include "tests/support/qt_test_app.h"

namespace kam::window::testing {

inline QApplication* App() {
  return kam::testing::QtTestApp("player_window_qt_test", &RegisterBrowseUrlSchemes);
}

}  // namespace kam::window::testing
