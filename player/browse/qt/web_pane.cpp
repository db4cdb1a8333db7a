#include "player/browse/qt/web_pane.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <utility>

#include "player/browse/page_url_text.h"
#include "player/browse/qt/url_schemes.h"
#include "player/browse/site_schemes.h"

Q_LOGGING_CATEGORY(lcPane, "kam.browse.pane", QtWarningMsg)

namespace kam {
namespace {

// A click older than this no longer explains a navigation.
constexpr qint64 kClickLifetimeMs = 3000;
// A refused pop-up's page is dropped after this long even if it never asked for an address.
constexpr int kPopupLifetimeMs = 10000;

std::string ToStd(const QString& s) { return s.toStdString(); }

// The engine's address as text, percent-decoded.
std::string EngineUrlText(const QUrl& url) {
  return PercentDecode(url.toString(QUrl::FullyEncoded).toStdString());
}

// Runs in its own JavaScript world, so the page's scripts neither see nor disturb it. It reports
// every click on an anchor before the engine starts the navigation: the console message travels
// on the same channel as the navigation and arrives first. The token keeps the page's own
// console output from posing as a report.
QString ClickReporterSource(const QString& token) {
  return QStringLiteral(R"JS(
(function () {
  var token = '%1';
  window.addEventListener('click', function (e) {
    var n = e.target;
    while (n && !(n.nodeType === 1 && (n.localName === 'a' || n.localName === 'area') &&
                  n.hasAttribute('href'))) {
      n = n.parentNode;
    }
    if (!n) return;
    var abs = typeof n.href === 'string' ? n.href : '';
    console.debug(token + JSON.stringify({raw: n.getAttribute('href'), abs: abs}));
  }, true);
})();
)JS")
      .arg(token);
}

// The document's title and its anchors in document order: raw attribute, absolute address, text.
// Only anchors that can pass the filter are read: their rule-chosen address (page_url_text.h)
// contains it when their raw text with a lower-cased scheme or their absolute address does. The
// absolute address is left out where the raw text is taken as it stands.
const char kReadDocumentSource[] = R"JS(
(function (filter, siteScheme) {
  var as = document.getElementsByTagName('a');
  var list = [];
  for (var i = 0; i < as.length; i++) {
    var a = as[i];
    var raw = a.getAttribute('href');
    if (raw === null) raw = '';
    var abs = siteScheme.test(raw) ? '' : (typeof a.href === 'string' ? a.href : '');
    if (filter && raw.toLowerCase().indexOf(filter) < 0 && abs.indexOf(filter) < 0) continue;
    list.push([raw, abs, a.innerText]);
  }
  return JSON.stringify({title: document.title, anchors: list});
})(%1, /%2/i);
)JS";

// A raw href that begins with a site scheme, as a script pattern: ^[blanks](name|...)://
QString SiteSchemePattern() {
  QStringList names;
  for (const std::string& n : SiteSchemeNames()) names << QString::fromStdString(n);
  return QStringLiteral("^[\\t\\n\\f\\r ]*(%1):\\/\\/").arg(names.join(QLatin1Char('|')));
}

// A text as a script string literal.
QString ScriptString(const std::string& text) {
  const QByteArray json =
      QJsonDocument(QJsonArray{QString::fromStdString(text)}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// What every pane's page may do, in one place.
void ApplyPaneSettings(QWebEngineSettings* settings) {
  // Failed loads report their error title to logic instead of the engine's error page.
  settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
  // A play page starts its video on load; the click that asked for it happened in another pane.
  settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
  // A page's full-screen request reaches the window, which decides (see fullScreenRequested).
  settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
}

bool IsLocalPath(const QString& text) {
  static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
  return text.startsWith(QLatin1Char('/')) || drive.match(text).hasMatch();
}

}  // namespace

// The page of a pane: forwards the engine's questions to its view.
class WebPanePage : public QWebEnginePage {
 public:
  WebPanePage(QWebEngineProfile* profile, WebPane* pane, QString token)
      : QWebEnginePage(profile, pane), pane_(pane), token_(std::move(token)) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool is_main_frame) override {
    Q_UNUSED(is_main_frame);
    return !pane_->BeforeNavigate(url, type == NavigationTypeReload);
  }

  QWebEnginePage* createWindow(WebWindowType type) override;

  void javaScriptAlert(const QUrl& origin, const QString& msg) override {
    if (!pane_->Silent()) QWebEnginePage::javaScriptAlert(origin, msg);
  }
  bool javaScriptConfirm(const QUrl& origin, const QString& msg) override {
    if (pane_->Silent()) return false;
    return QWebEnginePage::javaScriptConfirm(origin, msg);
  }
  bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& def,
                        QString* result) override {
    if (pane_->Silent()) return false;
    return QWebEnginePage::javaScriptPrompt(origin, msg, def, result);
  }
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int line, const QString& source) override {
    if (message.startsWith(token_)) {
      pane_->ClickReported(message.mid(token_.size()));
      return;
    }
    // The pages' own console output is diagnostics, off unless the category is switched on.
    Q_UNUSED(level);
    qCDebug(lcPane) << "console:" << source << line << message;
  }

 private:
  WebPane* pane_;
  QString token_;
};

