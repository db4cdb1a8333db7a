#include "player/window/qt/form1_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextDocument>
#include <QWebEnginePage>
#include <QWindow>

#include "common/atomic_file.h"
#include "common/qt/plain_text.h"
#include "player/window/qt/app_tip.h"
#include "player/window/qt/form1_chrome_test_app.h"
#include "player/window/qt/form2.h"
#include "player/window/qt/tray.h"
#include "tests/support/temp_dir.h"

namespace kam::window {
namespace {

QApplication& App() { return *testing::App(); }

QRect At(const Form1Window& w, Ctl c) { return w.control(c)->geometry(); }

class Form1WindowTest : public ::testing::Test {
 protected:
  Form1WindowTest() {
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }
  QApplication* app_ = testing::App();  // before any widget
  kam::testing::TempDir dir_;
  PlayerState state_;
  Form1Window window_{state_, dir_.path()};
};

TEST_F(Form1WindowTest, RealWidgetsTakeTheWorkedExampleAtDesignSize) {
  EXPECT_EQ(window_.size(), QSize(1186, 702));
  EXPECT_EQ(At(window_, Ctl::P2), QRect(1, 68, 1184, 632));
  EXPECT_EQ(At(window_, Ctl::Picture6), QRect(884, 0, 300, 632));
  EXPECT_EQ(At(window_, Ctl::Picture3), QRect(874, 0, 10, 632));
  EXPECT_EQ(At(window_, Ctl::Picture4), QRect(0, 266, 10, 128));
  EXPECT_EQ(At(window_, Ctl::bjbox), QRect(-2, -2, 878, 634));
  EXPECT_EQ(At(window_, Ctl::W3), QRect(-2, -2, 878, 638));
  EXPECT_EQ(At(window_, Ctl::vip), QRect(-40, -40, 954, 672));
  EXPECT_EQ(At(window_, Ctl::bj), QRect(1, 1, 1184, 68));
  EXPECT_EQ(At(window_, Ctl::gb).x(), 1143);
  EXPECT_EQ(At(window_, Ctl::max).x(), 1106);
  EXPECT_EQ(At(window_, Ctl::min).x(), 1069);
  EXPECT_EQ(At(window_, Ctl::sz).x(), 1032);
  EXPECT_EQ(At(window_, Ctl::bj2), QRect(1, 68, 1184, 611));
  EXPECT_EQ(At(window_, Ctl::listweb), QRect(-4, -4, 1192, 613));
  EXPECT_EQ(At(window_, Ctl::dibu), QRect(1, 675, 1184, 26));
  EXPECT_EQ(At(window_, Ctl::WebList1), QRect(0, 35, 300, 597));
  EXPECT_EQ(At(window_, Ctl::Picture7), QRect(269, 0, 31, 31));
  EXPECT_EQ(At(window_, Ctl::bjimg), QRect(277, 217, 324, 200));
}

TEST_F(Form1WindowTest, EveryPassFollowsASizeChangeAndComesBack) {
  window_.resize(1300, 800);
  QApplication::processEvents();
  EXPECT_EQ(At(window_, Ctl::P2), QRect(1, 68, 1298, 730));
  EXPECT_EQ(At(window_, Ctl::Picture3).x(), 1298 - 310);
  EXPECT_EQ(At(window_, Ctl::gb).x(), 1298 - 41);
  EXPECT_EQ(At(window_, Ctl::dibu), QRect(1, 773, 1298, 26));
  EXPECT_EQ(At(window_, Ctl::Picture4).y(), 730 / 2 - 50);
  // Smaller than the layout needs: nothing negative, nothing crashes.
  window_.resize(200, 60);
  QApplication::processEvents();
  EXPECT_GE(At(window_, Ctl::bjbox).width(), 0);
  EXPECT_EQ(At(window_, Ctl::bj2).height(), 0);
  window_.resize(1186, 702);
  QApplication::processEvents();
  EXPECT_EQ(At(window_, Ctl::W3), QRect(-2, -2, 878, 638));
}

TEST_F(Form1WindowTest, StackingFollowsTheWindowDefinition) {
  // bj2 in front of P2 at creation; dibu in front of bj2.
  const QObjectList& top = window_.children();
  auto index = [&](Ctl c) { return top.indexOf(window_.control(c)); };
  EXPECT_GT(index(Ctl::bj2), index(Ctl::P2));
  EXPECT_GT(index(Ctl::dibu), index(Ctl::bj2));
  // Inside P2: the strip and panel in front of vip, vip in front of bjbox, bjbox of W3.
  const QObjectList& p2 = window_.control(Ctl::P2)->children();
  auto in_p2 = [&](Ctl c) { return p2.indexOf(window_.control(c)); };
  EXPECT_GT(in_p2(Ctl::Picture3), in_p2(Ctl::vip));
  EXPECT_GT(in_p2(Ctl::Picture6), in_p2(Ctl::vip));
  EXPECT_GT(in_p2(Ctl::vip), in_p2(Ctl::bjbox));
  EXPECT_GT(in_p2(Ctl::bjbox), in_p2(Ctl::W3));
}

TEST_F(Form1WindowTest, TabClicksSwitchTheAreas) {
  QTest::mouseClick(window_.control(Ctl::L1_1), Qt::LeftButton, {}, QPoint(75, 30));
  EXPECT_EQ(state_.selectedTab, 1);
  EXPECT_FALSE(window_.control(Ctl::P2)->isHidden());
  EXPECT_TRUE(window_.control(Ctl::bj2)->isHidden());
  // The player area is now in front of the bottom bar it overlaps.
  const QObjectList& top = window_.children();
  EXPECT_EQ(top.indexOf(window_.control(Ctl::P2)), top.size() - 1);

  QTest::mouseClick(window_.control(Ctl::L1_0), Qt::LeftButton, {}, QPoint(75, 30));
  EXPECT_EQ(state_.selectedTab, 0);
  EXPECT_TRUE(window_.control(Ctl::P2)->isHidden());
  EXPECT_FALSE(window_.control(Ctl::bj2)->isHidden());
}

TEST_F(Form1WindowTest, HandleClickFoldsTheSidePanelAndPaintsTheStripBlack) {
  window_.logic().L1_Click(1);
  QTest::mouseClick(window_.control(Ctl::Picture4), Qt::LeftButton, {}, QPoint(5, 60));
  EXPECT_TRUE(window_.control(Ctl::Picture6)->isHidden());
  EXPECT_EQ(At(window_, Ctl::Picture3).x(), 1174);
  EXPECT_EQ(At(window_, Ctl::W3).width(), 1178);
  EXPECT_EQ(window_.box(Ctl::Picture3)->backColor(), QColor(0, 0, 0));
  window_.logic().calllist();
  EXPECT_FALSE(window_.control(Ctl::Picture6)->isHidden());
  EXPECT_EQ(window_.box(Ctl::Picture3)->backColor(), QColor(46, 46, 46));
}

TEST_F(Form1WindowTest, ClearHistoryStoresAnEmptyList) {
  std::filesystem::create_directories(dir_.path() / "data");
  window_.logic().LoadHistory({"a||http://x/1||t"});
  // The list is written away from the window's thread.
  const auto stored = [&](const std::string& bytes) {
    return QTest::qWaitFor(
        [&] { return ReadFileBytes(dir_.path() / "data" / "Data.dat") == bytes; }, 10000);
  };
  EXPECT_TRUE(stored("<Item>a||http://x/1||t</Item>\r\n\r\n"));
  window_.logic().L1_Click(1);
  QTest::mouseClick(window_.control(Ctl::Picture7), Qt::LeftButton, {}, QPoint(15, 15));
  EXPECT_TRUE(state_.List3.empty());
  EXPECT_TRUE(stored("\r\n"));
  EXPECT_TRUE(window_.W3()->isHidden());
  EXPECT_FALSE(window_.control(Ctl::bjbox)->isHidden());
}

TEST_F(Form1WindowTest, SelectedTabIsDrawnFromTheLitFrame) {
  // The tab strip of bj is drawn from the sprites: the selected tab shows its lit frame.
  const QImage before = window_.control(Ctl::bj)->grab(QRect(180, 1, 290, 65)).toImage();
  window_.logic().L1_Click(1);
  QApplication::processEvents();
  const QImage after = window_.control(Ctl::bj)->grab(QRect(180, 1, 290, 65)).toImage();
  EXPECT_NE(before, after);
  window_.logic().L1_Click(0);
  QApplication::processEvents();
  EXPECT_EQ(window_.control(Ctl::bj)->grab(QRect(180, 1, 290, 65)).toImage(), before);
}

// Counts one kind of event a widget receives.
class EventCount : public QObject {
 public:
  EventCount(QWidget* w, QEvent::Type type) : type_(type) { w->installEventFilter(this); }
  int n = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == type_) ++n;
    return false;
  }

