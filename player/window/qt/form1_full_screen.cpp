#include "player/window/qt/form1_full_screen.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "player/window/qt/form1_window.h"

namespace kam::window {
namespace {

QRect ToQRect(const PixelRect& r) { return QRect(r.left, r.top, r.width, r.height); }
PixelRect ToPixelRect(const QRect& r) { return PixelRect{r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

FullScreenView::FullScreenView(Form1Window& window)
    : QObject(&window), window_(window), full_screen_(*this) {
  setObjectName(QStringLiteral("FullScreenView"));
  escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), &window_);
  escape_->setContext(Qt::WindowShortcut);
  escape_->setEnabled(false);
  connect(escape_, &QShortcut::activated, this, [this] { full_screen_.OnEscape(); });
  window_.installEventFilter(this);
  for (Ctl ctl : {Ctl::listweb, Ctl::W3, Ctl::qvod}) Watch(ctl);
}

void FullScreenView::Watch(Ctl ctl) {
  WebPane* pane = PaneOf(ctl);
  if (pane == nullptr) return;
  pane->installEventFilter(this);
  connect(pane->page(), &QWebEnginePage::fullScreenRequested, this,
          [this, ctl](QWebEngineFullScreenRequest request) {
            if (full_screen_.OnRequest(ctl, request.toggleOn())) {
              request.accept();
            } else {
              request.reject();
            }
          });
}

WebPane* FullScreenView::PaneOf(Ctl pane) const { return window_.pane(pane); }

bool FullScreenView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_) {
    if (event->type() == QEvent::Resize && cover_) cover_->setGeometry(window_.rect());
    if (event->type() == QEvent::Hide && !event->spontaneous()) full_screen_.OnHidden(Ctl::Form1);
    return false;
  }
  // A pane hidden on purpose (not because the window went): its page leaves full screen first.
  if (event->type() == QEvent::HideToParent) {
    for (Ctl ctl : {Ctl::listweb, Ctl::W3}) {
      if (watched == PaneOf(ctl)) full_screen_.OnHidden(ctl);
    }
  }
  return false;
}

WindowPlacement FullScreenView::Placement() const {
  return WindowPlacement{window_.windowStateNow(), ToPixelRect(window_.geometry())};
}

PixelRect FullScreenView::ScreenOfWindow() const {
  QScreen* s = window_.screen() != nullptr ? window_.screen() : QGuiApplication::primaryScreen();
  return s != nullptr ? ToPixelRect(s->geometry()) : ToPixelRect(window_.geometry());
}

void FullScreenView::ShowPageOverWindow(Ctl pane, const PixelRect& screen) {
  WebPane* view = PaneOf(pane);
  if (view == nullptr) return;
  page_ = view->page();
  // Told to the window manager, which then keeps panels and docks under it; placed ourselves,
  // since without one nobody would size the window.
  window_.setWindowState(Qt::WindowFullScreen);
  window_.setGeometry(ToQRect(screen));
  cover_ = new QWebEngineView(&window_);
  cover_->setObjectName(QStringLiteral("fullScreenCover"));
  cover_->setGeometry(window_.rect());
  cover_->setPage(page_);
  cover_->show();
  cover_->raise();
  cover_->setFocus();
  escape_->setEnabled(true);
}

void FullScreenView::PutPageBack(Ctl pane) {
  escape_->setEnabled(false);
  WebPane* view = PaneOf(pane);
  if (view != nullptr && page_) {
    view->setPage(page_);
    view->PageCameBack();
  }
  page_.clear();
  if (cover_) {
    cover_->hide();
    // The request that ends full screen may be on the stack of the cover's own events.
    cover_->deleteLater();
    cover_.clear();
  }
  if (view != nullptr && view->isVisible()) view->setFocus();
}

void FullScreenView::Place(const WindowPlacement& placement) {
  const QRect g = ToQRect(placement.geometry);
  if (placement.state == WindowState::kMaximised) {
    // As the chrome maximises: the rectangle first, then the state it keeps.
    window_.setGeometry(g);
    window_.setWindowState(Qt::WindowMaximized);
  } else {
    window_.setWindowState(Qt::WindowNoState);
    window_.setGeometry(g);
  }
}

void FullScreenView::TellPageToLeave(Ctl pane) {
  if (WebPane* view = PaneOf(pane)) view->page()->triggerAction(QWebEnginePage::ExitFullScreen);
}

void WireFullScreen(Form1Window& window) { new FullScreenView(window); }

}  // namespace kam::window
