#include "player/browse/qt/site_profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QUuid>
#include <QWebEngineProfile>
#include <filesystem>
#include <thread>

#include "common/open_file.h"

namespace kam {
namespace {

Q_LOGGING_CATEGORY(lcProfile, "kam.browse.profile", QtWarningMsg)

constexpr char kProgramName[] = "kamplayer";
constexpr char kStorageName[] = "site";

// The folder exists (or was made) and a file can be written into it.
bool UsableFolder(const QString& folder) {
  if (!QDir().mkpath(folder)) return false;
  QFile probe(QDir(folder).filePath(QStringLiteral(".write-probe-") +
                                    QUuid::createUuid().toString(QUuid::WithoutBraces)));
  if (!probe.open(QIODevice::WriteOnly)) return false;
  const bool written = probe.write("x", 1) == 1 && probe.flush();
  probe.close();
  probe.remove();
  return written;
}

}  // namespace

QString SiteProfileFolder() {
  QString base;
#ifdef Q_OS_WIN
  // The roaming application data folder, where a user's logins follow them.
  base = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
#endif
  if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QDir(base).filePath(QString::fromLatin1(kProgramName));
}

QWebEngineProfile* MakeSiteProfile(const QString& folder, QObject* owner) {
  // Two players never open the profile at once: the single-instance lock ends a second copy
  // before its window (and this profile) is made.
  if (folder.isEmpty() || !UsableFolder(folder)) {
    qCWarning(lcProfile) << "profile folder" << folder
                         << "cannot be created or written; logins and storage stay in memory";
    return new QWebEngineProfile(owner);  // off the record
  }
  auto* profile = new QWebEngineProfile(QString::fromLatin1(kStorageName), owner);
  const QDir dir(folder);
  profile->setPersistentStoragePath(dir.filePath(QStringLiteral("storage")));
  profile->setCachePath(dir.filePath(QStringLiteral("cache")));
  profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
  // Session cookies too: a login that the site made without an expiry still lasts.
  profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
  qCDebug(lcProfile) << "profile in" << folder;
  return profile;
}

void CloseSiteProfile(QWebEngineProfile* profile, std::chrono::milliseconds limit) {
  if (profile == nullptr) return;
  const bool on_disk = KeepsDataOnDisk(profile);
  const std::filesystem::path cookies(
      QDir(profile->persistentStoragePath()).filePath(QStringLiteral("Cookies")).toStdU16String());
  delete profile;
  if (!on_disk) return;
  // The engine closes the database on its own threads after the last write; the window thread
  // goes on running its events meanwhile, as the engine needs.
  QElapsedTimer waited;
  waited.start();
  while (FileOpenInThisProcess(cookies)) {
    if (waited.elapsed() >= limit.count()) {
      qCWarning(lcProfile) << "cookie database still open after" << waited.elapsed() << "ms";
      return;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  qCDebug(lcProfile) << "cookie database closed after" << waited.elapsed() << "ms";
}

bool KeepsDataOnDisk(const QWebEngineProfile* profile) {
  return profile != nullptr && !profile->isOffTheRecord();
}

}  // namespace kam
