// The player on the desktop: the screen kept awake while a seen pane plays video, and the
// player's entry among the desktop's media players following W3. The panes report their main
// media; this carries the logic's decisions (player/desktop) out to the platform's screen hold
// and the desktop's bus.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "player/desktop/media_session.h"
#include "player/desktop/qt/desktop_bus.h"
#include "player/desktop/screen_awake.h"

namespace kam {
class WebPane;
}

namespace kam::desktop {

// What the integration asks of the rest of the player.
struct DesktopActions {
  std::function<void()> raise;          // show the main window and bring it to the front
  std::function<void()> quit;           // the menus' exit command
  std::function<void(int)> play_entry;  // play list entry, as a click on it in the list does
  // The play list entry W3 shows now; none when it shows no entry's address.
  std::function<std::optional<PlayingEntry>()> playing_entry;
};

class DesktopIntegration : public QObject, private DesktopBusHost, private MediaSessionPort {
  Q_OBJECT

 public:
  // The panes by PlayPane (listweb, W3, qvod); they must outlive this object or End must run
  // before they go.
  DesktopIntegration(std::array<WebPane*, 3> panes, DesktopActions actions,
                     QObject* parent = nullptr);
  ~DesktopIntegration() override;

  // The program ends: the screen is let go at once, and the desktop player entry goes.
  void End();

  // W3's play list entry may have changed (the list or W3's address moved).
  void EntryMayHaveChanged();

  bool screenHeld() const { return awake_.held(); }

 private:
  // DesktopBusHost.
  void Raise() override { actions_.raise(); }
  void Quit() override { actions_.quit(); }
  MediaSession& session() override { return session_; }
  // MediaSessionPort.
  void PlayEntry(int index) override { actions_.play_entry(index); }
  void Control(const MediaCommand& command) override;

  void MediaChanged(PlayPane pane, const MediaReport& report);
  // Whether each pane's page is seen now; the next look while anything plays.
  void LookAtPanes();
  // Runs update on the session, then announces what changed.
  template <typename F>
  void UpdateSession(F&& update);

  std::array<WebPane*, 3> panes_;
  DesktopActions actions_;
  std::unique_ptr<ScreenHoldPort> platform_hold_;
  ScreenHolds holds_;
  ScreenAwake awake_;
  MediaSession session_;
  std::unique_ptr<DesktopBus> bus_;
  QTimer look_;
  bool ended_ = false;
};

}  // namespace kam::desktop
