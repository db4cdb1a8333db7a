#include "update/qt/updater_window.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLabel>

#include "common/qt/plain_text.h"
#include "tests/support/temp_dir.h"
#include "update/qt/progress_bar.h"
#include "update/qt/qt_test_app.h"
#include "update/qt/skin_art.h"

namespace kam::update {
namespace {

using testing::App;
using testing::SendMouse;

class QuietSystem : public UpdaterSystem {
 public:
  std::string ReadSetting(std::string_view, std::string_view) override { return {}; }
  bool AnotherInstanceRunning() override { return false; }
  void EndProgramCopies(const std::string& name) override { ended.push_back(name); }
  bool StartProgram(const std::filesystem::path&) override { return true; }
  bool WriteSkinConfig(std::string_view, std::string_view, std::string_view) override {
    return true;
  }
  void ReportError(const std::string&) override {}
  std::vector<std::string> ended;
};

// A transfer that sends a fixed list of notifications, then fails.
class ListTransport : public BindingTransport {
 public:
  bool Transfer(const std::string&, const std::filesystem::path&, const TransferOptions&,
                const std::function<bool(const ProgressNotification&)>& notify) override {
    for (const auto& n : notifications) {
      if (!notify(n)) return false;
    }
    return false;
  }
  std::vector<ProgressNotification> notifications;
};

// No publisher key: the window tests never get as far as a downloaded installer.
class NoChecks : public InstallerChecks {
 public:
  bool HasPublisherKey() const override { return false; }
  class NoDigest : public Sha256Stream {
    void Update(std::string_view) override {}
    std::string HexDigest() override { return {}; }
  };
  std::unique_ptr<Sha256Stream> NewSha256() override { return std::make_unique<NoDigest>(); }
  SignatureVerdict CheckSignature(std::string_view, std::string_view, std::string_view) override {
    return SignatureVerdict::kWrong;
  }
};

class FixedClock : public TickClock {
 public:
  std::uint32_t TickCount() override { return 1000; }
};

class UpdaterWindowTest : public ::testing::Test {
 protected:
  UpdaterWindowTest() : updater(window, system, transport, clock, pump, checks, dir.path()) {
    window.Attach(&updater);
  }
  void Start(const char* command_line) { ASSERT_TRUE(updater.Start(command_line).show); }
  QImage Shown() { return window.grab().toImage(); }
  QString Text(Control c) { return static_cast<QLabel*>(window.ControlWidget(c))->text(); }

