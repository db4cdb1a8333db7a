#include "player/window/qt/form1_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWindow>
#include <cmath>

#include "common/program_dir.h"
#include "common/qt/icon_file.h"
#include "player/window/layout.h"
#include "player/window/qt/app_tip.h"
#include "player/window/qt/artwork.h"
#include "player/window/qt/artwork_pictures.h"
#include "player/window/qt/tray.h"

namespace kam::window {
namespace {

constexpr QColor kFrameLine{64, 64, 64};

// Controls placed in twips: the children of vip and of vip3.
bool PlacedInTwips(Ctl ctl) {
  return ctl == Ctl::vip3 || ctl == Ctl::qvod || ctl == Ctl::Label5 || ctl == Ctl::tip;
}

// Containers whose own unit is the twip.
bool MeasuredInTwips(Ctl ctl) { return ctl == Ctl::vip || ctl == Ctl::vip3; }

int Round(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

Form1Window::Form1Window(PlayerState& state, std::filesystem::path program_dir, QWidget* parent,
                         QWebEngineProfile* site_profile)
    : QWidget(parent),
      state_(state),
      program_dir_(program_dir.empty() ? ExecutableDir() : std::move(program_dir)),
      logic_(*this, state) {
  setObjectName(QStringLiteral("Form1"));
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setAttribute(Qt::WA_OpaquePaintEvent);
  nolink_.setInterval(100);
  webtime_.setInterval(1000);
  BuildControls(site_profile);
  resize(Round(kDesignClient.width), Round(kDesignClient.height));
  // What the window shows before any event asked for a repaint.
  logic_.bj_Paint();
  logic_.Picture4_Paint();
  logic_.Picture7_Paint();
}

Form1Window::~Form1Window() = default;

PictureBox* Form1Window::box(Ctl ctl) const { return qobject_cast<PictureBox*>(control(ctl)); }

const QPixmap& Form1Window::picture(Pic pic) {
  auto it = pictures_.find(pic);
  if (it == pictures_.end()) {
    it = pictures_.emplace(pic, artwork::DrawPicture(pic, devicePixelRatioF())).first;
  }
  return it->second;
}

WebPane* Form1Window::pane(Ctl ctl) const {
  switch (ctl) {
    case Ctl::listweb:
      return listweb_;
    case Ctl::W3:
      return W3_;
    case Ctl::qvod:
      return qvod_;
    default:
      return nullptr;
  }
}

WindowState Form1Window::windowStateNow() const {
  const Qt::WindowStates s = windowState();
  if (s & Qt::WindowMinimized) return WindowState::kMinimised;
  if (s & Qt::WindowMaximized) return WindowState::kMaximised;
  return WindowState::kNormal;
}

void Form1Window::HideOrMinimise() {
  if (CloseActionFor(QSystemTrayIcon::isSystemTrayAvailable()) == CloseAction::kHide) {
    hide();
  } else {
    showMinimized();
  }
}

bool Form1Window::ShownToUser() const {
  return ShownForToggle(isVisible(), isMinimized(), QSystemTrayIcon::isSystemTrayAvailable());
}

void Form1Window::SetShownToUser(bool shown) {
  if (!shown) {
    HideOrMinimise();
    return;
  }
  switch (ShowStepFor(isVisible(), isMinimized(), QSystemTrayIcon::isSystemTrayAvailable())) {
    case ShowStep::kShow:
      show();
      break;
    case ShowStep::kUnminimise:
      setWindowState(windowState() & ~Qt::WindowMinimized);
      break;
    case ShowStep::kNothing:
      break;
  }
}

void Form1Window::ShowAndRaise() {
  if (isHidden()) show();
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  raise();
  activateWindow();
}

void Form1Window::TaskbarHook() {
  if (hooked_) return;
  hooked_ = true;
  const Qt::WindowFlags extra = Qt::WindowMinimizeButtonHint | Qt::WindowSystemMenuHint;
  if (QWindow* w = windowHandle()) {
    // Changed on the native window in place: the widget's own flags would recreate (and hide) it.
    w->setFlags(w->flags() | extra);
  } else {
    setWindowFlags(windowFlags() | extra);
  }
}

void Form1Window::Unload() {
  unloading_ = true;
  if (tray_ != nullptr) tray_->TrayRemoveIcon();
  if (app_tip_ != nullptr) app_tip_->hide();
  close();
  QCoreApplication::exit(0);
}

void Form1Window::CentreThenTop120Twips() {
  QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (s == nullptr) return;
  const QRect g = s->geometry();
  move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
  move(x(), g.y() + 120 / kTwipsPerPixel);
}

void Form1Window::SetIconFromFile(const std::filesystem::path& file) {
  setWindowIcon(IconFromFileOr(file, artwork::AppIcon()));
}

void Form1Window::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.setClipRegion(event->region());
  p.fillRect(rect(), Qt::white);
  p.setPen(QPen(kFrameLine, 0));
  for (const auto& [id, line] : window_lines_) p.drawLine(line);
}

void Form1Window::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  logic_.Form_Resize();
}

void Form1Window::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    // Restoring runs the passes again; the title bar shows the maximise image of the new state.
    logic_.Form_Resize();
    logic_.bj_Paint();
    emit windowStateChanged();
  }
}

