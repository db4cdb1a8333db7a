// The session bus on Linux: looked at and joined on a thread of its own; then the screen-saver
// service, the player's object and its well-known name.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QObject>
#include <thread>

#include "player/desktop/qt/before_application.h"
#include "player/desktop/qt/desktop_bus.h"
#include "player/desktop/qt/platform/linux/mpris_adaptors.h"
#include "player/desktop/qt/platform/linux/screen_saver_service.h"
#include "player/desktop/session_bus_address.h"

Q_LOGGING_CATEGORY(lcDesktopBus, "kam.desktop.bus", QtWarningMsg)

namespace kam::desktop {
namespace {

constexpr int kRequestTimeoutMs = 5000;
constexpr char kBusName[] = "org.mpris.MediaPlayer2.kamplayer";

class SessionDesktopBus : public QObject, public DesktopBus {
 public:
  explicit SessionDesktopBus(DesktopBusHost& host) : host_(host), saver_(this) {
    // Joined on a thread of its own: a dead bus never holds the window thread. The result comes
    // back to this object's thread; the thread is joined when this object goes.
    looker_ = std::thread([this] {
      const BusProbe probe = FirstLookAtSessionBus(kFirstLookBudgetMs);
      bool joined = false;
      if (probe == BusProbe::kAnswers || probe == BusProbe::kUnknown) {
        joined = QDBusConnection::sessionBus().isConnected();
      }
      QMetaObject::invokeMethod(
          this, [this, probe, joined] { Joined(probe, joined); }, Qt::QueuedConnection);
    });
  }

  ~SessionDesktopBus() override {
    End();
    if (looker_.joinable()) looker_.join();
  }

  ScreenHoldPort& screen_saver() override { return saver_; }

  void PlayerChanged(const PlayerProperties& before) override {
    if (player_ == nullptr || ended_) return;
    const std::vector<std::string> names = ChangedProperties(before, host_.session().properties());
    if (names.empty()) return;
    QVariantMap changed;
    for (const std::string& name : names) {
      changed.insert(QString::fromStdString(name), player_->Value(name));
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kMprisPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kMprisPlayerInterface) << changed << QStringList();
    bus_->send(signal);
  }

  void End() override {
    if (ended_) return;
    ended_ = true;
    saver_.End();
    if (bus_ && player_ != nullptr) {
      bus_->unregisterObject(QString::fromLatin1(kMprisPath));
      // The name goes with the connection when the program ends; asked back now so that the
      // desktop drops the player at once.
      bus_->send(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                QStringLiteral("/org/freedesktop/DBus"),
                                                QStringLiteral("org.freedesktop.DBus"),
                                                QStringLiteral("ReleaseName"))
                 << name_);
    }
  }

 private:
  void Joined(BusProbe probe, bool joined) {
    if (!joined) {
      const char* why = probe == BusProbe::kSilent    ? "it does not answer"
                        : probe == BusProbe::kMissing ? "there is none"
                                                      : "it cannot be joined";
      qCWarning(lcDesktopBus).noquote()
          << QStringLiteral(
                 "session bus: not used (%1): no screen-saver service and no desktop media player")
                 .arg(QLatin1String(why));
      return;
    }
    if (ended_) return;
    bus_ = QDBusConnection::sessionBus();
    saver_.SetBus(*bus_);
    auto* object = new QObject(this);
    new MprisRootAdaptor(object, host_);
    player_ = new MprisPlayerAdaptor(object, host_);
    if (!bus_->registerObject(QString::fromLatin1(kMprisPath), object)) {
      qCWarning(lcDesktopBus) << "session bus: the player object could not be registered";
      player_ = nullptr;
      return;
    }
    RequestName(QString::fromLatin1(kBusName), true);
  }

  // The plain name; when another program holds it, the instance name MPRIS allows.
  void RequestName(const QString& name, bool plain) {
    name_ = name;
    QDBusMessage m = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    constexpr quint32 kDoNotQueue = 4;
    m << name << kDoNotQueue;
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(m, kRequestTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, plain](QDBusPendingCallWatcher* w) {
              w->deleteLater();
              const QDBusPendingReply<quint32> reply = *w;
              constexpr quint32 kPrimaryOwner = 1;
              if (reply.isValid() && reply.value() == kPrimaryOwner) return;
              if (plain && !ended_) {
                RequestName(QStringLiteral("%1.instance%2")
                                .arg(QString::fromLatin1(kBusName))
                                .arg(QCoreApplication::applicationPid()),
                            false);
                return;
              }
              qCWarning(lcDesktopBus) << "session bus: no player name:" << reply.error().message();
            });
  }

  DesktopBusHost& host_;
  ScreenSaverService saver_;
  std::optional<QDBusConnection> bus_;
  MprisPlayerAdaptor* player_ = nullptr;
  QString name_;
  bool ended_ = false;
  std::thread looker_;
};

}  // namespace

std::unique_ptr<DesktopBus> MakeDesktopBus(DesktopBusHost& host) {
  return std::make_unique<SessionDesktopBus>(host);
}

}  // namespace kam::desktop