  QApplication* app = App();  // before any widget
  kam::testing::TempDir dir;
  QuietSystem system;
  ListTransport transport;
  FixedClock clock;
  QtMessagePump pump;
  NoChecks checks;
  UpdaterWindow window;
  Updater updater;
};

QRect Geometry(const QWidget* w) { return w->geometry(); }

TEST_F(UpdaterWindowTest, FixedBorderlessDialogWithItsCaption) {
  EXPECT_EQ(window.size(), QSize(548, 350));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("在线升级"));
  EXPECT_EQ(Geometry(window.CloseHit()), QRect(508, 2, 32, 24));
  EXPECT_EQ(Geometry(window.MinimiseHit()), QRect(474, 2, 32, 24));
  EXPECT_EQ(Geometry(window.Bar()), QRect(96, 208, 353, 33));
  EXPECT_EQ(Geometry(window.ControlWidget(Control::kImage3)), QRect(216, 264, 109, 31));
  EXPECT_EQ(Geometry(window.ControlWidget(Control::kImage6)), QRect(216, 272, 109, 31));
  EXPECT_EQ(Geometry(window.ControlWidget(Control::kLabel4)), QRect(344, 288, 33, 17));
  EXPECT_EQ(Geometry(window.ControlWidget(Control::kLabel5)), QRect(456, 216, 60, 28));
  EXPECT_EQ(Text(Control::kLabel5), "00%");
  EXPECT_EQ(Text(Control::kLabel4), QString::fromUtf8("取消"));
}

TEST_F(UpdaterWindowTest, CurrentVersionSentenceAtItsDesignPlaces) {
  Start("2.0.1###wu###");
  EXPECT_EQ(Text(Control::kLabel1), QString::fromUtf8("您当前使用的"));
  EXPECT_EQ(Text(Control::kLabel2), QString::fromUtf8("已是最新"));
  EXPECT_EQ(Text(Control::kLabel3), QString::fromUtf8(",无需升级"));
  EXPECT_EQ(Geometry(window.ControlWidget(Control::kLabel1)), QRect(128, 176, 151, 17));
  EXPECT_EQ(Geometry(window.ControlWidget(Control::kLabel2)), QRect(224, 176, 81, 17));
  EXPECT_EQ(Geometry(window.ControlWidget(Control::kLabel3)), QRect(288, 176, 121, 17));
  EXPECT_TRUE(window.ControlWidget(Control::kImage3)->isVisibleTo(&window));
  EXPECT_FALSE(window.ControlWidget(Control::kImage6)->isVisibleTo(&window));
  const QColor label2 =
      window.ControlWidget(Control::kLabel2)->palette().color(QPalette::WindowText);
  EXPECT_EQ(label2, QColor(255, 128, 0));
  const QFont font = window.ControlWidget(Control::kLabel1)->font();
  EXPECT_TRUE(font.bold());
  EXPECT_DOUBLE_EQ(font.pointSizeF(), 10.5);
}

TEST_F(UpdaterWindowTest, OfferedVersionFollowsTheFirstPartWithoutOverlap) {
  Start("2.0.1###shengji###");
  const QWidget* label1 = window.ControlWidget(Control::kLabel1);
  const QWidget* label2 = window.ControlWidget(Control::kLabel2);
  const QWidget* label3 = window.ControlWidget(Control::kLabel3);
  const int first_end =
      label1->x() + QFontMetrics(label1->font()).horizontalAdvance(Text(Control::kLabel1));
  EXPECT_GE(label2->x(), first_end);
  EXPECT_GE(label3->x(), 288);
  EXPECT_EQ(label2->y(), 176);
  EXPECT_TRUE(window.ControlWidget(Control::kImage6)->isVisibleTo(&window));
}

TEST_F(UpdaterWindowTest, OfferedVersionIsShownAsWritten) {
  const auto rich = RichTextLabels(&window);
  for (const QLabel* label : rich) ADD_FAILURE() << label->objectName().toStdString();
  Start("<b>2.0</b><img src=\"/dev/zero\">###shengji###");
  const auto* label2 = static_cast<QLabel*>(window.ControlWidget(Control::kLabel2));
  EXPECT_EQ(label2->textFormat(), Qt::PlainText);
  EXPECT_NE(label2->text().indexOf(QStringLiteral("<b>2.0</b><img src=\"/dev/zero\">")), -1)
      << label2->text().toStdString();
  EXPECT_GE(label2->sizeHint().width(),
            QFontMetrics(label2->font()).horizontalAdvance(QStringLiteral("<b>2.0</b>")));
}

TEST_F(UpdaterWindowTest, PaintsSkinButtonsAndFrame) {
  const QImage shown = Shown();
  const QColor sky = shown.pixelColor(300, 50);
  EXPECT_GT(sky.blue(), sky.red() + 40);  // the banner is blue
  EXPECT_EQ(shown.pixelColor(300, 99), QColor(Qt::white));
  EXPECT_EQ(shown.pixelColor(300, 200), QColor(Qt::white));
  const QColor highlight = window.palette().color(QPalette::Highlight);
  EXPECT_EQ(shown.pixelColor(0, 200), highlight);
  EXPECT_EQ(shown.pixelColor(547, 200), highlight);
  EXPECT_EQ(shown.pixelColor(300, 349), highlight);
  // The close button's normal state: its strip's piece at x 0, copied to (508, 2).
  const QImage strip = CloseStrip().toImage();
  EXPECT_EQ(shown.pixelColor(509, 3), strip.pixelColor(1, 1));
}

TEST_F(UpdaterWindowTest, TitleBarButtonsLightUpUnderTheMouse) {
  const QImage strip = CloseStrip().toImage();
  const QImage minimise = MinimiseStrip().toImage();
  SendMouse(window.CloseHit(), QEvent::MouseMove, {5, 5});
  QImage shown = Shown();
  EXPECT_EQ(shown.pixelColor(509, 3), strip.pixelColor(65, 1));    // hover state
  EXPECT_EQ(shown.pixelColor(475, 3), minimise.pixelColor(1, 1));  // normal
  SendMouse(window.MinimiseHit(), QEvent::MouseMove, {5, 5});
  shown = Shown();
  EXPECT_EQ(shown.pixelColor(509, 3), strip.pixelColor(1, 1));
  EXPECT_EQ(shown.pixelColor(475, 3), minimise.pixelColor(65, 1));
  SendMouse(&window, QEvent::MouseMove, {300, 200});
  shown = Shown();
  EXPECT_EQ(shown.pixelColor(475, 3), minimise.pixelColor(1, 1));
}

TEST_F(UpdaterWindowTest, ButtonPicturesSwapOnHover) {
  Start("2###shengji###");
  auto* image6 = static_cast<QLabel*>(window.ControlWidget(Control::kImage6));
  const QImage normal = ButtonPicture(ButtonArt::kUpdateNormal).toImage();
  const QImage hover = ButtonPicture(ButtonArt::kUpdateHover).toImage();
  EXPECT_EQ(image6->pixmap().toImage(), normal);
  SendMouse(image6, QEvent::MouseMove, {10, 10});
  EXPECT_EQ(image6->pixmap().toImage(), hover);
  SendMouse(&window, QEvent::MouseMove, {30, 300});
  EXPECT_EQ(image6->pixmap().toImage(), normal);
}

TEST_F(UpdaterWindowTest, PointerIsCustomAfterABackgroundPressUntilATitleBarButton) {
  SendMouse(&window, QEvent::MouseButtonPress, {300, 150}, Qt::LeftButton);
  SendMouse(&window, QEvent::MouseButtonRelease, {300, 150}, Qt::LeftButton);
  EXPECT_EQ(window.chrome().pointer(), kPointerCustom);
  SendMouse(&window, QEvent::MouseMove, {200, 200});
  EXPECT_EQ(window.chrome().pointer(), kPointerCustom);
  SendMouse(window.CloseHit(), QEvent::MouseMove, {3, 3});
  EXPECT_EQ(window.chrome().pointer(), kPointerDefault);
}

TEST_F(UpdaterWindowTest, PressOnALabelIsNoDrag) {
  Start("2###wu###");
  SendMouse(window.ControlWidget(Control::kLabel1), QEvent::MouseButtonPress, {3, 3},
            Qt::LeftButton);
  EXPECT_EQ(window.chrome().pointer(), kPointerDefault);
}

TEST_F(UpdaterWindowTest, SystemCloseHidesThenUnloads) {
  Start("2###wu###");
  window.show();
  bool hidden_when_unloading = false;
  // The flow's unload runs inside the close; the window is already out of sight then.
  transport.notifications = {};
  window.close();
  hidden_when_unloading = !window.isVisible();
  EXPECT_TRUE(window.hook_installed());
  EXPECT_TRUE(hidden_when_unloading);
  EXPECT_EQ(updater.state(), UpdaterState::kClosed);
}

TEST_F(UpdaterWindowTest, ProgressReachesTheBarAndTheLabel) {
  Start("2###shengji###");
  transport.notifications = {{512, 1024, BindStatus::kDownloadingData, ""},
                             {1200, 1000, BindStatus::kDownloadingData, ""}};
  auto* image6 = window.ControlWidget(Control::kImage6);
  SendMouse(image6, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
  SendMouse(image6, QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton);
  EXPECT_EQ(window.Bar()->value(), 100);  // clamped by the bar
  EXPECT_EQ(Text(Control::kLabel5), "120.00%");
  EXPECT_TRUE(window.ControlWidget(Control::kLabel4)->isVisibleTo(&window));
  EXPECT_EQ(updater.state(), UpdaterState::kClosed);  // the transfer failed: unloaded
  EXPECT_TRUE(system.ended.empty());
}

}  // namespace
}  // namespace kam::update
