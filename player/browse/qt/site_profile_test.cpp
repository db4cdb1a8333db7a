// The site panes' profile against the real engine: where it lives, that it keeps what a login
// needs, and that a folder it cannot use leaves the player running on a profile in memory.
#include "player/browse/qt/site_profile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QWebEngineProfile>
#include <memory>

#include "player/browse/qt/url_schemes.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

QApplication* App() { return testing::QtTestApp("site_profile_test", &RegisterBrowseUrlSchemes); }

QString Q(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

class SiteProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    former_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", Q(dir_.path() / "data").toUtf8());
  }
  void TearDown() override {
    profile_.reset();
    qputenv("XDG_DATA_HOME", former_);
  }

  testing::TempDir dir_;
  QByteArray former_;
  std::unique_ptr<QWebEngineProfile> profile_;
};

TEST_F(SiteProfileTest, LivesInTheUsersDataFolderUnderTheProgramsName) {
  const QString folder = SiteProfileFolder();
  EXPECT_EQ(folder, QDir(Q(dir_.path() / "data")).filePath(QStringLiteral("kamplayer")));

  profile_.reset(MakeSiteProfile(folder, nullptr));
  ASSERT_TRUE(profile_);
  EXPECT_TRUE(KeepsDataOnDisk(profile_.get()));
  EXPECT_TRUE(profile_->persistentStoragePath().startsWith(folder + QLatin1Char('/')));
  EXPECT_TRUE(profile_->cachePath().startsWith(folder + QLatin1Char('/')));
  EXPECT_EQ(profile_->httpCacheType(), QWebEngineProfile::DiskHttpCache);
  // A login without an expiry (a session cookie) must outlast the program too.
  EXPECT_EQ(profile_->persistentCookiesPolicy(), QWebEngineProfile::ForcePersistentCookies);
  // The write check leaves nothing behind.
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(SiteProfileTest, FolderThatCannotBeMadeGivesAProfileInMemory) {
  // A regular file where a folder would have to be: nothing can be created below it.
  QFile blocker(Q(dir_.path() / "blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  for (const QString& folder : {Q(dir_.path() / "blocker" / "kamplayer"), QString()}) {
    SCOPED_TRACE(folder.toStdString());
    profile_.reset(MakeSiteProfile(folder, nullptr));
    ASSERT_TRUE(profile_);
    EXPECT_FALSE(KeepsDataOnDisk(profile_.get()));
    EXPECT_TRUE(profile_->isOffTheRecord());
  }
}

}  // namespace
}  // namespace kam
