// The chrome on the real main window: mouse input as the toolkit delivers it reaches the chrome
// logic, and the window shows and does what the logic decided (pictures, state, geometry,
// capture, label colours, moves and frame resizes).
// Mouse input goes through the window system's path (as real input does): picked receivers,
// grabs and propagation, with no dependence on the pointer position of the display.
#define QTEST_QPA_MOUSE_HANDLING
#include "player/window/qt/form1_chrome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <functional>

#include "player/window/qt/form1_chrome_test_app.h"
#include "player/window/qt/form1_window.h"
#include "player/window/qt/form2.h"

namespace kam::window {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

class ChromeWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    window_ = std::make_unique<Form1Window>(state_);
    form2_ = new Form2(window_.get());
    window_->setParts(form2_, nullptr, nullptr, nullptr);
    window_->move(40, 30);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    view_ = window_->findChild<ChromeView*>();
    ASSERT_NE(view_, nullptr);
  }
  void TearDown() override {
    if (QWidget* g = QWidget::mouseGrabber()) g->releaseMouse();
    window_.reset();
  }

  QWidget* W(Ctl c) { return window_->control(c); }
  // The picture a caption button shows.
  bool Shows(Ctl button, Pic pic) {
    return window_->box(button)->picture().cacheKey() == window_->picture(pic).cacheKey();
  }
  void MoveOver(Ctl c, QPoint at) { QTest::mouseMove(W(c), at); }

  PlayerState state_;
  std::unique_ptr<Form1Window> window_;
  ChromeView* view_ = nullptr;
  Form2* form2_ = nullptr;
};

TEST_F(ChromeWindowTest, CaptionButtonsLightUnderTheMouseAndStayLit) {
  MoveOver(Ctl::gb, {17, 12});
  EXPECT_TRUE(Shows(Ctl::gb, Pic::gb2));
  EXPECT_TRUE(Shows(Ctl::max, Pic::max1));
  MoveOver(Ctl::max, {17, 12});
  EXPECT_TRUE(Shows(Ctl::gb, Pic::gb1));
  EXPECT_TRUE(Shows(Ctl::max, Pic::max2));
  MoveOver(Ctl::sz, {17, 12});
  EXPECT_TRUE(Shows(Ctl::sz, Pic::sz2));
  EXPECT_TRUE(Shows(Ctl::max, Pic::max1));
  // Over the logo (a child of the bar) nothing changes; over the bar's own surface all rest.
  MoveOver(Ctl::logo, {20, 20});
  EXPECT_TRUE(Shows(Ctl::sz, Pic::sz2));
  MoveOver(Ctl::bj, {700, 30});
  EXPECT_TRUE(Shows(Ctl::sz, Pic::sz1));
  EXPECT_TRUE(Shows(Ctl::gb, Pic::gb1));
}

TEST_F(ChromeWindowTest, MaximiseAndRestoreWithTheButton) {
  const QRect normal = window_->geometry();
  QTest::mouseClick(W(Ctl::max), Qt::LeftButton, {}, {17, 12});
  ASSERT_TRUE(WaitFor([&] { return window_->isMaximized(); }));
  const QRect work = window_->screen()->availableGeometry();
  EXPECT_TRUE(WaitFor([&] { return window_->geometry() == work; }))
      << window_->geometry().width() << "x" << window_->geometry().height();
  EXPECT_TRUE(Shows(Ctl::max, Pic::max3));
  // The title bar and the player area follow the new width.
  EXPECT_TRUE(WaitFor([&] { return W(Ctl::bj)->width() == work.width() - 2; }));
  EXPECT_EQ(W(Ctl::gb)->x(), work.width() - 2 - 41);
  MoveOver(Ctl::max, {17, 12});
  EXPECT_TRUE(Shows(Ctl::max, Pic::max4));
  QTest::mouseClick(W(Ctl::max), Qt::LeftButton, {}, {17, 12});
  ASSERT_TRUE(WaitFor([&] { return !window_->isMaximized(); }));
  EXPECT_TRUE(WaitFor([&] { return window_->geometry() == normal; }));
  EXPECT_TRUE(Shows(Ctl::max, Pic::max1));
}

TEST_F(ChromeWindowTest, MinimiseButtonMinimisesAndKeepsTheMaximisedState) {
  QTest::mouseClick(W(Ctl::max), Qt::LeftButton, {}, {17, 12});
  ASSERT_TRUE(WaitFor([&] { return window_->isMaximized(); }));
  QTest::mouseClick(W(Ctl::min), Qt::LeftButton, {}, {17, 12});
  ASSERT_TRUE(WaitFor([&] { return window_->isMinimized(); }));
  EXPECT_TRUE(window_->windowState() & Qt::WindowMaximized);
  EXPECT_TRUE(Shows(Ctl::max, Pic::max3));
}

