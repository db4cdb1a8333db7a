// The application object of a GUI test program, made on first use and deleted once all tests
// have run, before the program exits.
//
//   QApplication* app = kam::testing::QtTestApp("web_pane_test", [] { RegisterSchemes(); });
//
// The browser engine shuts down in the application's destructor, which waits for its threads;
// an application left alive until exit leaves the engine to be torn down by the exit handlers
// while those threads still run, and the program crashes after its tests passed. Every page and
// profile must be gone before then: tests delete theirs in their own tear-down.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

namespace kam::testing {

namespace internal {

class QtAppEnvironment : public ::testing::Environment {
 public:
  explicit QtAppEnvironment(QApplication* app) : app_(app) {}
  // After the last test, before RUN_ALL_TESTS returns.
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_;
};

}  // namespace internal

// before runs once, just before the application is made (URL schemes must be registered then).
// When the program already has an application, that one is returned.
inline QApplication* QtTestApp(const char* name, void (*before)() = nullptr) {
  static int argc = 1;
  static char* argv[] = {const_cast<char*>(name), nullptr};
  if (qApp != nullptr) return static_cast<QApplication*>(qApp);
  if (before != nullptr) before();
  auto* app = new QApplication(argc, argv);
  // gtest tears down environments added while the tests run, too.
  ::testing::AddGlobalTestEnvironment(new internal::QtAppEnvironment(app));
  return app;
}

}  // namespace kam::testing
