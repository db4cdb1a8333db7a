#include "player/browse/qt/url_schemes.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

#include "player/browse/site_schemes.h"

Q_LOGGING_CATEGORY(lcSchemes, "kam.browse.schemes", QtWarningMsg)

namespace kam {
namespace {

// Answers every request in a site scheme with a refusal: these addresses name no resource.
class FailingSchemeHandler : public QWebEngineUrlSchemeHandler {
 public:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
  void requestStarted(QWebEngineUrlRequestJob* job) override {
    qCDebug(lcSchemes) << "refused" << job->requestUrl();
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
  }
};

}  // namespace

void RegisterBrowseUrlSchemes() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const std::string& name : SiteSchemeNames()) {
    const QByteArray bytes = QByteArray::fromStdString(name);
    if (QWebEngineUrlScheme::schemeByName(bytes).name() == bytes) continue;
    QWebEngineUrlScheme scheme(bytes);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(scheme);
  }
}

void InstallBrowseSchemeHandler(QWebEngineProfile* profile) {
  FailingSchemeHandler* handler = nullptr;
  for (const std::string& name : SiteSchemeNames()) {
    const QByteArray bytes = QByteArray::fromStdString(name);
    if (profile->urlSchemeHandler(bytes)) continue;
    if (!handler) handler = new FailingSchemeHandler(profile);
    profile->installUrlSchemeHandler(bytes, handler);
  }
}

}  // namespace kam
