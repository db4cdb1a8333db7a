// The desktop's screen-saver service on the session bus (org.freedesktop.ScreenSaver): Inhibit
// while held, UnInhibit with its cookie on release. Calls go out without waiting; a bus without
// the service answers with an error, which leaves the hold to the other ways.
#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <optional>

#include "player/desktop/screen_hold.h"

namespace kam::desktop {

class ScreenSaverService : public QObject, public ScreenHoldPort {
  Q_OBJECT

 public:
  explicit ScreenSaverService(QObject* parent = nullptr) : QObject(parent) {}

  // The bus, once joined; a hold asked for before goes out now.
  void SetBus(const QDBusConnection& bus);
  void Hold() override;
  void Release() override;
  // Lifts a held inhibition with a bounded wait, then sends nothing more.
  void End();

 private:
  void Send();
  void Inhibited(quint32 cookie);

  std::optional<QDBusConnection> bus_;
  bool wanted_ = false;
  std::optional<QDBusPendingCall> asking_;  // an Inhibit on its way
  bool ended_ = false;
  std::optional<quint32> cookie_;
};

}  // namespace kam::desktop
