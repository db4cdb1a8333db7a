#include "player/desktop/qt/before_application.h"

#include <QByteArray>
#include <QQuickWindow>
#include <QSGRendererInterface>
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

// The engine's panes are drawn by the window's scene graph. When the engine makes its frames in
// software, the window composes them in software too: through OpenGL they would be uploaded and
// composed again, on a machine without a GPU by a software OpenGL, at twice the processor's cost.
// A backend the user chose stays.
void DrawLikeTheEngine() {
  if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
      qEnvironmentVariableIsSet("QSG_RHI_BACKEND")) {
    return;
  }
  const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  if (EngineDrawsInSoftware(
          std::string_view(flags.constData(), static_cast<std::size_t>(flags.size())))) {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  }
}

}  // namespace

void PrepareDesktopBeforeApplication() {
  SwitchOffEngineMediaSession();
  DrawLikeTheEngine();
  if (FirstLookAtSessionBus(kFirstLookBudgetMs) == BusProbe::kSilent) {
    // A path that cannot be a socket: every connection attempt fails at once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null/silent-session-bus");
  }
}

}  // namespace kam::desktop
