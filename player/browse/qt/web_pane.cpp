#include "player/browse/qt/web_pane.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <cmath>
#include <utility>

#include "player/browse/page_url_text.h"
#include "player/browse/pane_cover.h"
#include "player/browse/qt/click_timing.h"
#include "player/browse/qt/page_scripts.h"
#include "player/browse/qt/picture_in_picture_scripts.h"
#include "player/browse/qt/url_schemes.h"
#include "player/browse/site_schemes.h"

Q_LOGGING_CATEGORY(lcPane, "kam.browse.pane", QtWarningMsg)

namespace kam {
namespace {

// A click older than this no longer explains a navigation.
constexpr qint64 kClickLifetimeMs = 3000;

std::string ToStd(const QString& s) { return s.toStdString(); }

// How requests and pressed links are compared: the address as the engine parses it, or for an
// address the engine hands over unparsed, the text the document reported for it.
std::string AddressKey(const QUrl& url, const QString& reported_text) {
  if (url.isValid() && !url.isEmpty()) return ToStd(url.toString(QUrl::FullyEncoded));
  return "text:" + ToStd(reported_text);
}
std::string LinkKey(const QString& link) {
  return link.isEmpty() ? std::string() : AddressKey(QUrl(link), link);
}

// The engine's address as text, percent-decoded where that cannot move its host.
std::string EngineUrlText(const QUrl& url) {
  return PercentDecodeAddress(url.toString(QUrl::FullyEncoded).toStdString());
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
  // A local page shown here (the program's own pages only) reads no other local file.
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  // Every window a script asks for reaches the pane, which lets through only those the user's
  // press asked for. The engine's own rule (a recent press, spent by the first window) lets a
  // page's timer spend the press before the link the user pressed asks for its window.
  settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
}

// The document a pane shows once its renderer kept ending: titled as a page that cannot be shown.
QString RendererErrorDocument() {
  return QStringLiteral(
             "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
             "<body style=\"font:16px sans-serif;color:#555;margin:48px\">%1</body></html>")
      .arg(QString::fromUtf8(kPageCannotBeShown));
}

constexpr char kPipApiScript[] = "kam-picture-in-picture";

// Events of the pane or its cover after which the pane may show more or less than before.
bool ChangesWhatShows(QEvent::Type type) {
  return type == QEvent::Show || type == QEvent::Hide || type == QEvent::Move ||
         type == QEvent::Resize || type == QEvent::ParentChange;
}

// A script run in every document and frame of the pane as each is created.
QWebEngineScript DocumentScript(const QString& name, const QString& source, quint32 world) {
  QWebEngineScript script;
  script.setName(name);
  script.setSourceCode(source);
  script.setWorldId(world);
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setRunsOnSubFrames(true);
  return script;
}

QWebEngineScript PictureInPictureApiScript(bool enabled) {
  return DocumentScript(QString::fromLatin1(kPipApiScript), PictureInPictureApiSource(enabled),
                        QWebEngineScript::MainWorld);
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
    return !pane_->BeforeNavigate(url, type, is_main_frame);
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
      pane_->PageReported(message.mid(token_.size()));
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

QWebEnginePage* WebPanePage::createWindow(WebWindowType) {
  // No window opens in the engine; the pane hears of the request with its address
  // (newWindowRequested), and a refused one leaves no page behind.
  return nullptr;
}

WebPane::WebPane(QWidget* parent, QWebEngineProfile* profile) : QWebEngineView(parent) {
  if (!profile) profile = QWebEngineProfile::defaultProfile();
  InstallBrowseSchemeHandler(profile);
  const QString token = QStringLiteral("kam-click-%1:")
                            .arg(QRandomGenerator::global()->generate64(), 16, 16, QChar('0'));
  page_ = new WebPanePage(profile, this, token);
  ApplyPaneSettings(page_->settings());

  page_->scripts().insert(DocumentScript(QStringLiteral("kam-page-reporter"),
                                         PageReporterSource(token),
                                         QWebEngineScript::ApplicationWorld));
  page_->scripts().insert(DocumentScript(QStringLiteral("kam-picture-in-picture-bridge"),
                                         PictureInPictureBridgeSource(token),
                                         QWebEngineScript::ApplicationWorld));
  // The engine's own picture-in-picture says it is there and then refuses; every page sees ours.
  page_->scripts().insert(PictureInPictureApiScript(false));
  setPage(page_);

  // One source for the whole load cycle, so a failure is known before the load counts as done.
  connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
    qCDebug(lcPane) << "loading" << info.status() << info.errorDomain() << info.errorCode()
                    << info.url();
    // The error page's own load neither starts a download of the pane nor clears its title.
    if (showing_error_doc_) {
      if (info.url().scheme() == QLatin1String("data")) return;
      showing_error_doc_ = false;
    }
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
  connect(page_, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status, int exit_code) {
            qCInfo(lcPane) << objectName() << "renderer ended:" << status << exit_code;
            HandleRendererEnded(status != QWebEnginePage::NormalTerminationStatus);
          });
  connect(page_, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
    if (events_) events_->OnStatusText(ToStd(url));
  });
  connect(page_, &QWebEnginePage::newWindowRequested, this,
          [this](QWebEngineNewWindowRequest& request) { HandleNewWindow(request.requestedUrl()); });
  connect(this, &WebPane::popupTargetSeen, this,
          [this](const QString& url) { last_popup_target_ = url; });
  // The engine's input widget comes and goes with the page's renderer; each one is watched.
  installEventFilter(this);
  for (QObject* child : children()) {
    if (child->isWidgetType()) child->installEventFilter(this);
  }
}

bool WebPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cover_) {
    if (ChangesWhatShows(event->type())) ApplySeen();
    return QWebEngineView::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::ChildAdded:
      if (watched == this) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) child->installEventFilter(this);
      }
      break;
    case QEvent::KeyPress:
      // A held key's auto-repeat is no press.
      if (static_cast<QKeyEvent*>(event)->isAutoRepeat()) break;
      [[fallthrough]];
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
      if (watched != this && events_) events_->OnUserInput();
      break;
    default:
      break;
  }
  return QWebEngineView::eventFilter(watched, event);
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
    ReportInvalidAddressLater();
    return;
  }
  ClickStep("Navigate", objectName());
  if (page_->isAudioMuted()) page_->setAudioMuted(false);  // PauseMedia's silence ends here
  page_->load(target);
  ClickStep("Navigate returned", objectName());
}

