// The player's start: the start routine, the main window's load handler, the two settings timers
// (webtime, nolink), the manual update check (Form2.shengji) and the exit routine share the
// window's state and the two ports.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "player/startup/hand_over.h"
#include "player/startup/player_state.h"
#include "player/startup/start_routine_ports.h"

namespace kam {

struct ServerAddresses {
  std::string probe_url;      // a fixed http:// address for the connectivity probe
  std::string image_server;   // serves "/upload/my2.txt" at every start
  std::string config_server;  // serves "/kam/kam.txt" for the manual check
};

enum class StartOutcome {
  kEnd,              // nothing shown; end now
  kEndAfterBalloon,  // offline: the balloon shows; end once it has been read (10 s or a click)
  kRunning,          // the main window runs
};

// Form2's own copies of the versions, which the manual check fills.
struct Form2State {
  std::string Text1 = "Text1";
  std::string Text2 = "Text2";
};

class Startup {
 public:
  Startup(PlayerState& state, MainWindowPort& window, SystemPort& system, ServerAddresses servers)
      : state_(state), window_(window), system_(system), servers_(std::move(servers)) {}

  // The start routine.
  StartOutcome Run();
  // Runs the main window's load handler the first time the window is needed.
  void EnsureLoaded();
  // A second start handed its argument over to this running player: a shortcut's argument opens
  // as a shortcut start opens it; then (and without an argument) the window is shown, out of the
  // tray or the taskbar, and raised. A dropped request changes nothing.
  void HandOver(const HandOverRequest& request);

  // Timer handlers.
  void webtime_Timer();
  void nolink_Timer();
  // The manual check behind the update command; the player keeps running.
  void shengji();
  // Ends the outside player's processes, removes the tray icon, ends every player process.
  void ExitPlayer();

  const Form2State& form2() const { return form2_; }
  bool loaded() const { return loaded_; }

 private:
  void FormLoad();
  void ShowMainWindow();
  // The shortcut start's steps for a decoded argument of at least two fields.
  void OpenShortcut(const std::vector<std::string>& fields);
  void StartUpdater(const std::string& argument);

  PlayerState& state_;
  MainWindowPort& window_;
  SystemPort& system_;
  ServerAddresses servers_;
  Form2State form2_;
  bool loaded_ = false;
};

// Title, text and flags of the offline balloon.
inline constexpr char kOfflineTitle[] = "网络没有连接";
inline constexpr char kOfflineText[] = "请连接网络重试";
inline constexpr int kBalloonInfoIcon = 1;
inline constexpr int kOfflineBalloonMs = 10000;

// The settings download at start holds the window back; a server that accepts and then stalls
// must not keep the player invisible for longer than this. The manual check has no such limit.
inline constexpr std::chrono::milliseconds kStartDownloadLimit{5000};

}  // namespace kam