 private:
  QEvent::Type type_;
};

// Once the buffering page has loaded, the overlay's first show is spent ahead of any click, and
// it never reaches the screen; the real show later still draws it.
TEST_F(Form1WindowTest, BufferOverlayIsMadeReadyUnseenOnceItsPageLoaded) {
  window_.logic().L1_Click(1);  // the player area, where the overlay would show
  QWidget* vip = window_.control(Ctl::vip);
  EventCount painted(window_.control(Ctl::vip3), QEvent::Paint);  // the countdown strip
  EventCount shown(window_.qvod(), QEvent::Show);
  QSignalSpy loaded(window_.qvod()->page(), &QWebEnginePage::loadFinished);
  window_.qvod()->Navigate("data:text/html,<body style='background:red'>");
  ASSERT_TRUE(loaded.wait(30000));
  QTest::qWait(300);
  EXPECT_EQ(shown.n, 1) << "made ready once";
  EXPECT_TRUE(vip->isHidden());
  EXPECT_EQ(painted.n, 0) << "the overlay reached the screen";
  // Another load of the page leaves the overlay alone.
  window_.qvod()->Navigate("data:text/html,<body>");
  ASSERT_TRUE(loaded.wait(30000));
  QTest::qWait(100);
  EXPECT_EQ(shown.n, 1);
  window_.port().SetVisible(Ctl::vip, true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return painted.n > 0; }, 5000));
}

