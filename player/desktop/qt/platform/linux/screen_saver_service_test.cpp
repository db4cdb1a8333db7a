// The screen-saver service's hold against a real bus: the stand-in service records what reaches
// it; a bus without the service is asked once per hold, never again and again.
#include "player/desktop/qt/platform/linux/screen_saver_service.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QTest>
#include <memory>

#include "tests/support/child_process.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/session_bus.h"

namespace kam::desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class ScreenSaverServiceTest : public ::testing::Test {
 protected:
  ScreenSaverServiceTest() {
    kam::testing::QtTestApp("screen_saver_service_test");
    name_ = QStringLiteral("saver-test-%1").arg(++count_);
  }
  ~ScreenSaverServiceTest() override { QDBusConnection::disconnectFromBus(name_); }

  QDBusConnection Bus() {
    return QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), name_);
  }

  // The stand-in's calls once count of them have come (or the time is up).
  std::vector<std::string> CallsOnce(kam::testing::FakeScreenSaver& saver, std::size_t count) {
    for (int i = 0; i < 100 && saver.Calls().size() < count; ++i) {
      QTest::qWait(50);
      saver.Calls(milliseconds(10));
    }
    return saver.Calls();
  }

  kam::testing::PrivateSessionBus bus_;
  QString name_;
  static inline int count_ = 0;
};

TEST_F(ScreenSaverServiceTest, HoldInhibitsAndReleaseLiftsWithTheSameCookie) {
  ASSERT_TRUE(bus_.ok());
  kam::testing::FakeScreenSaver saver(bus_);
  ASSERT_TRUE(saver.ok());
  ScreenSaverService service;
  service.Hold();  // before the bus is joined: goes out once it is
  service.SetBus(Bus());
  EXPECT_EQ(CallsOnce(saver, 1), std::vector<std::string>{"Inhibit 1 kamplayer 正在播放视频"});
  service.Release();
  EXPECT_EQ(CallsOnce(saver, 2).back(), "UnInhibit 1");
  service.Hold();
  EXPECT_EQ(CallsOnce(saver, 3).back(), "Inhibit 2 kamplayer 正在播放视频");
  service.End();
  // End waits for the answer: the release is there as soon as it returns.
  EXPECT_EQ(saver.Calls(milliseconds(2000)).back(), "UnInhibit 2");
  service.Hold();
  QTest::qWait(300);
  EXPECT_EQ(saver.Calls(milliseconds(100)).size(), 4u) << "held again after the end";
}

TEST_F(ScreenSaverServiceTest, QuickHoldsAndReleasesEndReleased) {
  ASSERT_TRUE(bus_.ok());
  kam::testing::FakeScreenSaver saver(bus_);
  ASSERT_TRUE(saver.ok());
  ScreenSaverService service;
  service.SetBus(Bus());
  for (int i = 0; i < 5; ++i) {
    service.Hold();
    service.Release();
  }
  QTest::qWait(1000);
  const auto calls = saver.Calls(milliseconds(200));
  // Every inhibit that went out was lifted again.
  std::size_t inhibits = 0, lifts = 0;
  for (const std::string& c : calls) {
    if (c.rfind("Inhibit ", 0) == 0) ++inhibits;
    if (c.rfind("UnInhibit ", 0) == 0) ++lifts;
  }
  EXPECT_GE(inhibits, 1u);
  EXPECT_EQ(inhibits, lifts) << ::testing::PrintToString(calls);
}

TEST_F(ScreenSaverServiceTest, ABusWithoutTheServiceIsAskedOncePerHold) {
  ASSERT_TRUE(bus_.ok());
  kam::testing::ChildProcess monitor(
      "/usr/bin/dbus-monitor",
      {"--address", bus_.address(), "type='method_call',interface='org.freedesktop.ScreenSaver'"});
  ASSERT_TRUE(monitor.started());
  QTest::qWait(500);
  ScreenSaverService service;
  service.SetBus(Bus());
  service.Hold();
  QTest::qWait(1500);
  int asked = 0;
  while (auto line = monitor.ReadLine(milliseconds(200))) {
    if (line->find("member=Inhibit") != std::string::npos) ++asked;
  }
  EXPECT_EQ(asked, 1);
  service.End();
}

}  // namespace
}  // namespace kam::desktop
