#include "player/window/qt/player_app.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "player/playlist/history.h"

namespace kam::window {

PlayerApp::PlayerApp(std::filesystem::path program_dir, std::string command_line,
                     ServerAddresses servers)
    : system_(std::move(program_dir), std::move(command_line),
              [] { QCoreApplication::processEvents(QEventLoop::AllEvents); }),
      window_(std::make_unique<Form1Window>(state_)),
      form2_(new Form2(window_.get())),
      app_tip_(std::make_unique<FrmAppTip>()),
      tray_(new QtTray(*window_, *form2_)),
      startup_(state_, *this, system_, std::move(servers)) {
  QObject::connect(window_->nolink(), &QTimer::timeout, window_.get(),
                   [this] { startup_.nolink_Timer(); });
  QObject::connect(window_->webtime(), &QTimer::timeout, window_.get(),
                   [this] { startup_.webtime_Timer(); });
  window_->setParts(form2_, app_tip_.get(), tray_, &startup_);
}

PlayerApp::~PlayerApp() {
  // The tray icon goes with the program, whichever way it ends.
  tray_->icon().hide();
}

StartOutcome PlayerApp::Start() { return startup_.Run(); }

int PlayerApp::WaitForBalloonThenEnd() {
  // Without a notification area there is no balloon to wait for.
  if (!QtTray::available()) return 0;
  QEventLoop loop;
  QTimer::singleShot(kOfflineBalloonMs, &loop, &QEventLoop::quit);
  QObject::connect(tray_, &QtTray::balloonClicked, &loop, &QEventLoop::quit);
  loop.exec();
  tray_->TrayRemoveIcon();
  return 0;
}

WebPane* PlayerApp::PaneOf(MainPane pane) const {
  switch (pane) {
    case MainPane::kListweb:
      return window_->listweb();
    case MainPane::kW3:
      return window_->W3();
    case MainPane::kQvod:
      return window_->qvod();
  }
  return nullptr;
}

void PlayerApp::Show() { window_->show(); }

void PlayerApp::SetTimerEnabled(MainTimer timer, bool enabled) {
  QTimer* t = timer == MainTimer::kNolink ? window_->nolink() : window_->webtime();
  if (enabled) {
    if (!t->isActive()) t->start();
  } else {
    t->stop();
  }
}

void PlayerApp::Navigate(MainPane pane, const std::string& address) {
  PaneOf(pane)->Navigate(address);
}

bool PlayerApp::Busy(MainPane pane) { return PaneOf(pane)->Busy(); }

void PlayerApp::SetSilent(MainPane pane, bool silent) { PaneOf(pane)->SetSilent(silent); }

void PlayerApp::SetCaption(const std::string& caption) {
  window_->setWindowTitle(QString::fromStdString(caption));
}

void PlayerApp::SetVersionLabel(const std::string& text) {
  window_->verLabel()->setText(QString::fromStdString(text));
}

void PlayerApp::SetMaxBoundsToWorkArea() { window_->SetMaxBoundsToWorkArea(); }

void PlayerApp::SetIconFromFile(const std::filesystem::path& file) {
  window_->SetIconFromFile(file);
}

void PlayerApp::CentreThenTop120Twips() { window_->CentreThenTop120Twips(); }

void PlayerApp::LoadHistory(const std::filesystem::path& file) {
  window_->logic().LoadHistory(playlist::LoadHistory(file));
}

void PlayerApp::TaskbarHook() { window_->TaskbarHook(); }

void PlayerApp::TrayShowIcon(const std::string& tip) { tray_->TrayShowIcon(tip); }

void PlayerApp::TrayShowBalloon(const std::string& title, const std::string& text, int info_flags,
                                int timeout_ms) {
  tray_->TrayShowBalloon(title, text, info_flags, timeout_ms);
}

void PlayerApp::TrayRemoveIcon() { tray_->TrayRemoveIcon(); }

}  // namespace kam::window
