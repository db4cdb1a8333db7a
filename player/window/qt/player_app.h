// The player's parts put together: the main window, the menu holder, the tip window, the tray,
// the system services and the start-up logic, with the main window's side of start-up (its port)
// implemented here.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "player/desktop/qt/desktop_integration.h"
#include "player/startup/player_state.h"
#include "player/startup/qt/hand_over_channel.h"
#include "player/startup/qt/system_services.h"
#include "player/startup/start_routine.h"
#include "player/window/qt/app_tip.h"
#include "player/window/qt/form1_window.h"
#include "player/window/qt/form2.h"
#include "player/window/qt/tray.h"

class QWebEngineProfile;

namespace kam::window {

class PlayerApp : private MainWindowPort {
 public:
  PlayerApp(std::filesystem::path program_dir, std::string command_line, ServerAddresses servers);
  ~PlayerApp() override;

  // The start routine; what follows is the caller's (run the event loop, wait, or end).
  StartOutcome Start();
  // Offline end: waits until the balloon has been shown for its time or clicked. Returns the
  // program's exit status.
  int WaitForBalloonThenEnd();
  // From here on a request from outside to end (SIGTERM) ends the program as its exit does.
  // Before the event loop runs there is no orderly end to go through.
  void AcceptEndRequests();
  // From here on a second start hands its argument over to this player (shows and raises it,
  // opens a shortcut's address).
  void AcceptHandOvers();

  // The main window and its parts exist from the first time start-up needs the window: a second
  // instance or an argument without an address ends before any of it (and the engine) is made.
  Form1Window& window();
  QtTray& tray();
  Startup& startup() { return startup_; }
  PlayerState& state() { return state_; }

 private:
  // MainWindowPort.
  void Show() override;
  void SetTimerEnabled(MainTimer timer, bool enabled) override;
  void Navigate(MainPane pane, const std::string& address) override;
  void RefuseAddress(MainPane pane, const std::string& address, const std::string& why) override;
  bool Busy(MainPane pane) override;
  void SetSilent(MainPane pane, bool silent) override;
  void SetCaption(const std::string& caption) override;
  void SetVersionLabel(const std::string& text) override;
  void SetMaxBoundsToWorkArea() override;
  void SetIconFromFile(const std::filesystem::path& file) override;
  void CentreThenTop120Twips() override;
  void LoadHistory(const std::filesystem::path& file) override;
  void TaskbarHook() override;
  void TrayShowIcon(const std::string& tip) override;
  void TrayShowBalloon(const std::string& title, const std::string& text, int info_flags,
                       int timeout_ms) override;
  void TrayRemoveIcon() override;
  void ShowAndRaise() override;

  WebPane* PaneOf(MainPane pane);
  // The screen kept awake and the desktop's media player entry, for the window just made.
  void WireDesktop();
  // The program's own end when every copy of it is ended by name: an orderly quit.
  void EndInOrder();
  // The window with its pages, then the site profile, which writes out what it holds: on the
  // application's quit (the event loop's end, and on Windows the session's end, after which the
  // system ends the process) or at the latest when this object goes. Runs once.
  void CloseWindowAndProfile();

  PlayerState state_;
  SystemServices system_;
  // The site panes' profile, made with the window; owned by the application object, so it goes
  // after the window and its pages.
  QWebEngineProfile* site_profile_ = nullptr;
  Startup startup_;
  std::unique_ptr<Form1Window> window_;
  Form2* form2_ = nullptr;
  std::unique_ptr<FrmAppTip> app_tip_;
  QtTray* tray_ = nullptr;
  desktop::DesktopIntegration* desktop_ = nullptr;  // a child of the window
  HandOverServer* hand_over_ = nullptr;
};

}  // namespace kam::window