namespace {

// Stands in for a refused pop-up: remembers the first address it is asked to open, opens none.
class RefusedPopupPage : public QWebEnginePage {
 public:
  RefusedPopupPage(QWebEngineProfile* profile, WebPane* opener)
      : QWebEnginePage(profile, opener), opener_(opener) {
    QTimer::singleShot(kPopupLifetimeMs, this, [this] { deleteLater(); });
  }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool is_main_frame) override {
    if (is_main_frame && !seen_) {
      seen_ = true;
      QString target = url.toString();
      QPointer<WebPane> opener = opener_;
      QMetaObject::invokeMethod(
          opener_,
          [opener, target] {
            if (opener) emit opener->popupTargetSeen(target);
          },
          Qt::QueuedConnection);
      deleteLater();
    }
    return false;
  }

 private:
  WebPane* opener_;
  bool seen_ = false;
};

}  // namespace

QWebEnginePage* WebPanePage::createWindow(WebWindowType type) {
  if (pane_->events_ && pane_->events_->OnNewWindow()) {
    return new RefusedPopupPage(profile(), pane_);
  }
  return QWebEnginePage::createWindow(type);
}

WebPane::WebPane(QWidget* parent, QWebEngineProfile* profile) : QWebEngineView(parent) {
  if (!profile) profile = QWebEngineProfile::defaultProfile();
  InstallBrowseSchemeHandler(profile);
  const QString token = QStringLiteral("kam-click-%1:")
                            .arg(QRandomGenerator::global()->generate64(), 16, 16, QChar('0'));
  page_ = new WebPanePage(profile, this, token);
  ApplyPaneSettings(page_->settings());

  QWebEngineScript reporter;
  reporter.setName(QStringLiteral("kam-click-reporter"));
  reporter.setSourceCode(ClickReporterSource(token));
  reporter.setWorldId(QWebEngineScript::ApplicationWorld);
  reporter.setInjectionPoint(QWebEngineScript::DocumentCreation);
  reporter.setRunsOnSubFrames(true);
  page_->scripts().insert(reporter);
  setPage(page_);

  // One source for the whole load cycle, so a failure is known before the load counts as done.
  connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
    qCDebug(lcPane) << "loading" << info.status() << info.errorDomain() << info.errorCode()
                    << info.url();
    switch (info.status()) {
      case QWebEngineLoadingInfo::LoadStartedStatus:
        HandleLoadStarted();
        break;
      case QWebEngineLoadingInfo::LoadFailedStatus:
        // A server's error reply is a page of its own; only a load that brought nothing fails.
        if (info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain) {
          error_title_ = kPageCannotBeShown;
        }
        HandleLoadFinished();
        break;
      default:
        HandleLoadFinished();
        break;
    }
  });
  connect(page_, &QWebEnginePage::titleChanged, this, &WebPane::HandleTitleChanged);
  connect(page_, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
    if (events_) events_->OnStatusText(ToStd(url));
  });
  connect(this, &WebPane::popupTargetSeen, this,
          [this](const QString& url) { last_popup_target_ = url; });
}

WebPane::~WebPane() {
  // The page refers back to this view; let it go first, and hear nothing more.
  events_ = nullptr;
  delete page_;
}

void WebPane::Navigate(const std::string& url) {
  const QString text = QString::fromStdString(url);
  QUrl target = IsLocalPath(text) ? QUrl::fromLocalFile(text) : QUrl(text);
  if (text.isEmpty() || !target.isValid() || target.scheme().isEmpty()) {
    qCDebug(lcPane) << "address cannot be parsed:" << text;
    QPointer<WebPane> self = this;
    QMetaObject::invokeMethod(
        this,
        [self] {
          if (!self) return;
          self->error_title_ = kInvalidAddress;
          self->ReportTitle(kInvalidAddress);
        },
        Qt::QueuedConnection);
    return;
  }
  page_->load(target);
}

