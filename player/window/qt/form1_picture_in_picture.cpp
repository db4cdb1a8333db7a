#include "player/window/qt/form1_picture_in_picture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QScreen>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "common/site_address.h"
#include "player/browse/qt/web_pane.h"
#include "player/window/qt/form1_full_screen.h"
#include "player/window/qt/form1_window.h"
#include "player/window/qt/small_video_window.h"

Q_LOGGING_CATEGORY(lcPip, "kam.window.pip", QtWarningMsg)

namespace kam::window {
namespace {

PixelRect ToPixelRect(const QRect& r) { return PixelRect{r.x(), r.y(), r.width(), r.height()}; }

FullScreenView* FullScreenOf(Form1Window& window) {
  return window.findChild<FullScreenView*>(QStringLiteral("FullScreenView"),
                                           Qt::FindDirectChildrenOnly);
}

}  // namespace

// Stands in the pane while its page is in the small window; a double click brings it back.
class PictureInPictureView::StandIn : public QLabel {
 public:
  StandIn(PictureInPictureView& owner, QWidget* parent) : QLabel(parent), owner_(owner) {
    setObjectName(QStringLiteral("pictureInPictureStandIn"));
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setText(QStringLiteral("正在画中画中播放\n双击此处回到这里播放"));
    setStyleSheet(QStringLiteral("background: rgb(16, 16, 16); color: rgb(150, 150, 150);"));
  }

 protected:
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) owner_.Leave(PipLeave::kDoubleClick);
  }

 private:
  PictureInPictureView& owner_;
};

PictureInPictureView::PictureInPictureView(Form1Window& window)
    : QObject(&window), window_(window), pip_(*this) {
  setObjectName(QStringLiteral("PictureInPictureView"));
  for (Ctl ctl : {Ctl::listweb, Ctl::W3, Ctl::qvod}) Wire(ctl);
  // The page goes home before the panes go; a page left in the small window would outlive them.
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { Leave(PipLeave::kPlayerExit); });
  // The user's presses, as the window system delivers them, wherever the window shows the player
  // page (see presses_).
  qApp->installEventFilter(this);
}

// The panes may be gone by now (they are the window's older children): the page went home at
// the quit already, and only the small window is left to go.
PictureInPictureView::~PictureInPictureView() { delete small_; }

void PictureInPictureView::Wire(Ctl ctl) {
  WebPane* pane = PaneOf(ctl);
  if (pane == nullptr) return;
  pane->SetPictureInPictureEnabled(PictureInPicture::Allows(ctl));
  connect(pane, &WebPane::pictureInPictureRequested, this,
          [this, ctl](qint64 n, bool pressed, double aspect, const QString& origin) {
            Request(ctl, n, pressed, aspect, origin);
          });
  if (!PictureInPicture::Allows(ctl)) return;
  connect(pane, &WebPane::pictureInPictureExitRequested, this, [this, ctl] {
    if (pip_.pane() == ctl) Leave(PipLeave::kPage);
  });
  connect(pane, &WebPane::mainFrameNavigating, this, [this, ctl] {
    if (pip_.pane() == ctl) Leave(PipLeave::kNavigation);
  });
  // Wired before full screen, so the page is home again when full screen takes it.
  connect(pane->page(), &QWebEnginePage::fullScreenRequested, this,
          [this, ctl](const QWebEngineFullScreenRequest& request) {
            if (request.toggleOn() && pip_.pane() == ctl) Leave(PipLeave::kFullScreen);
          });
  pane->installEventFilter(this);
}

WebPane* PictureInPictureView::PaneOf(Ctl pane) const { return window_.pane(pane); }

void PictureInPictureView::Request(Ctl ctl, qint64 n, bool pressed, double aspect,
                                   const QString& origin) {
  WebPane* pane = PaneOf(ctl);
  if (pane == nullptr) return;
  PipAsk ask;
  ask.pane = ctl;
  ask.top_document = true;  // a frame's requests never leave the frame
  ask.on_site = OnSameSite(origin.toStdString(), window_.state().dizhi);
  // The page's word for the press, and a press the window system delivered since the last one
  // that opened a window: the engine adds events of its own when a page changes views.
  ask.pressed = pressed && presses_ != spent_press_;
  ask.aspect = aspect;
  const PipAnswer answer = pip_.OnRequest(ask);
  if (answer == PipAnswer::kEntered) spent_press_ = presses_;
  qCDebug(lcPip) << "request" << n << "from" << origin << "pressed" << pressed << "->"
                 << static_cast<int>(answer);
  const QSize size = small_ != nullptr ? small_->size() : QSize();
  pane->AnswerPictureInPicture(n, QString::fromLatin1(PipErrorName(answer)), size);
}