TEST_F(Form1WindowTest, CloseHidesOrMinimisesButNeverDestroys) {
  window_.close();
  QApplication::processEvents();
  // Either way the window still exists and can be shown again.
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    EXPECT_FALSE(window_.isVisible());
  } else {
    EXPECT_TRUE(window_.isVisible());
  }
  window_.showNormal();
  EXPECT_TRUE(window_.isVisible());
}

// The tray's and the tray menu's show-or-hide commands: hidden into the tray where there is
// one, minimised (never unmapped) where there is none; either way the next command brings the
// window back.
TEST_F(Form1WindowTest, ShowOrHideCommandsNeverLoseTheWindow) {
  const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
  ASSERT_TRUE(window_.ShownToUser());
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    window_.SetShownToUser(false);
    QApplication::processEvents();
    EXPECT_FALSE(window_.ShownToUser());
    EXPECT_EQ(window_.isVisible(), !tray) << "without a tray the window stays mapped";
    window_.SetShownToUser(true);
    QApplication::processEvents();
    EXPECT_TRUE(window_.ShownToUser());
    EXPECT_TRUE(window_.isVisible());
  }
}

TEST_F(Form1WindowTest, TrayIconCarriesTheCutTipAndGoesOnRemove) {
  Form2 form2(&window_);
  QtTray tray(window_, form2);
  window_.SetIconFromFile(dir_.path() / "missing.ico");  // the built-in icon stands in
  EXPECT_FALSE(window_.windowIcon().isNull());
  tray.TrayShowIcon(std::string(130, 'a'));
  EXPECT_TRUE(tray.exists());
  EXPECT_TRUE(tray.icon().isVisible());
  EXPECT_EQ(tray.icon().toolTip(), QString(127, QChar('a')));
  tray.TrayShowIcon("看吧影院");
  EXPECT_EQ(tray.icon().toolTip(), QStringLiteral("看吧影院"));
  tray.TrayRemoveIcon();
  EXPECT_FALSE(tray.exists());
  EXPECT_FALSE(tray.icon().isVisible());
}

