// The WebEngine browser pane: a QWebEngineView with its own page that implements PanePort and
// reports the page's events to a PaneEvents handler. The main window creates one per pane
// (listweb, W3, qvod) and hands it to the browsing logic.
#pragma once

#include <QPointer>
#include <QSize>
#include <QString>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <optional>
#include <string>

#include "player/browse/media_report.h"
#include "player/browse/pane_port.h"
#include "player/browse/press_trace.h"
#include "player/browse/renderer_recovery.h"

class QWebEngineProfile;

namespace kam {

class WebPanePage;

class WebPane : public QWebEngineView, public PanePort {
  Q_OBJECT

 public:
  // profile: the one all panes share; nullptr takes the default profile. The browse schemes'
  // handler is installed on it (see url_schemes.h).
  explicit WebPane(QWidget* parent = nullptr, QWebEngineProfile* profile = nullptr);
  ~WebPane() override;

  // Who hears this pane's events; nullptr (the start) hears nothing and cancels nothing.
  void SetEvents(PaneEvents* events) { events_ = events; }

  // PanePort.
  void Navigate(const std::string& url) override;
  void Refuse(const std::string& url, const std::string& why) override;
  void NoteRefused(const std::string& url, const std::string& why) override;
  void Refresh() override;
  void GoBack() override;
  void GoForward() override;
  bool Busy() const override { return busy_; }
  void SetVisible(bool visible) override { setVisible(visible); }
  // A sibling stacked in front of the pane that, while it shows, may hide all of it (an overlay).
  // The engine is told the pane is hidden then, so it draws nothing for it; the page goes on
  // loading and playing.
  void SetCover(QWidget* cover);
  // Whether the engine draws the pane: shown, and not hidden whole behind its cover.
  bool Seen() const;
  // The pane shows its page again after a window of its own (full screen, picture-in-picture)
  // showed it: the engine is told again whether it is seen.
  void PageCameBack() { ApplySeen(); }
  bool Visible() const override { return !isHidden(); }
  void PauseMedia() override;
  void SetSilent(bool silent) override { silent_ = silent; }
  bool Silent() const override { return silent_; }
  std::string Title() const override;
  std::string CurrentUrl() const override;
  void ReadDocument(const std::string& href_contains,
                    std::function<void(std::optional<PageSnapshot>)> done) override;

  // The main medium of the page shown (media_report.h), as last reported.
  const MediaReport& media() const { return media_.report(); }
  // Acts on the main medium through the page script's world; nothing when there is none.
  void ControlMedia(MediaCommand command);
  // Whether the pages of this pane get picture-in-picture (see picture_in_picture_scripts.h);
  // without it they are told it is not supported. For documents created from now on.
  void SetPictureInPictureEnabled(bool enabled);
  // Answers the request n of the pane's own document: granted (empty error) with the small
  // window's size, or refused with that error name.
  void AnswerPictureInPicture(qint64 n, const QString& error, const QSize& size);
  // Tells the document its video left picture-in-picture, or that the small window's size changed.
  void TellPictureInPictureLeft();
  void TellPictureInPictureSize(const QSize& size);

  // The address of the last refused pop-up (diagnostics and tests).
  const QString& lastRefusedPopupTarget() const { return last_popup_target_; }

 signals:
  // A pop-up was refused; url is the address it asked for.
  void popupTargetSeen(const QString& url);
  // The main medium's report changed: its state, position or duration moved, another medium
  // became the main one, or the page went (then the report is empty: state kNone, medium 0).
  void MediaChanged(const kam::MediaReport& report);
  // The pane's own document asks for picture-in-picture: request n, whether a press of the
  // user's not yet spent asked for it, the video's width / height (0 before it has a picture),
  // the document's origin.
  void pictureInPictureRequested(qint64 n, bool pressed, double aspect, const QString& origin);
  // The document asks to leave picture-in-picture, or its video left the document.
  void pictureInPictureExitRequested();
  // The pane's main frame goes to another document (a new load or a reload).
  void mainFrameNavigating();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Presses on the engine's input widget are the user's own input (OnUserInput); a held key's
  // auto-repeat is none.
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  friend class WebPanePage;

  // Called by the page.
  bool BeforeNavigate(const QUrl& url, QWebEnginePage::NavigationType type, bool main_frame);
  void HandleNewWindow(const QUrl& url);
  void PageReported(const QString& message);
  void ReportInvalidAddressLater();

  // The page's renderer process ended; an abnormal end reloads or shows the error page.
  void HandleRendererEnded(bool abnormal);
  void ShowRendererErrorPage();

  void HandleLoadStarted();
  void HandleLoadFinished();
  void HandleTitleChanged();
  bool HearsTitle() const;
  void ReportTitle(const std::string& title);

  WebPanePage* page_;
  PaneEvents* events_ = nullptr;
  bool busy_ = false;
  bool silent_ = false;
  std::optional<std::string> error_title_;  // set after a failed load, until the next one starts
  std::string doc_title_;
  QString last_popup_target_;
  // The anchor the user clicked last, as the injected script reported it: raw attribute and the
  // absolute address. Consumed by the navigation it starts.
  struct Click {
    QString raw;
    QString absolute;
    qint64 at_ms = 0;
    QString origin;  // of the document holding the anchor
  };
  std::optional<Click> pending_click_;
  // The navigation the document reported last, as its destination address. Consumed by the next
  // navigation the engine asks about.
  struct Navigation {
    QString url;
    qint64 at_ms = 0;
    QString frame;      // the reporting document's name
    qint64 during = 0;  // the number of its press being dispatched then, 0 for none
    QString origin;     // of the navigating document
  };
  std::optional<Navigation> pending_navigation_;
  // What the documents reported of the user's presses: which requests a press asked for.
  PressTrace presses_;
  MainMedium media_;
  bool invalid_report_queued_ = false;
  RendererRecovery recovery_{[] { return std::chrono::steady_clock::now(); }};
  // The error page after repeated renderer ends is loading or shown: its load is no navigation
  // of the pane's own and keeps the error title.
  bool showing_error_doc_ = false;
  QPointer<QWidget> cover_;
  // Tells the engine whether the pane is seen, once it changed.
  void ApplySeen();
};

}  // namespace kam