void Form1Window::closeEvent(QCloseEvent* event) {
  if (unloading_) {
    event->accept();
    return;
  }
  // The system's Close never destroys the main window: the program lives on in the tray, and
  // the exit commands are its way out.
  event->ignore();
  HideOrMinimise();
}

Size Form1Window::ClientSize(Ctl container) const {
  const QWidget* w = control(container);
  if (w == nullptr) return {};
  const double k = MeasuredInTwips(container) ? kTwipsPerPixel : 1;
  return {w->width() * k, w->height() * k};
}

void Form1Window::SetBounds(Ctl ctl, const Rect& r) {
  QWidget* w = control(ctl);
  if (w == nullptr || w == this) return;
  const double k = PlacedInTwips(ctl) ? 1.0 / kTwipsPerPixel : 1;
  w->setGeometry(Round(r.left * k), Round(r.top * k), Round(r.width * k), Round(r.height * k));
}

void Form1Window::SetLine(LineId line, const Line& l) {
  const QLineF q(l.x1, l.y1, l.x2, l.y2);
  if (line >= LineId::Line6) {
    box(Ctl::so)->setLine(static_cast<int>(line), q, kFrameLine);
    return;
  }
  auto it = window_lines_.find(line);
  if (it != window_lines_.end() && it->second == q) return;
  window_lines_[line] = q;
  update();
}

void Form1Window::SetVisible(Ctl ctl, bool visible) {
  if (QWidget* w = control(ctl); w != nullptr && w != this) w->setVisible(visible);
}

bool Form1Window::IsVisible(Ctl ctl) const {
  const QWidget* w = control(ctl);
  return w != nullptr && !w->isHidden();
}

void Form1Window::BringToFront(Ctl ctl) {
  if (QWidget* w = control(ctl); w != nullptr && w != this) w->raise();
}

void Form1Window::SetBackColor(Ctl ctl, Color c) {
  if (PictureBox* b = box(ctl)) b->setBackColor(ToQColor(c));
}

void Form1Window::PaintPicture(Ctl target, Pic pic, const Rect& src, Point dst) {
  if (PictureBox* b = box(target)) {
    b->paintPicture(picture(pic), QRectF(src.left, src.top, src.width, src.height),
                    QPointF(dst.x, dst.y));
  }
}

void Form1Window::SetImage(Ctl image, Pic pic) {
  if (PictureBox* b = box(image)) b->setPicture(picture(pic));
}

void Form1Window::SetDefaultPointer(Ctl ctl) {
  if (QWidget* w = control(ctl)) w->unsetCursor();
}

void Form1Window::RefreshCatalogue() { listweb_->Refresh(); }

void Form1Window::ShowHistory(const std::vector<std::string>& list) { web_list_->AddItem(list); }

QColor Form1Window::ToQColor(Color c) const {
  const QPalette pal = QApplication::palette();
  switch (c.kind) {
    case Color::Kind::kRgb:
      return QColor(c.r, c.g, c.b);
    case Color::Kind::kScrollBar:
      return pal.color(QPalette::Button);
    case Color::Kind::kWindowBackground:
      return pal.color(QPalette::Base);
    case Color::Kind::kWindowFrame:
      return pal.color(QPalette::Shadow);
    case Color::Kind::kHighlight:
      return pal.color(QPalette::Highlight);
  }
  return {};
}

}  // namespace kam::window