// What a tool tip shows of text (rich text when Qt takes it for markup).
QString ShownToolTip(const QString& text) {
  if (!Qt::mightBeRichText(text)) return text;
  QTextDocument doc;
  doc.setHtml(text);
  return doc.toPlainText();
}

TEST_F(Form1WindowTest, EveryLabelAndTheTrayTipShowPlainText) {
  const auto rich = RichTextLabels(&window_);
  for (const QLabel* label : rich) ADD_FAILURE() << label->objectName().toStdString();
  const QString caption = QStringLiteral("<b>看吧</b><img src=\"/dev/zero\">");
  window_.verLabel()->setText(caption);
  EXPECT_GE(window_.verLabel()->sizeHint().width(),
            QFontMetrics(window_.verLabel()->font()).horizontalAdvance(caption));
  Form2 form2(&window_);
  QtTray tray(window_, form2);
  tray.TrayShowIcon(caption.toStdString());
  EXPECT_EQ(ShownToolTip(tray.icon().toolTip()), caption);
  tray.TrayRemoveIcon();
}

TEST_F(Form1WindowTest, TaskbarHookIsInstalledOnce) {
  EXPECT_FALSE(window_.taskbarHooked());
  window_.TaskbarHook();
  window_.TaskbarHook();
  EXPECT_TRUE(window_.taskbarHooked());
  EXPECT_TRUE(window_.windowHandle()->flags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(window_.isVisible());  // the native window was changed in place, not recreated
}

TEST(FrmAppTip, ShowsCentredThenHidesAfterThreeSeconds) {
  App();
  FrmAppTip tip;
  EXPECT_EQ(tip.size(), QSize(356, 33));
  EXPECT_EQ(tip.Label1()->text(), QStringLiteral("放入桌面成功，下次从桌面打开即可观看"));
  EXPECT_TRUE(tip.windowFlags() & Qt::Tool);  // no taskbar button
  tip.ShowTip("西游记放入桌面成功，从桌面打开观看");
  EXPECT_TRUE(tip.isVisible());
  EXPECT_EQ(tip.Label1()->text(), QStringLiteral("西游记放入桌面成功，从桌面打开观看"));
  EXPECT_EQ(tip.Timer1()->interval(), 3000);
  QTest::qWait(2500);
  EXPECT_TRUE(tip.isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !tip.isVisible(); }, 2000));
  EXPECT_FALSE(tip.Timer1()->isActive());
}

TEST(FrmAppTip, ShowsATitleNameAsWritten) {
  App();
  FrmAppTip tip;
  EXPECT_TRUE(RichTextLabels(&tip).isEmpty());
  const QString text = QStringLiteral("<b>x</b>放入桌面成功，从桌面打开观看");
  tip.ShowTip(text.toStdString());
  EXPECT_EQ(tip.Label1()->text(), text);
  EXPECT_EQ(tip.Label1()->textFormat(), Qt::PlainText);
  // Drawn as characters: the text takes the width of all of them, markup included.
  EXPECT_GE(tip.Label1()->sizeHint().width(),
            QFontMetrics(tip.Label1()->font()).horizontalAdvance(text));
  tip.hide();
}

}  // namespace
}  // namespace kam::window
