// The chrome of the main window on Qt: mouse events of the title bar, the caption buttons, the
// tabs, the player area's small buttons, the bottom bar and the window's 1-pixel frame become
// calls into the chrome logic; its port calls become window operations.
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWindow>
#include <cmath>

#include "player/window/chrome.h"
#include "player/window/max_bounds.h"
#include "player/window/qt/form1_chrome.h"
#include "player/window/qt/form1_window.h"
#include "player/window/qt/form2.h"

namespace kam::window {
namespace {

int Round(double v) { return static_cast<int>(std::lround(v)); }

// Button mask as the handlers take it: 1 left, 2 right, 4 middle.
int ButtonMask(Qt::MouseButtons b) {
  return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
         (b & Qt::MiddleButton ? 4 : 0);
}

Qt::CursorShape ShapeOf(Pointer p) {
  switch (p) {
    case Pointer::kSizeWE:
      return Qt::SizeHorCursor;
    case Pointer::kSizeNS:
      return Qt::SizeVerCursor;
    case Pointer::kSizeNWSE:
      return Qt::SizeFDiagCursor;
    case Pointer::kSizeNESW:
      return Qt::SizeBDiagCursor;
    case Pointer::kDefault:
      break;
  }
  return Qt::ArrowCursor;
}

PixelRect ToPixelRect(const QRect& r) { return PixelRect{r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

ChromeView::ChromeView(Form1Window& window)
    : QObject(&window),
      window_(window),
      chrome_(window.logic(), window.port(), *this, window.state()) {
  window_.setMouseTracking(true);
  // The window's own pointer shows only on its frame: its direct children keep the arrow
  // instead of inheriting a sizing pointer.
  for (Ctl c : {Ctl::dibu, Ctl::bj2, Ctl::P2, Ctl::so}) {
    if (QWidget* w = window_.control(c)) w->setCursor(Qt::ArrowCursor);
  }
  window_.installEventFilter(this);
  // The load handler stores the bounds once, from the screen the window starts on.
  window_.setMaxBoundsHandler([this] {
    if (QScreen* s = ScreenOfWindow()) {
      bounds_screen_ = ToPixelRect(s->geometry());
      bounds_ = LoadHandlerMaxBounds(bounds_screen_, ToPixelRect(s->availableGeometry()));
      has_bounds_ = true;
    }
  });
  for (Ctl c : {Ctl::bj, Ctl::gb, Ctl::max, Ctl::min, Ctl::sz, Ctl::L1_0, Ctl::L1_1, Ctl::bjbox,
                Ctl::Picture4, Ctl::Picture7, Ctl::Label2, Ctl::dibu}) {
    if (QWidget* w = window_.control(c)) {
      w->setMouseTracking(true);
      w->installEventFilter(this);
      watched_[w] = c;
    }
  }
}

// --- ChromePort -------------------------------------------------------------------------------

void ChromeView::SetState(WindowState state) {
  switch (state) {
    case WindowState::kMinimised:
      // Keeps the maximised flag, so the taskbar restores the window as it was.
      window_.setWindowState(window_.windowState() | Qt::WindowMinimized);
      break;
    case WindowState::kMaximised: {
      if (!(window_.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) {
        normal_geometry_ = window_.geometry();
      }
      // Without a window manager nobody sizes a maximised window: place it ourselves, before
      // setting the state (a geometry change clears the maximised state).
      const QRect target = MaximisedGeometry();
      if (!target.isEmpty()) window_.setGeometry(target);
      placed_maximised_ = true;
      window_.setWindowState((window_.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
      break;
    }
    case WindowState::kNormal:
      window_.setWindowState(window_.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
      // Back where it was before we maximised it; a window the window manager maximised is
      // restored by the window manager.
      if (placed_maximised_ && normal_geometry_.isValid()) window_.setGeometry(normal_geometry_);
      placed_maximised_ = false;
      break;
  }
}

QScreen* ChromeView::ScreenOfWindow() const {
  return window_.screen() != nullptr ? window_.screen() : QGuiApplication::primaryScreen();
}

QRect ChromeView::MaximisedGeometry() const {
  QScreen* s = ScreenOfWindow();
  if (s == nullptr) return {};
  const PixelRect screen = ToPixelRect(s->geometry());
  const PixelRect work = ToPixelRect(s->availableGeometry());
  // A window moved to another screen since the load handler maximises on that screen.
  const MaxBounds bounds =
      has_bounds_ && bounds_screen_ == screen ? bounds_ : LoadHandlerMaxBounds(screen, work);
  const PixelRect r = MaximisedRect(bounds, screen, work);
  return QRect(r.left, r.top, r.width, r.height);
}

void ChromeView::HideWindow() { window_.hide(); }

bool ChromeView::TrayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void ChromeView::PopupSettingsMenu() {
  Form2* form2 = window_.form2();
  if (form2 == nullptr || form2->caidan() == nullptr) return;
  form2->caidan()->popup(QCursor::pos());
}

void ChromeView::SetCapture(Ctl ctl) {
  QWidget* w = window_.control(ctl);
  if (w != nullptr && QWidget::mouseGrabber() != w) w->grabMouse();
}

void ChromeView::ReleaseCapture() {
  if (QWidget* g = QWidget::mouseGrabber()) g->releaseMouse();
}

void ChromeView::SetPointer(Ctl ctl, Pointer pointer) {
  QWidget* w = window_.control(ctl);
  if (w == nullptr) return;
  if (pointer == Pointer::kDefault) {
    w->unsetCursor();
  } else {
    w->setCursor(ShapeOf(pointer));
  }
}

void ChromeView::SetForeColor(Ctl ctl, Color color) {
  auto* label = qobject_cast<QLabel*>(window_.control(ctl));
  if (label == nullptr) return;
  QColor c = color.kind == Color::Kind::kHighlight ? window_.palette().color(QPalette::Highlight)
                                                   : QColor(color.r, color.g, color.b);
  QPalette pal = label->palette();
  if (pal.color(QPalette::WindowText) == c) return;
  pal.setColor(QPalette::WindowText, c);
  label->setPalette(pal);
}

void ChromeView::Refresh(Ctl ctl) {
  if (QWidget* w = window_.control(ctl)) w->repaint();
}

WindowTwips ChromeView::Geometry() const {
  const QRect g = window_.geometry();
  return WindowTwips{double(g.x()) * kTwipsPerPixel, double(g.y()) * kTwipsPerPixel,
                     double(g.width()) * kTwipsPerPixel, double(g.height()) * kTwipsPerPixel};
}

void ChromeView::SetGeometry(const WindowTwips& t) {
  const QRect r(Round(t.left / kTwipsPerPixel), Round(t.top / kTwipsPerPixel),
                Round(t.width / kTwipsPerPixel), Round(t.height / kTwipsPerPixel));
  if (r != window_.geometry()) window_.setGeometry(r);
}

bool ChromeView::CanPlaceWindow() const {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void ChromeView::StartSystemMove() {
  QWindow* handle = window_.windowHandle();
  if (handle != nullptr && handle->startSystemMove()) return;
  // No window manager to run the move loop: follow the mouse until the button is released.
  // The window keeps the spot that was pressed under the pointer.
  manual_move_ = true;
  manual_move_offset_ = move_anchor_ - window_.pos();
  window_.move(last_global_ - manual_move_offset_);
}

void ChromeView::StartSystemResize(Edges edges, int min_w, int min_h) {
  QWindow* handle = window_.windowHandle();
  if (handle == nullptr) return;
  // The platform enforces the minimum; a window already below it is not made to grow.
  window_.setMinimumSize(std::min(min_w, window_.width()), std::min(min_h, window_.height()));
  Qt::Edges e;
  if (edges.top) e |= Qt::TopEdge;
  if (edges.bottom) e |= Qt::BottomEdge;
  if (edges.left) e |= Qt::LeftEdge;
  if (edges.right) e |= Qt::RightEdge;
  handle->startSystemResize(e);
}

// --- Events -----------------------------------------------------------------------------------

bool ChromeView::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
      type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
    return false;
  }
  auto* me = static_cast<QMouseEvent*>(event);
  last_global_ = me->globalPosition().toPoint();
  if (watched == &window_) return FormMouse(me);
  auto it = watched_.find(static_cast<QWidget*>(watched));
  if (it == watched_.end()) return false;
  return ControlMouse(it->second, static_cast<QWidget*>(watched), me);
}

bool ChromeView::FormMouse(QMouseEvent* me) {
  const QPointF pos = me->position();
  if (me->type() == QEvent::MouseButtonPress) {
    // Only a press on the window's own surface (its frame) starts a frame drag.
    frame_pressed_ = window_.childAt(pos.toPoint()) == nullptr;
    return false;
  }
  if (me->type() == QEvent::MouseButtonRelease) {
    frame_pressed_ = false;
    return false;
  }
  if (me->type() != QEvent::MouseMove) return false;
  const int buttons = ButtonMask(me->buttons());
  if (buttons == 0 && window_.childAt(pos.toPoint()) != nullptr) return false;
  if (buttons != 0 && !frame_pressed_) return false;
  chrome_.Form_MouseMove(buttons, pos.x(), pos.y());
  return true;
}

bool ChromeView::ControlMouse(Ctl ctl, QWidget* w, QMouseEvent* me) {
  const QPointF pos = me->position();
  const int buttons = ButtonMask(me->buttons());
  const QEvent::Type type = me->type();

  if (manual_move_ && ctl == Ctl::bj) {
    if (type == QEvent::MouseMove && buttons != 0) {
      window_.move(me->globalPosition().toPoint() - manual_move_offset_);
      return true;
    }
    if (type == QEvent::MouseButtonRelease) {
      manual_move_ = false;
      return true;
    }
  }

  switch (ctl) {
    case Ctl::gb:
    case Ctl::max:
    case Ctl::min:
    case Ctl::sz:
      if (type == QEvent::MouseMove) {
        if (ctl == Ctl::gb) chrome_.gb_MouseMove();
        if (ctl == Ctl::max) chrome_.max_MouseMove();
        if (ctl == Ctl::min) chrome_.min_MouseMove();
        if (ctl == Ctl::sz) chrome_.sz_MouseMove();
      } else if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
        pressed_ = w;
      } else if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) {
        const bool click = pressed_ == w && w->rect().contains(pos.toPoint());
        pressed_ = nullptr;
        if (click) {
          if (ctl == Ctl::gb) chrome_.gb_Click();
          if (ctl == Ctl::max) chrome_.max_Click();
          if (ctl == Ctl::min) chrome_.min_Click();
          if (ctl == Ctl::sz) chrome_.sz_Click();
        }
      }
      return true;  // the title bar under the button sees none of it

    case Ctl::bj: {
      // Children that do not take the mouse (the logo) pass their events up; the handlers
      // belong to the bar's own surface.
      if (w->childAt(pos.toPoint()) != nullptr && !title_pressed_) return true;
      if (type == QEvent::MouseMove && buttons == 0) {
        chrome_.bj_MouseMove();
      } else if (type == QEvent::MouseButtonPress) {
        title_pressed_ = true;
        title_press_pos_ = me->globalPosition().toPoint();
      } else if (type == QEvent::MouseMove && title_pressed_) {
        // The move loop starts once the mouse really drags, so a double click still reaches
        // the bar.
        if ((me->globalPosition().toPoint() - title_press_pos_).manhattanLength() >=
            QApplication::startDragDistance()) {
          title_pressed_ = false;
          move_anchor_ = title_press_pos_;
          chrome_.bj_MouseDown();
        }
      } else if (type == QEvent::MouseButtonRelease) {
        title_pressed_ = false;
      } else if (type == QEvent::MouseButtonDblClick) {
        title_pressed_ = false;
        chrome_.bj_DblClick();
      }
      return true;
    }

    case Ctl::L1_0:
    case Ctl::L1_1:
      if (type == QEvent::MouseMove) {
        chrome_.L1_MouseMove(ctl == Ctl::L1_0 ? 0 : 1);
        return true;
      }
      return false;  // the tab selection is the window's

    case Ctl::bjbox:
      if (type == QEvent::MouseMove) chrome_.bjbox_MouseMove();
      if (type == QEvent::MouseButtonDblClick) chrome_.bjbox_DblClick();
      return type == QEvent::MouseMove || type == QEvent::MouseButtonDblClick;

    case Ctl::Picture4:
      if (type == QEvent::MouseMove) {
        chrome_.Picture4_MouseMove(buttons, pos.x(), pos.y());
        return true;
      }
      return false;  // the toggle is the window's

    case Ctl::Picture7:
      if (type == QEvent::MouseMove) {
        chrome_.Picture7_MouseMove(buttons, pos.x(), pos.y());
        return true;
      }
      if (type == QEvent::MouseButtonPress) chrome_.Picture7_MouseDown();
      return false;  // the clear-history click is the window's

    case Ctl::Label2:
      if (type == QEvent::MouseMove) {
        chrome_.Label2_MouseMove();
        return true;
      }
      return false;

    case Ctl::dibu:
      if (type == QEvent::MouseMove && w->childAt(pos.toPoint()) == nullptr) {
        chrome_.dibu_MouseMove();
        return true;
      }
      return false;

    default:
      return false;
  }
}

void WireChrome(Form1Window& window) { new ChromeView(window); }

}  // namespace kam::window
