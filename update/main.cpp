// update: the updater program. Started by the player with "VERSION###shengji###" or
// "VERSION###wu###"; offers the upgrade, downloads and starts the installer.
#include <QApplication>

#include "build_config.h"
#include "common/process_start.h"
#include "common/program_dir.h"
#include "update/curl_transport.h"
#include "update/qt/updater_window.h"
#include "update/updater_flow.h"
#include "update/updater_system.h"
#include "update/verify/signature_check.h"

int main(int argc, char** argv) {
  // Before Qt takes its own options out of argv.
  const std::string command_line = kam::JoinCommandLine(argc, argv);
  QApplication app(argc, argv);
  const std::filesystem::path program_dir = kam::ExecutableDir();

  kam::update::SystemUpdaterPorts system(program_dir);
  kam::update::CurlTransport transport;
  kam::update::SystemTickClock clock;
  kam::update::QtMessagePump pump;
  kam::update::LibcryptoInstallerChecks checks(kam::build::kUpdatePublicKey);
  kam::update::UpdaterWindow window;
  kam::update::Updater updater(window, system, transport, clock, pump, checks, program_dir);
  window.Attach(&updater);

  const kam::update::StartupResult start = updater.Start(command_line);
  if (!start.show) return start.exit_status;
  window.ShowCentred();
  return app.exec();
}
