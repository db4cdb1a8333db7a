#include "player/desktop/qt/before_application.h"

#include <QByteArray>
#include <QtGlobal>

#include "player/desktop/engine_switches.h"
#include "player/desktop/session_bus_address.h"

namespace kam::desktop {
namespace {

void SwitchOffEngineMediaSession() {
  const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  const std::string with = WithDisabledFeatures(
      std::string_view(flags.constData(), static_cast<std::size_t>(flags.size())),
      kEngineMediaSessionFeatures);
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", QByteArray(with.data(), static_cast<int>(with.size())));
}

}  // namespace

void PrepareDesktopBeforeApplication() {
  SwitchOffEngineMediaSession();
  if (FirstLookAtSessionBus(kFirstLookBudgetMs) == BusProbe::kSilent) {
    // A path that cannot be a socket: every connection attempt fails at once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null/silent-session-bus");
  }
}

}  // namespace kam::desktop
