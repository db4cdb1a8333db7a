#include "player/window/qt/player_app.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

#include "common/qt/plain_text.h"
#include "player/browse/browse.h"
#include "player/browse/qt/site_profile.h"
#include "player/playlist/entry.h"
#include "player/playlist/history.h"
#include "player/startup/qt/end_request.h"

namespace kam::window {
namespace {

// An orderly end that has not ended by then ends at once.
constexpr std::chrono::milliseconds kEndHangLimit{9500};
// The longest the end waits for the profile to write its cookies.
constexpr std::chrono::milliseconds kProfileWriteLimit{6000};

}  // namespace

PlayerApp::PlayerApp(std::filesystem::path program_dir, std::string command_line,
                     ServerAddresses servers)
    : system_(std::move(program_dir), std::move(command_line),
              [] { QCoreApplication::processEvents(QEventLoop::AllEvents); }),
      startup_(state_, *this, system_, std::move(servers)) {
  system_.SetSelfEnd([this] { EndInOrder(); });
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                   QCoreApplication::instance(), [this] { CloseWindowAndProfile(); });
}

void PlayerApp::EndInOrder() {
  if (desktop_ != nullptr) desktop_->End();
  if (window_) window_->hide();
  if (tray_ != nullptr) tray_->icon().hide();
  // The loop ends after this handler; the window, its pages and the profile then go in order.
  // Should that ever hang, the program still ends as the exit routine promises, within 10 s.
  std::thread([] {
    std::this_thread::sleep_for(kEndHangLimit);
    std::_Exit(0);
  }).detach();
  QCoreApplication::exit(0);
}

void PlayerApp::CloseWindowAndProfile() {
  // The screen and the desktop's player entry are let go before anything else goes.
  if (desktop_ != nullptr) std::exchange(desktop_, nullptr)->End();
  // A second start no longer reaches a program that is ending.
  delete std::exchange(hand_over_, nullptr);
  // The tray icon goes with the program, whichever way it ends.
  if (tray_ != nullptr) tray_->icon().hide();
  if (!window_) return;
  // The tray, the menus and the tip belong to the window or follow it.
  tray_ = nullptr;
  form2_ = nullptr;
  app_tip_.reset();
  window_.reset();
  // Pages the engine let go of later go now, before their profile.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  CloseSiteProfile(std::exchange(site_profile_, nullptr), kProfileWriteLimit);
}

PlayerApp::~PlayerApp() { CloseWindowAndProfile(); }

Form1Window& PlayerApp::window() {
  if (window_) return *window_;
  site_profile_ = MakeSiteProfile(SiteProfileFolder(), QCoreApplication::instance());
  window_ = std::make_unique<Form1Window>(state_, system_.ProgramDir(), nullptr, site_profile_);
  form2_ = new Form2(window_.get());
  app_tip_ = std::make_unique<FrmAppTip>();
  tray_ = new QtTray(*window_, *form2_);
  QObject::connect(window_->nolink(), &QTimer::timeout, window_.get(),
                   [this] { startup_.nolink_Timer(); });
  QObject::connect(window_->webtime(), &QTimer::timeout, window_.get(),
                   [this] { startup_.webtime_Timer(); });
  window_->setParts(form2_, app_tip_.get(), tray_, &startup_);
  WireDesktop();
  return *window_;
}

void PlayerApp::WireDesktop() {
  desktop::DesktopActions actions;
  actions.raise = [this] { ShowAndRaise(); };
  actions.quit = [this] {
    if (Browse* b = BrowseOf(*window_)) b->menus().Run(MenuCommand::kExit);
  };
  actions.play_entry = [this](int index) {
    if (Browse* b = BrowseOf(*window_)) {
      b->ItemPlay(index, window_->WebList1()->Value().toStdString());
    }
  };
  actions.playing_entry = [this]() -> std::optional<desktop::PlayingEntry> {
    Browse* b = BrowseOf(*window_);
    if (b == nullptr) return std::nullopt;
    const std::string sep = window_->WebList1()->Value().toStdString();
    const std::optional<int> index = b->PlayingEntry(sep);
    const std::vector<std::string>& list = state_.List3;
    if (!index || *index < 0 || *index >= static_cast<int>(list.size())) return std::nullopt;
    const auto fields = playlist::SplitEntry(list[*index], sep);
    desktop::PlayingEntry entry;
    entry.index = *index;
    entry.count = static_cast<int>(list.size());
    if (!fields.empty()) entry.text = std::string(fields[0]);
    if (fields.size() > 2) entry.album = std::string(fields[2]);
    return entry;
  };
  desktop_ = new desktop::DesktopIntegration({window_->listweb(), window_->W3(), window_->qvod()},
                                             std::move(actions), window_.get());
}

