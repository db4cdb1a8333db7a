// kamplayer: the video box's player. The start routine decides whether it runs at all (one
// instance, a network), refreshes the settings and shows the main window.
#include <QApplication>
#include <string>

#include "build_config.h"
#include "common/process_start.h"
#include "common/program_dir.h"
#include "player/browse/qt/url_schemes.h"
#include "player/desktop/qt/before_application.h"
#include "player/window/qt/player_app.h"

int main(int argc, char** argv) {
  // Read before the toolkit takes its own options out of argv.
  const std::string command_line = kam::JoinCommandLine(argc, argv);
  // The site's schemes must be known to the engine before the application exists.
  kam::RegisterBrowseUrlSchemes();
  // The engine's own desktop player off, and a session bus that never answers out of reach.
  kam::desktop::PrepareDesktopBeforeApplication();

  QApplication app(argc, argv);
  // The installer's menu entry (kamplayer.desktop): desktops match the window to it.
  QGuiApplication::setDesktopFileName(QStringLiteral("kamplayer"));
  // The main window hides to the tray; the program ends through its exit commands.
  app.setQuitOnLastWindowClosed(false);

  kam::window::PlayerApp player(
      kam::ExecutableDir(), command_line,
      {kam::build::kProbeUrl, kam::build::kImageServer, kam::build::kConfigServer});
  switch (player.Start()) {
    case kam::StartOutcome::kEnd:
      return 0;
    case kam::StartOutcome::kEndAfterBalloon:
      return player.WaitForBalloonThenEnd();
    case kam::StartOutcome::kRunning:
      break;
  }
  player.AcceptEndRequests();
  player.AcceptHandOvers();
  return app.exec();
}
