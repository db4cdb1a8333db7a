// The player's object on the session bus, /org/mpris/MediaPlayer2, with the two interfaces of
// MPRIS 2: org.mpris.MediaPlayer2 (the program) and org.mpris.MediaPlayer2.Player (W3's main
// video). Both only read the media session and pass commands to it.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

#include "player/desktop/qt/desktop_bus.h"

namespace kam::desktop {

inline constexpr char kMprisPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char kMprisRootInterface[] = "org.mpris.MediaPlayer2";
inline constexpr char kMprisPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  MprisRootAdaptor(QObject* object, DesktopBusHost& host);

  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const;
  QString DesktopEntry() const { return QStringLiteral("kamplayer"); }
  QStringList SupportedUriSchemes() const { return {}; }
  QStringList SupportedMimeTypes() const { return {}; }

 public slots:
  void Raise();
  void Quit();

 private:
  DesktopBusHost& host_;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPause)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  MprisPlayerAdaptor(QObject* object, DesktopBusHost& host);

  QString PlaybackStatus() const;
  double Rate() const { return 1.0; }
  // The page sets its own rate and volume: the desktop's settings are taken and left alone.
  void SetRate(double) {}
  QVariantMap Metadata() const;
  double Volume() const { return 1.0; }
  void SetVolume(double) {}
  qlonglong Position() const { return session().PositionUs(); }
  bool CanGoNext() const { return props().can_go_next; }
  bool CanGoPrevious() const { return props().can_go_previous; }
  bool CanPlay() const { return props().can_play; }
  bool CanPause() const { return props().can_pause; }
  bool CanSeek() const { return props().can_seek; }
  bool CanControl() const { return true; }

  // The value of a property by its MPRIS name, for PropertiesChanged.
  QVariant Value(const std::string& name) const;

 public slots:
  void Next() { session().Next(); }
  void Previous() { session().Previous(); }
  void Pause() { session().Pause(); }
  void PlayPause() { session().PlayPause(); }
  void Stop() { session().Stop(); }
  void Play() { session().Play(); }
  void Seek(qlonglong offset) { session().Seek(offset); }
  void SetPosition(const QDBusObjectPath& track, qlonglong position) {
    session().SetPosition(track.path().toStdString(), position);
  }
  void OpenUri(const QString&) {}

 signals:
  void Seeked(qlonglong position);

 private:
  MediaSession& session() const { return host_.session(); }
  const PlayerProperties& props() const { return host_.session().properties(); }

  DesktopBusHost& host_;
};

}  // namespace kam::desktop
