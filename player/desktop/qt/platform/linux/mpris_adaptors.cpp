#include "player/desktop/qt/platform/linux/mpris_adaptors.h"

#include <QTimer>

namespace kam::desktop {

MprisRootAdaptor::MprisRootAdaptor(QObject* object, DesktopBusHost& host)
    : QDBusAbstractAdaptor(object), host_(host) {}

QString MprisRootAdaptor::Identity() const { return QStringLiteral(KAM_MENU_NAME); }

// Both run once the call is answered: the caller hears back before the window moves or the
// program ends.
void MprisRootAdaptor::Raise() {
  QTimer::singleShot(0, this, [this] { host_.Raise(); });
}

void MprisRootAdaptor::Quit() {
  QTimer::singleShot(0, this, [this] { host_.Quit(); });
}

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* object, DesktopBusHost& host)
    : QDBusAbstractAdaptor(object), host_(host) {}

QString MprisPlayerAdaptor::PlaybackStatus() const {
  return QString::fromStdString(props().playback_status);
}

QVariantMap MprisPlayerAdaptor::Metadata() const {
  const PlayerProperties& p = props();
  QVariantMap m;
  m.insert(QStringLiteral("mpris:trackid"),
           QVariant::fromValue(QDBusObjectPath(QString::fromStdString(p.track_id))));
  if (!p.title.empty()) m.insert(QStringLiteral("xesam:title"), QString::fromStdString(p.title));
  if (!p.album.empty()) m.insert(QStringLiteral("xesam:album"), QString::fromStdString(p.album));
  if (p.length_us >= 0) m.insert(QStringLiteral("mpris:length"), qlonglong(p.length_us));
  return m;
}

QVariant MprisPlayerAdaptor::Value(const std::string& name) const {
  if (name == "PlaybackStatus") return PlaybackStatus();
  if (name == "Metadata") return Metadata();
  if (name == "CanGoNext") return CanGoNext();
  if (name == "CanGoPrevious") return CanGoPrevious();
  if (name == "CanPlay") return CanPlay();
  if (name == "CanPause") return CanPause();
  if (name == "CanSeek") return CanSeek();
  return {};
}

}  // namespace kam::desktop