void WebPane::Refuse(const std::string& url, const std::string& why) {
  qCInfo(lcPane) << objectName() << "refused" << QString::fromStdString(url) << "-"
                 << QString::fromStdString(why);
  ReportInvalidAddressLater();
}

void WebPane::NoteRefused(const std::string& url, const std::string& why) {
  qCInfo(lcPane) << objectName() << "refused" << QString::fromStdString(url) << "-"
                 << QString::fromStdString(why);
}

void WebPane::ReportInvalidAddressLater() {
  // One report stands for any number of refusals in a row: a burst queues nothing more.
  if (invalid_report_queued_) return;
  invalid_report_queued_ = true;
  QPointer<WebPane> self = this;
  QMetaObject::invokeMethod(
      this,
      [self] {
        if (!self) return;
        self->invalid_report_queued_ = false;
        self->error_title_ = kInvalidAddress;
        self->ReportTitle(kInvalidAddress);
      },
      Qt::QueuedConnection);
}

void WebPane::SetPictureInPictureEnabled(bool enabled) {
  for (const QWebEngineScript& s : page_->scripts().find(QString::fromLatin1(kPipApiScript))) {
    page_->scripts().remove(s);
  }
  page_->scripts().insert(PictureInPictureApiScript(enabled));
}

void WebPane::AnswerPictureInPicture(qint64 n, const QString& error, const QSize& size) {
  page_->runJavaScript(PictureInPictureAnswerScript(n, error, size),
                       QWebEngineScript::ApplicationWorld);
}

void WebPane::TellPictureInPictureLeft() {
  page_->runJavaScript(PictureInPictureLeftScript(), QWebEngineScript::ApplicationWorld);
}

void WebPane::TellPictureInPictureSize(const QSize& size) {
  page_->runJavaScript(PictureInPictureResizedScript(size), QWebEngineScript::ApplicationWorld);
}

void WebPane::Refresh() {
  page_->triggerAction(QWebEnginePage::Reload);
  ClickStep("Refresh", objectName());
}
void WebPane::GoBack() { page_->triggerAction(QWebEnginePage::Back); }
void WebPane::GoForward() { page_->triggerAction(QWebEnginePage::Forward); }

std::string WebPane::Title() const {
  if (error_title_) return *error_title_;
  return HearsTitle() ? doc_title_ : ToStd(page_->title());
}

bool WebPane::HearsTitle() const { return events_ != nullptr && events_->HearsTitle(); }

std::string WebPane::CurrentUrl() const { return EngineUrlText(page_->url()); }

