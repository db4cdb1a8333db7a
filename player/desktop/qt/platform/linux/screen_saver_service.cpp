#include "player/desktop/qt/platform/linux/screen_saver_service.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace kam::desktop {
namespace {

constexpr char kService[] = "org.freedesktop.ScreenSaver";
constexpr char kPath[] = "/org/freedesktop/ScreenSaver";
constexpr int kCallTimeoutMs = 2000;
constexpr int kEndTimeoutMs = 1000;

QDBusMessage Call(const char* method) {
  return QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                        QString::fromLatin1(kService), QString::fromLatin1(method));
}

}  // namespace

void ScreenSaverService::SetBus(const QDBusConnection& bus) {
  bus_ = bus;
  Send();
}

void ScreenSaverService::Hold() {
  wanted_ = true;
  Send();
}

void ScreenSaverService::Release() {
  wanted_ = false;
  Send();
}

void ScreenSaverService::Send() {
  if (!bus_ || ended_ || asking_) return;
  if (wanted_ && !cookie_) {
    QDBusMessage m = Call("Inhibit");
    m << QStringLiteral("kamplayer") << QStringLiteral("正在播放视频");
    asking_ = bus_->asyncCall(m, kCallTimeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(*asking_, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
      w->deleteLater();
      // End took the answer already.
      if (ended_) return;
      asking_.reset();
      const QDBusPendingReply<quint32> reply = *w;
      // No service (or it refused): nothing is held, and nothing is asked again until
      // the next hold.
      if (!reply.isValid()) return;
      cookie_ = reply.value();
      // Released while asking: the release goes out now.
      Send();
    });
  } else if (!wanted_ && cookie_) {
    QDBusMessage m = Call("UnInhibit");
    m << *cookie_;
    cookie_.reset();
    bus_->send(m);
  }
}

void ScreenSaverService::End() {
  if (ended_) return;
  ended_ = true;
  wanted_ = false;
  if (asking_) {
    // An inhibit on its way when the program ends: its answer is waited for (at most the call's
    // time-out), so that it is lifted too.
    asking_->waitForFinished();
    const QDBusPendingReply<quint32> reply = *asking_;
    asking_.reset();
    if (reply.isValid()) cookie_ = reply.value();
  }
  if (!bus_ || !cookie_) return;
  QDBusMessage m = Call("UnInhibit");
  m << *cookie_;
  cookie_.reset();
  bus_->call(m, QDBus::Block, kEndTimeoutMs);
}

}  // namespace kam::desktop