QtTray& PlayerApp::tray() {
  window();
  return *tray_;
}

StartOutcome PlayerApp::Start() { return startup_.Run(); }

void PlayerApp::AcceptEndRequests() {
  EndInOrderOnRequest(QCoreApplication::instance(), [this] { EndInOrder(); });
}

void PlayerApp::AcceptHandOvers() {
  if (hand_over_ != nullptr) return;
  hand_over_ = new HandOverServer(
      system_.ProgramDir(), [this](const HandOverRequest& request) { startup_.HandOver(request); },
      QCoreApplication::instance());
  hand_over_->Listen();
}

int PlayerApp::WaitForBalloonThenEnd() {
  // Without a notification area there is no balloon to wait for.
  if (!QtTray::available()) return 0;
  tray().SetWindowReactions(false);
  QEventLoop loop;
  QTimer::singleShot(kOfflineBalloonMs, &loop, &QEventLoop::quit);
  QObject::connect(&tray(), &QtTray::balloonClicked, &loop, &QEventLoop::quit);
  loop.exec();
  tray().TrayRemoveIcon();
  return 0;
}

WebPane* PlayerApp::PaneOf(MainPane pane) {
  switch (pane) {
    case MainPane::kListweb:
      return window().listweb();
    case MainPane::kW3:
      return window().W3();
    case MainPane::kQvod:
      return window().qvod();
  }
  return nullptr;
}

void PlayerApp::Show() { window().show(); }

void PlayerApp::SetTimerEnabled(MainTimer timer, bool enabled) {
  QTimer* t = timer == MainTimer::kNolink ? window().nolink() : window().webtime();
  if (enabled) {
    if (!t->isActive()) t->start();
  } else {
    t->stop();
  }
}

void PlayerApp::Navigate(MainPane pane, const std::string& address) {
  PaneOf(pane)->Navigate(address);
}

void PlayerApp::RefuseAddress(MainPane pane, const std::string& address, const std::string& why) {
  PaneOf(pane)->Refuse(address, why);
}

bool PlayerApp::Busy(MainPane pane) { return PaneOf(pane)->Busy(); }

void PlayerApp::SetSilent(MainPane pane, bool silent) { PaneOf(pane)->SetSilent(silent); }

void PlayerApp::SetCaption(const std::string& caption) {
  window().setWindowTitle(PlainWindowTitle(QString::fromStdString(caption)));
}

void PlayerApp::SetVersionLabel(const std::string& text) {
  window().verLabel()->setText(QString::fromStdString(text));
}

void PlayerApp::SetMaxBoundsToWorkArea() { window().SetMaxBoundsToWorkArea(); }

void PlayerApp::SetIconFromFile(const std::filesystem::path& file) {
  window().SetIconFromFile(file);
}

void PlayerApp::CentreThenTop120Twips() { window().CentreThenTop120Twips(); }

void PlayerApp::LoadHistory(const std::filesystem::path& file) {
  // A store that cannot be read is left as it is (the list stays empty), so that the history it
  // holds is not overwritten by an empty list.
  if (const auto entries = playlist::ReadHistory(file)) window().logic().LoadHistory(*entries);
}

void PlayerApp::TaskbarHook() { window().TaskbarHook(); }

void PlayerApp::TrayShowIcon(const std::string& tip) { tray().TrayShowIcon(tip); }

void PlayerApp::TrayShowBalloon(const std::string& title, const std::string& text, int info_flags,
                                int timeout_ms) {
  tray().TrayShowBalloon(title, text, info_flags, timeout_ms);
}

void PlayerApp::TrayRemoveIcon() { tray().TrayRemoveIcon(); }

void PlayerApp::ShowAndRaise() { window().ShowAndRaise(); }

}  // namespace kam::window