void WebPane::ReadDocument(const std::string& href_contains,
                           std::function<void(std::optional<PageSnapshot>)> done) {
  const QString script = ReadDocumentSource(ScriptString(href_contains));
  ClickStep("ReadDocument asked", objectName());
  page_->runJavaScript(
      script, QWebEngineScript::ApplicationWorld,
      [done = std::move(done), href_contains](const QVariant& result) {
        ClickStep("ReadDocument answered");
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

bool WebPane::BeforeNavigate(const QUrl& url, QWebEnginePage::NavigationType type,
                             bool main_frame) {
  if (main_frame && objectName() == QLatin1String("listweb")) {
    ClickBegan("listweb BeforeNavigate");
  } else {
    ClickStep("BeforeNavigate", objectName());
  }
  std::string text = EngineUrlText(url);
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  std::optional<Navigation> reported_by;  // the document's report of this navigation
  // The document that asked, once a report of its own explains this navigation.
  QString source_origin;
  if (pending_navigation_) {
    const Navigation nav = *pending_navigation_;
    pending_navigation_.reset();
    // The document's own report of this navigation: the same address as the engine parses it.
    // For an address the engine cannot parse both sides fail alike, with the same description.
    const QUrl reported = QUrl::fromEncoded(nav.url.toUtf8());
    const bool same = url.isValid()
                          ? reported == url
                          : !reported.isValid() && reported.errorString() == url.errorString();
    if (now - nav.at_ms <= kClickLifetimeMs && same) {
      reported_by = nav;
      source_origin = nav.origin;
      const std::string decoded = PercentDecode(ToStd(nav.url));
      if (SiteSchemePrefixLength(decoded) > 0) text = PageUrlText(decoded, text);
    }
  }
  if (pending_click_) {
    const Click click = *pending_click_;
    const bool fresh = now - click.at_ms <= kClickLifetimeMs;
    // The click explains this navigation when the engine asks for the very address the anchor
    // holds (compared as the engine parses it).
    if (fresh && QUrl(click.absolute) == url) {
      pending_click_.reset();
      text = PageUrlText(ToStd(click.raw), ToStd(click.absolute));
      source_origin = click.origin;
    } else if (!fresh) {
      pending_click_.reset();
    }
  }
  // The error page after repeated renderer ends is the pane's own, no navigation of the page.
  if (showing_error_doc_ && main_frame && url.scheme() == QLatin1String("data")) return false;
  // A reload is no new navigation; the engine's control raised nothing for it either.
  if (type == QWebEnginePage::NavigationTypeReload || !events_) {
    if (main_frame) emit mainFrameNavigating();
    return false;
  }
  NavigationRequest request;
  request.url = std::move(text);
  request.main_frame = main_frame;
  request.by_program = type == QWebEnginePage::NavigationTypeTyped;
  request.by_press = presses_.AskedForNavigation(
      reported_by ? ToStd(reported_by->frame) : std::string(),
      reported_by ? reported_by->during : 0, AddressKey(url, reported_by ? reported_by->url : ""));
  request.source_origin = ToStd(source_origin);
  const bool cancel = events_->OnNavigationRequest(request);
  ClickStep(cancel ? "BeforeNavigate handled: cancelled" : "BeforeNavigate handled", objectName());
  if (!cancel && main_frame) {
    recovery_.NewNavigation();
    emit mainFrameNavigating();
  }
  return cancel;
}

void WebPane::HandleRendererEnded(bool abnormal) {
  switch (recovery_.RendererEnded(abnormal)) {
    case RendererRecovery::Step::kNothing:
      return;
    case RendererRecovery::Step::kReload: {
      // Nothing is loading any more; the reload below starts the next load.
      busy_ = false;
      QTimer::singleShot(RendererRecovery::kReloadDelay, this, [this] {
        if (!recovery_.gave_up()) page_->triggerAction(QWebEnginePage::Reload);
      });
      return;
    }
    case RendererRecovery::Step::kShowError:
      ShowRendererErrorPage();
      return;
  }
}

void WebPane::ShowRendererErrorPage() {
  qCWarning(lcPane) << objectName() << "renderer keeps ending; the error page stands in";
  // Reported as a load that failed, so the pane's watchers treat it as such.
  busy_ = false;
  showing_error_doc_ = true;
  error_title_ = kPageCannotBeShown;
  if (events_) events_->OnDownloadComplete();
  ReportTitle(kPageCannotBeShown);
  page_->setHtml(RendererErrorDocument());
}

void WebPane::HandleNewWindow(const QUrl& url) {
  NewWindowRequest request;
  request.url = EngineUrlText(url);
  request.by_press = presses_.AskedForWindow(AddressKey(url, url.toString()));
  // Refused or not, nothing opens here: the engine's default for these views is no window.
  if (!events_ || !events_->OnNewWindow(request)) return;
  QPointer<WebPane> self = this;
  const QString target = url.toString();
  QMetaObject::invokeMethod(
      this,
      [self, target] {
        if (self) emit self->popupTargetSeen(target);
      },
      Qt::QueuedConnection);
}

void WebPane::PageReported(const QString& message) {
  const QJsonObject report = QJsonDocument::fromJson(message.toUtf8()).object();
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  const QString frame = report.value(QStringLiteral("f")).toString();
  const QString origin = report.value(QStringLiteral("origin")).toString();
  if (report.contains(QStringLiteral("pip"))) {
    if (!report.value(QStringLiteral("top")).toBool()) return;
    emit pictureInPictureRequested(report.value(QStringLiteral("pip")).toInteger(),
                                   report.value(QStringLiteral("pressed")).toBool(),
                                   report.value(QStringLiteral("aspect")).toDouble(), origin);
    return;
  }
  if (report.contains(QStringLiteral("pipExit")) || report.contains(QStringLiteral("pipGone"))) {
    emit pictureInPictureExitRequested();
    return;
  }
  if (report.contains(QStringLiteral("press"))) {
    presses_.Began(ToStd(frame), report.value(QStringLiteral("press")).toInteger(),
                   LinkKey(report.value(QStringLiteral("link")).toString()),
                   report.value(QStringLiteral("repeat")).toBool());
    return;
  }
  if (report.contains(QStringLiteral("done"))) {
    presses_.Ended(ToStd(frame), report.value(QStringLiteral("done")).toInteger());
    return;
  }
  if (report.contains(QStringLiteral("media"))) {
    const std::optional<MediaSample> sample =
        ParseMediaSample(ToStd(report.value(QStringLiteral("media")).toString()));
    if (sample && media_.Update(ToStd(frame), *sample)) emit MediaChanged(media_.report());
    return;
  }
  if (report.contains(QStringLiteral("nav"))) {
    pending_navigation_ = Navigation{report.value(QStringLiteral("nav")).toString(), now, frame,
                                     report.value(QStringLiteral("during")).toInteger(), origin};
    return;
  }
  pending_click_ = Click{report.value(QStringLiteral("raw")).toString(),
                         report.value(QStringLiteral("abs")).toString(), now, origin};
}

void WebPane::HandleLoadStarted() {
  ClickStep("load started", objectName());
  busy_ = true;
  error_title_.reset();
  // The page goes, and its media with it.
  if (media_.Clear()) emit MediaChanged(media_.report());
  if (events_) events_->OnDownloadBegin();
}

void WebPane::ControlMedia(MediaCommand command) {
  const std::optional<MainMedium::Where> where = media_.main();
  if (!where) return;
  static constexpr const char* kVerbs[] = {"play", "pause", "stop", "seek"};
  const QString script =
      QStringLiteral("window.kamMediaControl && window.kamMediaControl(%1, %2, '%3', %4)")
          .arg(ScriptString(where->document))
          .arg(where->element)
          .arg(QLatin1String(kVerbs[command.kind]))
          .arg(std::isfinite(command.position_s) ? command.position_s : 0.0, 0, 'f', 3);
  page_->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void WebPane::PauseMedia() {
  page_->runJavaScript(QStringLiteral("window.kamPauseAll && window.kamPauseAll()"),
                       QWebEngineScript::ApplicationWorld);
  page_->setAudioMuted(true);
}

void WebPane::HandleLoadFinished() {
  ClickStep("load finished", objectName());
  busy_ = false;
  if (events_) events_->OnDownloadComplete();
  if (error_title_) ReportTitle(*error_title_);
}

void WebPane::HandleTitleChanged() {
  if (!HearsTitle()) return;
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

void WebPane::SetCover(QWidget* cover) {
  if (cover_) cover_->removeEventFilter(this);
  cover_ = cover;
  if (cover_) cover_->installEventFilter(this);
  ApplySeen();
}

bool WebPane::Seen() const {
  if (!isVisible()) return false;
  const QWidget* parent = parentWidget();
  if (!cover_ || !parent || cover_->parentWidget() != parent) return true;
  const auto rect = [](const QRect& r) { return PaneRect{r.x(), r.y(), r.width(), r.height()}; };
  return !CoversPane(rect(geometry()), rect(cover_->geometry()), cover_->isVisible(),
                     parent->width(), parent->height());
}

void WebPane::ApplySeen() {
  // While full screen or picture-in-picture shows the page in a window of its own, that window's
  // view decides.
  if (QWebEngineView::forPage(page_) != this) return;
  // A page the engine holds hidden draws no frames; its loads, scripts and media go on.
  const bool seen = Seen();
  if (page_->isVisible() != seen) page_->setVisible(seen);
}

bool WebPane::event(QEvent* event) {
  const bool done = QWebEngineView::event(event);
  if (ChangesWhatShows(event->type())) ApplySeen();
  return done;
}

void WebPane::contextMenuEvent(QContextMenuEvent* event) {
  if (events_ && events_->OnContextMenu(event->globalPos().x(), event->globalPos().y())) {
    event->accept();
    return;
  }
  QWebEngineView::contextMenuEvent(event);
}

}  // namespace kam
