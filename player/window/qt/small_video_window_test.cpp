// The picture-in-picture window as the toolkit runs it: above the others without a frame, moved
// by its strip, resized from its corner keeping the video's shape, and its ways out reported.
#define QTEST_QPA_MOUSE_HANDLING
#include "player/window/qt/small_video_window.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <memory>

#include "player/window/qt/form1_chrome_test_app.h"

namespace kam::window {
namespace {

class SmallVideoWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    window_ = std::make_unique<SmallVideoWindow>();
    window_->setAspect(16.0 / 9.0);
    window_->setGeometry(100, 100, 480, 270);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  void TearDown() override {
    if (QWidget* g = QWidget::mouseGrabber()) g->releaseMouse();
    window_.reset();
  }

  QWidget* Part(const char* name) {
    return window_->findChild<QWidget*>(QString::fromLatin1(name));
  }

  std::unique_ptr<SmallVideoWindow> window_;
};

TEST_F(SmallVideoWindowTest, StaysAboveTheOthersWithoutAFrameOrATaskbarButton) {
  const Qt::WindowFlags f = window_->windowFlags();
  EXPECT_TRUE(f & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(f & Qt::FramelessWindowHint);
  EXPECT_EQ(f & Qt::WindowType_Mask, Qt::Tool);
  // The view fills it; the strip and grip lie over the view.
  EXPECT_EQ(window_->view()->geometry(), window_->rect());
  ASSERT_NE(Part("smallVideoStrip"), nullptr);
  ASSERT_NE(Part("smallVideoGrip"), nullptr);
  EXPECT_EQ(Part("smallVideoStrip")->geometry().top(), 0);
  EXPECT_EQ(Part("smallVideoGrip")->geometry().bottomRight(), window_->rect().bottomRight());
}

TEST_F(SmallVideoWindowTest, TheCornerGripResizesKeepingTheVideosShape) {
  QWidget* grip = Part("smallVideoGrip");
  ASSERT_NE(grip, nullptr);
  // In the window's own coordinates, which the resize leaves where they are (its top-left
  // corner stays).
  const QPoint from = grip->mapTo(window_.get(), QPoint(8, 8));
  // Pulled 160 pixels right: the height follows; then 90 pixels up from there: the width holds.
  QTest::mousePress(window_.get(), Qt::LeftButton, {}, from);
  QTest::mouseMove(window_.get(), from + QPoint(160, 0));
  EXPECT_EQ(window_->geometry(), QRect(100, 100, 640, 360));
  QTest::mouseMove(window_.get(), from + QPoint(160, -90));
  EXPECT_EQ(window_->geometry(), QRect(100, 100, 640, 360));
  QTest::mouseRelease(window_.get(), Qt::LeftButton, {}, from + QPoint(160, -90));
}

TEST_F(SmallVideoWindowTest, TheStripMovesItAndItsCloseButtonAsksToLeave) {
  QWidget* strip = Part("smallVideoStrip");
  ASSERT_NE(strip, nullptr);
  QSignalSpy closed(window_.get(), &SmallVideoWindow::closeClicked);
  QTest::mousePress(strip, Qt::LeftButton, {}, {100, 10});
  QTest::mouseMove(strip, {150, 60});
  // The window moved with the pointer: the same place on the screen is where the press was.
  QTest::mouseRelease(strip, Qt::LeftButton, {}, {100, 10});
  EXPECT_EQ(window_->pos(), QPoint(150, 150));
  EXPECT_EQ(closed.count(), 0);
  // Pressed on the close button and released off it: nothing; released on it: asked.
  QTest::mousePress(strip, Qt::LeftButton, {}, {strip->width() - 10, 10});
  QTest::mouseRelease(strip, Qt::LeftButton, {}, {100, 10});
  EXPECT_EQ(closed.count(), 0);
  QTest::mouseClick(strip, Qt::LeftButton, {}, {strip->width() - 10, 10});
  EXPECT_EQ(closed.count(), 1);
}

TEST_F(SmallVideoWindowTest, EscapeAsksToLeave) {
  QSignalSpy escaped(window_.get(), &SmallVideoWindow::escapePressed);
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  QTest::keyClick(window_.get(), Qt::Key_Escape);
  EXPECT_EQ(escaped.count(), 1);
}

}  // namespace
}  // namespace kam::window
