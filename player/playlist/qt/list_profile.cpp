#include "player/playlist/qt/list_profile.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace kam::playlist {
namespace {

// Navigations to "pl" addresses are cancelled before they load; a request that gets here anyway
// (a sub-resource, say) is refused rather than left hanging.
class RefusingSchemeHandler : public QWebEngineUrlSchemeHandler {
 public:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
  void requestStarted(QWebEngineUrlRequestJob* job) override {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
  }
};

}  // namespace

QWebEngineProfile* ListProfile() {
  static QPointer<QWebEngineProfile> profile;
  if (profile) return profile;
  // Off the record: no cache or cookies on disk, so a reload always reads the page anew. Owned by
  // the application object, which outlives every page that uses it.
  profile = new QWebEngineProfile(QCoreApplication::instance());
  QWebEngineSettings* settings = profile->settings();
  // Without this the page could not load even the style sheets beside it. It would let the page
  // read any local file, so each list page refuses every file but its own (ListWebPage).
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
  settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
  settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
  settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  if (!QWebEngineUrlScheme::schemeByName("pl").name().isEmpty()) {
    profile->installUrlSchemeHandler("pl", new RefusingSchemeHandler(profile));
  }
  return profile;
}

}  // namespace kam::playlist
