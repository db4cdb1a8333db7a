// The stand-in for a desktop's screen-saver service in tests: org.freedesktop.ScreenSaver on the
// bus whose address is the first argument, at /org/freedesktop/ScreenSaver. Inhibit answers a new
// cookie; every call is written to stdout as one line ("Inhibit <cookie> <application>
// <reason>", "UnInhibit <cookie>"). "ready" once the name is taken.
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cstdio>

class ScreenSaver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

 public slots:
  uint Inhibit(const QString& application, const QString& reason) {
    const uint cookie = ++last_;
    Say(QStringLiteral("Inhibit %1 %2 %3").arg(cookie).arg(application, reason));
    return cookie;
  }
  void UnInhibit(uint cookie) { Say(QStringLiteral("UnInhibit %1").arg(cookie)); }

 private:
  static void Say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
  }
  uint last_ = 0;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]),
                                                      QStringLiteral("fake-screen-saver"));
  ScreenSaver saver;
  if (!bus.isConnected() ||
      !bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"))) {
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);
  return app.exec();
}

#include "fake_screen_saver_main.moc"
