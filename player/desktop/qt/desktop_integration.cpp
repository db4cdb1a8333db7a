#include "player/desktop/qt/desktop_integration.h"

#include <QWebEngineView>
#include <QWindow>

#include "player/browse/qt/web_pane.h"

namespace kam::desktop {
namespace {

// How often the panes are looked at while something plays: with the release delay, a hidden
// or minimised window lets the screen go well within 3 s.
constexpr int kLookMs = 500;

bool PlaysVideo(const MediaReport& r) { return r.state == MediaState::kPlaying && r.has_video; }

// The user can see the pane's page: the view that shows it (the pane, or the view that holds
// it while it is full screen) is shown in a window that is not minimised.
bool Seen(WebPane* pane) {
  QWebEngineView* view = QWebEngineView::forPage(pane->page());
  if (view == nullptr) view = pane;
  if (!view->isVisible()) return false;
  const QWidget* window = view->window();
  return window->isVisible() && !window->isMinimized();
}

}  // namespace

DesktopIntegration::DesktopIntegration(std::array<WebPane*, 3> panes, DesktopActions actions,
                                       QObject* parent)
    : QObject(parent),
      panes_(panes),
      actions_(std::move(actions)),
      platform_hold_(MakePlatformScreenHold()),
      awake_(holds_),
      session_(*this) {
  setObjectName(QStringLiteral("DesktopIntegration"));
  bus_ = MakeDesktopBus(*this);
  holds_.Add(platform_hold_.get());
  holds_.Add(&bus_->screen_saver());
  look_.setInterval(kLookMs);
  connect(&look_, &QTimer::timeout, this, &DesktopIntegration::LookAtPanes);
  for (int i = 0; i < 3; ++i) {
    const auto pane = static_cast<PlayPane>(i);
    connect(panes_[i], &WebPane::MediaChanged, this,
            [this, pane](const MediaReport& r) { MediaChanged(pane, r); });
  }
  WebPane* w3 = panes_[static_cast<int>(PlayPane::kW3)];
  connect(w3, &QWebEngineView::titleChanged, this, [this](const QString& title) {
    if (ended_) return;
    UpdateSession([&] { session_.PageTitleChanged(title.toStdString()); });
  });
  connect(w3, &QWebEngineView::urlChanged, this, &DesktopIntegration::EntryMayHaveChanged);
}

DesktopIntegration::~DesktopIntegration() { End(); }

void DesktopIntegration::End() {
  if (ended_) return;
  ended_ = true;
  look_.stop();
  // The bus first: its inhibition is lifted with a wait for the answer, then the platform's.
  bus_->End();
  awake_.End();
}

template <typename F>
void DesktopIntegration::UpdateSession(F&& update) {
  const PlayerProperties before = session_.properties();
  update();
  bus_->PlayerChanged(before);
}

void DesktopIntegration::EntryMayHaveChanged() {
  if (ended_ || !actions_.playing_entry) return;
  UpdateSession([&] { session_.EntryChanged(actions_.playing_entry()); });
}

void DesktopIntegration::MediaChanged(PlayPane pane, const MediaReport& report) {
  if (ended_) return;
  const auto now = ScreenAwake::Clock::now();
  awake_.SetShown(pane, Seen(panes_[static_cast<int>(pane)]), now);
  awake_.SetPlayingVideo(pane, PlaysVideo(report), now);
  if (awake_.AnyPlaying() || awake_.held()) {
    if (!look_.isActive()) look_.start();
  }
  if (pane != PlayPane::kW3) return;
  UpdateSession([&] {
    session_.MediaChanged(report);
    if (actions_.playing_entry) session_.EntryChanged(actions_.playing_entry());
  });
}

void DesktopIntegration::LookAtPanes() {
  const auto now = ScreenAwake::Clock::now();
  for (int i = 0; i < 3; ++i) awake_.SetShown(static_cast<PlayPane>(i), Seen(panes_[i]), now);
  awake_.Tick(now);
  if (!awake_.AnyPlaying() && !awake_.held()) look_.stop();
}

void DesktopIntegration::Control(const MediaCommand& command) {
  panes_[static_cast<int>(PlayPane::kW3)]->ControlMedia(command);
}

}  // namespace kam::desktop