void WebPane::Refresh() { page_->triggerAction(QWebEnginePage::Reload); }
void WebPane::GoBack() { page_->triggerAction(QWebEnginePage::Back); }
void WebPane::GoForward() { page_->triggerAction(QWebEnginePage::Forward); }

std::string WebPane::Title() const { return error_title_ ? *error_title_ : doc_title_; }

std::string WebPane::CurrentUrl() const { return EngineUrlText(page_->url()); }

void WebPane::ReadDocument(const std::string& href_contains,
                           std::function<void(std::optional<PageSnapshot>)> done) {
  static const QString pattern = SiteSchemePattern();
  const QString script =
      QString::fromLatin1(kReadDocumentSource).arg(ScriptString(href_contains), pattern);
  page_->runJavaScript(
      script, QWebEngineScript::ApplicationWorld,
      [done = std::move(done), href_contains](const QVariant& result) {
        if (result.typeId() != QMetaType::QString) {
          done(std::nullopt);
          return;
        }
        const QJsonObject doc = QJsonDocument::fromJson(result.toString().toUtf8()).object();
        PageSnapshot snap;
        snap.title = ToStd(doc.value(QStringLiteral("title")).toString());
        const QJsonArray anchors = doc.value(QStringLiteral("anchors")).toArray();
        snap.anchors.reserve(anchors.size());
        for (const QJsonValue& v : anchors) {
          const QJsonArray a = v.toArray();
          std::string href = PageUrlText(ToStd(a.at(0).toString()), ToStd(a.at(1).toString()));
          if (href.find(href_contains) == std::string::npos) continue;
          snap.anchors.push_back({std::move(href), ToStd(a.at(2).toString())});
        }
        done(std::move(snap));
      });
}

bool WebPane::BeforeNavigate(const QUrl& url, bool is_reload) {
  std::string text = EngineUrlText(url);
  if (pending_click_) {
    const Click click = *pending_click_;
    const bool fresh = QDateTime::currentMSecsSinceEpoch() - click.at_ms <= kClickLifetimeMs;
    // The click explains this navigation when the engine asks for the very address the anchor
    // holds (compared as the engine parses it).
    if (fresh && QUrl(click.absolute) == url) {
      pending_click_.reset();
      text = PageUrlText(ToStd(click.raw), ToStd(click.absolute));
    } else if (!fresh) {
      pending_click_.reset();
    }
  }
  // A reload is no new navigation; the engine's control raised nothing for it either.
  if (is_reload || !events_) return false;
  return events_->OnBeforeNavigate(text);
}

void WebPane::ClickReported(const QString& message) {
  const QJsonObject click = QJsonDocument::fromJson(message.toUtf8()).object();
  pending_click_ =
      Click{click.value(QStringLiteral("raw")).toString(),
            click.value(QStringLiteral("abs")).toString(), QDateTime::currentMSecsSinceEpoch()};
}

void WebPane::HandleLoadStarted() {
  busy_ = true;
  error_title_.reset();
  if (events_) events_->OnDownloadBegin();
}

void WebPane::HandleLoadFinished() {
  busy_ = false;
  if (events_) events_->OnDownloadComplete();
  if (error_title_) ReportTitle(*error_title_);
}

void WebPane::HandleTitleChanged() {
  // The engine names an untitled page after its address; the document's own title is empty then.
  QPointer<WebPane> self = this;
  page_->runJavaScript(QStringLiteral("document.title"), QWebEngineScript::ApplicationWorld,
                       [self](const QVariant& result) {
                         if (!self || self->error_title_) return;
                         self->doc_title_ = ToStd(result.toString());
                         self->ReportTitle(self->doc_title_);
                       });
}

void WebPane::ReportTitle(const std::string& title) {
  if (events_) events_->OnTitleChange(title);
}

void WebPane::contextMenuEvent(QContextMenuEvent* event) {
  if (events_ && events_->OnContextMenu(event->globalPos().x(), event->globalPos().y())) {
    event->accept();
    return;
  }
  QWebEngineView::contextMenuEvent(event);
}

}  // namespace kam
