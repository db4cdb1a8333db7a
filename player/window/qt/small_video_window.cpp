#include "player/window/qt/small_video_window.h"

#include <QChildEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QWebEngineView>
#include <QWindow>

#include "player/window/small_window_geometry.h"

namespace kam::window {
namespace {

constexpr int kStripHeight = 26;
constexpr int kCloseWidth = 30;
constexpr int kGripSide = 16;

PixelRect ToPixelRect(const QRect& r) { return PixelRect{r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

// The top strip: drags move the window; its right end is the close button.
class SmallVideoWindow::Strip : public QWidget {
 public:
  explicit Strip(SmallVideoWindow& owner) : QWidget(&owner), owner_(owner) {
    setObjectName(QStringLiteral("smallVideoStrip"));
    setMouseTracking(true);
    setToolTip(QString());
  }

  QRect CloseRect() const { return QRect(width() - kCloseWidth, 0, kCloseWidth, height()); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 110));
    const QRect c = CloseRect();
    if (hot_) p.fillRect(c, QColor(232, 17, 35));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.6));
    const QPoint m = c.center();
    p.drawLine(m + QPoint(-5, -5), m + QPoint(5, 5));
    p.drawLine(m + QPoint(-5, 5), m + QPoint(5, -5));
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    pressed_close_ = CloseRect().contains(e->position().toPoint());
    if (!pressed_close_) owner_.BeginMove(e->globalPosition().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    const bool hot = CloseRect().contains(e->position().toPoint());
    if (hot != hot_) {
      hot_ = hot;
      update();
    }
    if (e->buttons() & Qt::LeftButton) owner_.MoveTo(e->globalPosition().toPoint());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    if (pressed_close_) {
      pressed_close_ = false;
      if (CloseRect().contains(e->position().toPoint())) emit owner_.closeClicked();
      return;
    }
    owner_.EndDrag();
  }
  void leaveEvent(QEvent*) override {
    hot_ = false;
    update();
  }

 private:
  SmallVideoWindow& owner_;
  bool hot_ = false;
  bool pressed_close_ = false;
};

// The corner grip: drags resize the window.
class SmallVideoWindow::Grip : public QWidget {
 public:
  explicit Grip(SmallVideoWindow& owner) : QWidget(&owner), owner_(owner) {
    setObjectName(QStringLiteral("smallVideoGrip"));
    setCursor(Qt::SizeFDiagCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    for (int i = 4; i <= 12; i += 4)
      p.drawLine(width() - i, height() - 1, width() - 1, height() - i);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) owner_.BeginResize(e->globalPosition().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (e->buttons() & Qt::LeftButton) owner_.ResizeTo(e->globalPosition().toPoint());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) owner_.EndDrag();
  }

 private:
  SmallVideoWindow& owner_;
};

SmallVideoWindow::SmallVideoWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("smallVideoWindow"));
  setWindowTitle(QStringLiteral("画中画"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setStyleSheet(QStringLiteral("background: black;"));
  view_ = new QWebEngineView(this);
  view_->setObjectName(QStringLiteral("smallVideoView"));
  view_->installEventFilter(this);
  strip_ = new Strip(*this);
  grip_ = new Grip(*this);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &SmallVideoWindow::escapePressed);
}

bool SmallVideoWindow::eventFilter(QObject* watched, QEvent* event) {
  // The engine's input widget comes with the page; a double click on it is ours, not the page's
  // (whose own would ask for full screen).
  if (watched == view_ && event->type() == QEvent::ChildAdded) {
    QObject* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType()) child->installEventFilter(this);
    // The overlays stay above whatever the view adds.
    strip_->raise();
    grip_->raise();
    return false;
  }
  if (event->type() == QEvent::MouseButtonDblClick && watched != view_) {
    emit doubleClicked();
    return true;
  }
  return false;
}

void SmallVideoWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_->setGeometry(rect());
  strip_->setGeometry(0, 0, width(), kStripHeight);
  grip_->setGeometry(width() - kGripSide, height() - kGripSide, kGripSide, kGripSide);
  strip_->raise();
  grip_->raise();
  emit sizeChanged(size());
}

QRect SmallVideoWindow::WorkArea() const {
  QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return s != nullptr ? s->availableGeometry() : geometry();
}

void SmallVideoWindow::BeginMove(const QPoint& global) {
  // A window manager moves it as it moves any window; without one it follows the pointer here.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
    drag_ = Drag::kNone;
    return;
  }
  drag_ = Drag::kMove;
  drag_from_ = global;
  drag_start_ = geometry();
}

void SmallVideoWindow::MoveTo(const QPoint& global) {
  if (drag_ == Drag::kMove) move(drag_start_.topLeft() + (global - drag_from_));
}

void SmallVideoWindow::BeginResize(const QPoint& global) {
  drag_ = Drag::kResize;
  drag_from_ = global;
  drag_start_ = geometry();
}

void SmallVideoWindow::ResizeTo(const QPoint& global) {
  if (drag_ != Drag::kResize) return;
  const QPoint d = global - drag_from_;
  const PixelRect r =
      ResizedSmallWindow(ToPixelRect(drag_start_), d.x(), d.y(), aspect_, ToPixelRect(WorkArea()));
  setGeometry(r.left, r.top, r.width, r.height);
}

void SmallVideoWindow::EndDrag() { drag_ = Drag::kNone; }

}  // namespace kam::window