TEST_F(ChromeWindowTest, CloseButtonHidesOnlyWhereATrayCanBringItBack) {
  QTest::mouseClick(W(Ctl::gb), Qt::LeftButton, {}, {17, 12});
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    EXPECT_TRUE(WaitFor([&] { return !window_->isVisible(); }));
  } else {
    EXPECT_TRUE(WaitFor([&] { return window_->isMinimized(); }));
    EXPECT_TRUE(window_->isVisible());
  }
}

TEST_F(ChromeWindowTest, DoubleClickOnTheTitleBarTogglesMaximised) {
  QTest::mouseDClick(W(Ctl::bj), Qt::LeftButton, {}, {700, 30});
  ASSERT_TRUE(WaitFor([&] { return window_->isMaximized(); }));
  EXPECT_TRUE(Shows(Ctl::max, Pic::max3));
  QTest::mouseDClick(W(Ctl::bj), Qt::LeftButton, {}, {700, 30});
  ASSERT_TRUE(WaitFor([&] { return !window_->isMaximized(); }));
  EXPECT_TRUE(Shows(Ctl::max, Pic::max1));
}

TEST_F(ChromeWindowTest, RightFrameEdgeDragsTwentyPixelsWider) {
  const QRect before = window_->geometry();
  const int edge = window_->width() - 1;
  QTest::mouseMove(window_.get(), {edge, 300});
  EXPECT_EQ(window_->cursor().shape(), Qt::SizeHorCursor);
  QTest::mousePress(window_.get(), Qt::LeftButton, {}, {edge, 300});
  QTest::mouseMove(window_.get(), {edge + 20, 300});
  QTest::mouseRelease(window_.get(), Qt::LeftButton, {}, {edge + 20, 300});
  EXPECT_TRUE(WaitFor([&] { return window_->width() == before.width() + 20; })) << window_->width();
  EXPECT_EQ(window_->x(), before.x());
}

TEST_F(ChromeWindowTest, MaximisedWindowIgnoresItsFrame) {
  QTest::mouseDClick(W(Ctl::bj), Qt::LeftButton, {}, {700, 30});
  ASSERT_TRUE(WaitFor([&] { return window_->isMaximized(); }));
  const QRect max = window_->geometry();
  const int edge = window_->width() - 1;
  QTest::mouseMove(window_.get(), {edge, 300});
  EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor);
  QTest::mousePress(window_.get(), Qt::LeftButton, {}, {edge, 300});
  QTest::mouseMove(window_.get(), {edge - 200, 300});
  QTest::mouseRelease(window_.get(), Qt::LeftButton, {}, {edge - 200, 300});
  QTest::qWait(100);
  EXPECT_EQ(window_->geometry(), max);
}

TEST_F(ChromeWindowTest, TitleBarDragMovesTheWindow) {
  const QPoint start = window_->pos();
  QTest::mousePress(W(Ctl::bj), Qt::LeftButton, {}, {700, 30});
  QTest::mouseMove(W(Ctl::bj), {710, 35});
  QTest::mouseMove(W(Ctl::bj), {760, 70});
  QTest::mouseRelease(W(Ctl::bj), Qt::LeftButton, {}, {760, 70});
  // With a window manager its own move loop runs; without one the window follows the mouse.
  EXPECT_TRUE(WaitFor([&] { return window_->pos() != start; }));
}

TEST_F(ChromeWindowTest, BinCapturesTheMouseUntilItLeaves) {
  window_->logic().L1_Click(1);
  QWidget* bin = W(Ctl::Picture7);
  ASSERT_TRUE(WaitFor([&] { return bin->isVisible(); }));
  QTest::mouseMove(bin, {10, 10});
  EXPECT_EQ(QWidget::mouseGrabber(), bin);
  QTest::mouseMove(bin, {-30, 10});
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(ChromeWindowTest, MenuButtonPopsUpTheSettingsMenu) {
  form2_->caidan()->addAction(QStringLiteral("item"));
  QTest::mouseClick(W(Ctl::sz), Qt::LeftButton, {}, {17, 12});
  EXPECT_TRUE(WaitFor([&] { return form2_->caidan()->isVisible(); }));
  form2_->caidan()->hide();
}

TEST_F(ChromeWindowTest, BottomBarLabelTurnsYellowUnderTheMouse) {
  auto* label = qobject_cast<QLabel*>(W(Ctl::Label2));
  ASSERT_NE(label, nullptr);
  MoveOver(Ctl::Label2, {10, 8});
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 0));
  MoveOver(Ctl::dibu, {600, 8});
  EXPECT_EQ(label->palette().color(QPalette::WindowText),
            window_->palette().color(QPalette::Highlight));
}

}  // namespace
}  // namespace kam::window