void PictureInPictureView::Leave(PipLeave cause) {
  if (!pip_.active()) return;
  // Where the user left it is where the next one of this run goes.
  if (small_ != nullptr && small_->geometry() != shown_at_) {
    pip_.OnUserPlaced(ToPixelRect(small_->geometry()));
  }
  qCDebug(lcPip) << "leave" << static_cast<int>(cause);
  pip_.Leave(cause);
}

bool PictureInPictureView::InMainWindowsPlayerView(QObject* o) const {
  const FullScreenView* fs = FullScreenOf(window_);
  const QObject* cover = fs != nullptr ? fs->cover() : nullptr;
  for (; o != nullptr; o = o->parent()) {
    if (o == window_.W3() || (cover != nullptr && o == cover)) return true;
  }
  return false;
}

bool PictureInPictureView::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->isAutoRepeat()) break;
      [[fallthrough]];
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
      if (InMainWindowsPlayerView(watched)) ++presses_;
      break;
    default:
      break;
  }
  // The stand-in follows the pane through the layout passes.
  if (stand_in_ != nullptr && watched == window_.W3() &&
      (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
    stand_in_->setGeometry(window_.W3()->geometry());
  }
  // The pane hidden on purpose (the player page closed), not because the window went.
  if (event->type() == QEvent::HideToParent && watched == window_.W3() && pip_.pane() == Ctl::W3) {
    Leave(PipLeave::kPaneHidden);
  }
  return false;
}

PixelRect PictureInPictureView::WorkAreaOfMainWindow() const {
  QScreen* s = window_.screen() != nullptr ? window_.screen() : QGuiApplication::primaryScreen();
  return ToPixelRect(s != nullptr ? s->availableGeometry() : window_.geometry());
}

bool PictureInPictureView::IsFullScreen(Ctl pane) const {
  FullScreenView* fs = FullScreenOf(window_);
  return fs != nullptr && fs->logic().pane() == pane;
}

void PictureInPictureView::EndFullScreen(Ctl pane) {
  FullScreenView* fs = FullScreenOf(window_);
  if (fs != nullptr && fs->logic().pane() == pane) fs->logic().OnEscape();
}

void PictureInPictureView::ShowSmallWindow(Ctl pane, const PixelRect& rect, double aspect) {
  WebPane* view = PaneOf(pane);
  if (view == nullptr) return;
  if (small_ == nullptr) {
    small_ = new SmallVideoWindow();
    connect(small_, &SmallVideoWindow::closeClicked, this,
            [this] { Leave(PipLeave::kCloseButton); });
    connect(small_, &SmallVideoWindow::escapePressed, this, [this] { Leave(PipLeave::kEscape); });
    connect(small_, &SmallVideoWindow::doubleClicked, this,
            [this] { Leave(PipLeave::kDoubleClick); });
    connect(small_, &SmallVideoWindow::sizeChanged, this, [this](const QSize& size) {
      if (WebPane* v = pip_.pane() ? PaneOf(*pip_.pane()) : nullptr) {
        v->TellPictureInPictureSize(size);
      }
    });
  }
  page_ = view->page();
  shown_at_ = QRect(rect.left, rect.top, rect.width, rect.height);
  small_->setAspect(aspect > 0 ? aspect : 16.0 / 9.0);
  // Shown before the page moves in, so the page is never in a hidden view.
  small_->setGeometry(shown_at_);
  small_->show();
  small_->raise();
  small_->view()->setPage(page_);
  if (QWidget* holder = view->parentWidget()) {
    stand_in_ = new StandIn(*this, holder);
    stand_in_->setGeometry(view->geometry());
    // Right above the pane: whatever covers the pane covers it too.
    stand_in_->stackUnder(view);
    view->stackUnder(stand_in_);
    stand_in_->show();
  }
}

void PictureInPictureView::PutPageBack(Ctl pane) {
  // The page home first, then the small window away: a page in a hidden view counts as hidden,
  // and a hidden page leaves the full screen it may be asking for just now.
  WebPane* view = PaneOf(pane);
  if (view != nullptr && page_) {
    view->setPage(page_);
    view->PageCameBack();
  }
  page_.clear();
  if (small_ != nullptr) small_->hide();
  // It may be the one whose double click ends this.
  if (stand_in_ != nullptr) stand_in_->deleteLater();
  stand_in_ = nullptr;
}

void PictureInPictureView::TellPageLeft(Ctl pane) {
  if (WebPane* view = PaneOf(pane)) view->TellPictureInPictureLeft();
}

void WirePictureInPicture(Form1Window& window) { new PictureInPictureView(window); }

}  // namespace kam::window
