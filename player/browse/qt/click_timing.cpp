#include "player/browse/qt/click_timing.h"

#include <QElapsedTimer>
#include <QTimer>

Q_LOGGING_CATEGORY(lcClick, "kam.browse.click", QtWarningMsg)

namespace kam {
namespace {

// Later steps (the list page's reload, the video's start) still belong to the click.
constexpr qint64 kFollowNs = 30'000'000'000;

QElapsedTimer& Clock() {
  static QElapsedTimer clock;
  return clock;
}

}  // namespace

void ClickBegan(const char* what) {
  if (!lcClick().isDebugEnabled()) return;
  Clock().start();
  qCDebug(lcClick, "%8.2f ms  %s", 0.0, what);
  // When the window thread is back in its event loop: what lies between is the handler's and
  // whatever the engine did on the thread after it.
  QTimer::singleShot(0, [] { ClickStep("event loop again"); });
}

void ClickStep(const char* what, const QString& who) {
  if (!lcClick().isDebugEnabled() || !Clock().isValid()) return;
  const qint64 ns = Clock().nsecsElapsed();
  if (ns > kFollowNs) return;
  qCDebug(lcClick, "%8.2f ms  %s %s", static_cast<double>(ns) / 1e6, qUtf8Printable(who), what);
}

}  // namespace kam
