#include "player/playlist/qt/list_web_page.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QVariant>
#include <QWebChannel>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

#include "common/path_text.h"
#include "player/playlist/list_links.h"
#include "player/playlist/play_list_files.h"
#include "player/playlist/qt/list_page_script.h"
#include "player/playlist/qt/list_profile.h"

Q_LOGGING_CATEGORY(lcWebList, "kam.playlist.weblist", QtWarningMsg)

namespace kam::playlist {
namespace {

// Handed back for every new window the list page asks for: it takes the target, refuses to load
// it and goes away, so no window ever opens.
class RefusedWindowPage : public QWebEnginePage {
 public:
  RefusedWindowPage(QWebEngineProfile* profile, ListWebPage* opener)
      : QWebEnginePage(profile, opener), opener_(opener) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
    qCDebug(lcWebList) << "refused new window for" << url;
    if (opener_) emit opener_->navigationCancelled(url);
    deleteLater();
    return false;
  }

 private:
  QPointer<ListWebPage> opener_;
};

// Lets the page read its own files and nothing else. The engine's file settings alone would still
// let the page show any local file as an image, a frame or a style sheet (reading it to do so).
class ListFileGuard : public QWebEngineUrlRequestInterceptor {
 public:
  ListFileGuard(std::filesystem::path program_dir, QObject* parent)
      : QWebEngineUrlRequestInterceptor(parent), program_dir_(std::move(program_dir)) {}

  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    const QUrl url = info.requestUrl();
    if (url.isLocalFile() &&
        IsListPageFile(program_dir_, Utf8Path(url.toLocalFile().toStdString()))) {
      return;
    }
    // The empty list page the control shows from memory when the file cannot be written.
    if (url.scheme() == QLatin1String("data") &&
        info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
      return;
    }
    qCDebug(lcWebList) << "refused request for" << url;
    info.block(true);
  }

 private:
  std::filesystem::path program_dir_;
};

}  // namespace

void ListPageBridge::contextMenu(const QString& tag, const QString& id) {
  emit contextMenuRequested(tag, id);
}

ListWebPage::ListWebPage(std::filesystem::path program_dir, QObject* parent)
    : QWebEnginePage(ListProfile(), parent), channel_(new QWebChannel(this)) {
  setUrlRequestInterceptor(new ListFileGuard(std::move(program_dir), this));
  auto* bridge = new ListPageBridge(this);
  channel_->registerObject(QLatin1String(kBridgeName), bridge);
  setWebChannel(channel_, QWebEngineScript::ApplicationWorld);
  connect(bridge, &ListPageBridge::contextMenuRequested, this, &ListWebPage::contextMenuRequested);

  QWebEngineScript script;
  script.setName(QStringLiteral("kam-list-links"));
  script.setSourceCode(ListPageScript());
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::ApplicationWorld);
  script.setRunsOnSubFrames(false);
  scripts().insert(script);
}

QWebEnginePage* ListWebPage::createWindow(WebWindowType type) {
  Q_UNUSED(type);
  // The anchor was recorded while the click was dispatched, before the engine asked for the
  // window, so the answer names the link that was clicked.
  QPointer<ListWebPage> self(this);
  runJavaScript(LastLinkQuery(), QWebEngineScript::ApplicationWorld,
                [self](const QVariant& result) {
                  if (!self) return;
                  const QVariantList link = result.toList();
                  if (link.size() != 2) return;
                  emit self->linkActivated(link[0].toString(), link[1].toString());
                });
  return new RefusedWindowPage(profile(), this);
}

bool ListWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  qCDebug(lcWebList) << "navigation" << url << type << isMainFrame;
  if (IsCancelledNavigation(url.toString().toStdString())) {
    emit navigationCancelled(url);
    return false;
  }
  return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void ListWebPage::javaScriptAlert(const QUrl&, const QString& msg) {
  qCDebug(lcWebList) << "alert suppressed:" << msg;
}

bool ListWebPage::javaScriptConfirm(const QUrl&, const QString& msg) {
  qCDebug(lcWebList) << "confirm suppressed:" << msg;
  return false;
}

bool ListWebPage::javaScriptPrompt(const QUrl&, const QString& msg, const QString&, QString*) {
  qCDebug(lcWebList) << "prompt suppressed:" << msg;
  return false;
}

}  // namespace kam::playlist
