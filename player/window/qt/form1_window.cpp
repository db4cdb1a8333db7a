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
#include "common/qt/plain_text.h"
#include "player/window/layout.h"
#include "player/window/qt/app_tip.h"
#include "player/window/qt/artwork.h"
#include "player/window/qt/fitted_font.h"
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

QFont SongTi(double points, bool bold) {
  QFont f;
  // SimSun where it exists; the system's CJK font elsewhere.
  f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                 QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

QLabel* TransparentLabel(QWidget* parent, const QColor& color) {
  QLabel* label = NewPlainLabel(parent);
  label->setAttribute(Qt::WA_TranslucentBackground);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, color);
  label->setPalette(pal);
  return label;
}

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

PictureBox* Form1Window::AddBox(Ctl ctl, QWidget* parent, const char* name) {
  auto* box = new PictureBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setResizeHandler([this, ctl] { logic_.Resize(ctl); });
  controls_[static_cast<int>(ctl)] = box;
  return box;
}

PictureBox* Form1Window::box(Ctl ctl) const { return qobject_cast<PictureBox*>(control(ctl)); }

void Form1Window::BuildControls(QWebEngineProfile* site_profile) {
  controls_[static_cast<int>(Ctl::Form1)] = this;

  PictureBox* picture1 = AddBox(Ctl::Picture1, this, "Picture1");
  picture1->setGeometry(0, 0, 1, 1);
  picture1->hide();

  PictureBox* dibu = AddBox(Ctl::dibu, this, "dibu");
  dibu->setBackColor(ToQColor(Color::System(Color::Kind::kWindowBackground)));
  dibu->setPicture(picture(Pic::kTitleBar));
  Label2_ = TransparentLabel(dibu, ToQColor(Color::System(Color::Kind::kWindowBackground)));
  Label2_->setObjectName(QStringLiteral("Label2"));
  Label2_->setGeometry(176, 8, 97, 17);
  controls_[static_cast<int>(Ctl::Label2)] = Label2_;
  // The version label, where a user sees it: the left of the bottom bar.
  ver_ = TransparentLabel(dibu, ToQColor(Color::System(Color::Kind::kHighlight)));
  ver_->setObjectName(QStringLiteral("ver"));
  ver_->setFont(SongTi(10.5, true));
  ver_->setGeometry(12, 3, 160, 20);
  controls_[static_cast<int>(Ctl::ver)] = ver_;

  PictureBox* bj2 = AddBox(Ctl::bj2, this, "bj2");
  bj2->setBackColor(ToQColor(Color::System(Color::Kind::kScrollBar)));
  listweb_ = new WebPane(bj2, site_profile);
  listweb_->setObjectName(QStringLiteral("listweb"));
  controls_[static_cast<int>(Ctl::listweb)] = listweb_;

  PictureBox* bj = AddBox(Ctl::bj, this, "bj");
  bj->setBackColor(Qt::black);
  bj->setPicture(picture(Pic::kTitleBar));
  AddBox(Ctl::L1_1, bj, "L1_1");
  AddBox(Ctl::L1_0, bj, "L1_0");
  const std::pair<Ctl, Pic> buttons[] = {
      {Ctl::sz, Pic::sz1}, {Ctl::min, Pic::min1}, {Ctl::max, Pic::max1}, {Ctl::gb, Pic::gb1}};
  const char* button_names[] = {"sz", "min", "max", "gb"};
  for (int i = 0; i < 4; ++i) {
    PictureBox* b = AddBox(buttons[i].first, bj, button_names[i]);
    b->setPicture(picture(buttons[i].second));
    b->resize(artwork::kCaptionW, artwork::kCaptionH);
  }
  AddBox(Ctl::logo, bj, "logo")->setPicture(picture(Pic::logo));

  PictureBox* picture10 = AddBox(Ctl::Picture10, this, "Picture10");
  picture10->hide();
  L3_ = NewPlainLabel(picture10);
  L3_->setObjectName(QStringLiteral("L3"));
  L3_->hide();
  controls_[static_cast<int>(Ctl::L3)] = L3_;

  PictureBox* so = AddBox(Ctl::so, this, "so");
  so->setBackColor(Qt::white);
  so->hide();
  Text1_ = new QLineEdit(so);
  Text1_->setObjectName(QStringLiteral("Text1"));
  Text1_->setFrame(false);
  controls_[static_cast<int>(Ctl::Text1)] = Text1_;

  PictureBox* p2 = AddBox(Ctl::P2, this, "P2");
  p2->setBackColor(Qt::white);
  PictureBox* picture6 = AddBox(Ctl::Picture6, p2, "Picture6");
  picture6->setBackColor(QColor(46, 46, 46));
  web_list_ = new playlist::WebList(program_dir_, picture6);
  web_list_->setObjectName(QStringLiteral("WebList1"));
  controls_[static_cast<int>(Ctl::WebList1)] = web_list_;
  PictureBox* picture7 = AddBox(Ctl::Picture7, picture6, "Picture7");
  picture7->setBackColor(QColor(31, 31, 31));
  picture7->setToolTip(QStringLiteral("清除播放记录"));
  PictureBox* image10 = AddBox(Ctl::Image10, picture6, "Image10");
  image10->setPicture(picture(Pic::Image10));
  image10->setGeometry(0, 0, artwork::kPanelHeaderW, artwork::kPanelHeaderH);

  PictureBox* picture3 = AddBox(Ctl::Picture3, p2, "Picture3");
  picture3->setBackColor(QColor(46, 46, 46));
  PictureBox* picture4 = AddBox(Ctl::Picture4, picture3, "Picture4");
  picture4->setBackColor(QColor(25, 25, 25));
  picture4->setCursor(artwork::HandleCursor(devicePixelRatioF()));

  PictureBox* vip = AddBox(Ctl::vip, p2, "vip");
  vip->setBackColor(Qt::black);
  vip->hide();
  PictureBox* vip3 = AddBox(Ctl::vip3, vip, "vip3");
  vip3->setBackColor(QColor(64, 64, 64));
  vip3->resize(100, Round(kVip3HeightTwips / kTwipsPerPixel));
  Label5_ = TransparentLabel(vip3, QColor(128, 128, 128));
  Label5_->setObjectName(QStringLiteral("Label5"));
  Label5_->setText(QStringLiteral("缓冲倒计时："));
  controls_[static_cast<int>(Ctl::Label5)] = Label5_;
  tip_ = TransparentLabel(vip3, QColor(255, 255, 0));
  tip_->setObjectName(QStringLiteral("tip"));
  // Both texts whole in what shows of the strip, the caption ending before the number begins.
  const int caption_w = Round(kTipOffsetTwips / kTwipsPerPixel);
  Label5_->setFont(FittedFont(SongTi(9, false), Label5_->text(),
                              QSize(caption_w, int(kLabel5VisibleTwips / kTwipsPerPixel))));
  tip_->setFont(FittedFont(
      SongTi(10.5, true), QStringLiteral("88"),
      QSize(Round(kTipWidthTwips / kTwipsPerPixel), int(kTipVisibleTwips / kTwipsPerPixel))));
  for (QLabel* label : {Label5_, tip_}) label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  controls_[static_cast<int>(Ctl::tip)] = tip_;
  qvod_ = new WebPane(vip, site_profile);
  qvod_->setObjectName(QStringLiteral("qvod"));
  controls_[static_cast<int>(Ctl::qvod)] = qvod_;

  PictureBox* bjbox = AddBox(Ctl::bjbox, p2, "bjbox");
  bjbox->setBackColor(ToQColor(Color::System(Color::Kind::kWindowFrame)));
  PictureBox* bjimg = AddBox(Ctl::bjimg, bjbox, "bjimg");
  bjimg->setPicture(picture(Pic::bjimg));
  bjimg->resize(artwork::kPlaceholderW, artwork::kPlaceholderH);

  W3_ = new WebPane(p2, site_profile);
  W3_->setObjectName(QStringLiteral("W3"));
  // The buffering overlay hides the player pane whole while it shows.
  W3_->SetCover(vip);
  controls_[static_cast<int>(Ctl::W3)] = W3_;

  StackInTableOrder();

  connect(box(Ctl::L1_0), &PictureBox::clicked, this, [this] { logic_.L1_Click(0); });
  connect(box(Ctl::L1_1), &PictureBox::clicked, this, [this] { logic_.L1_Click(1); });
  connect(picture4, &PictureBox::clicked, this, [this] { logic_.Picture4_Click(); });
  connect(picture7, &PictureBox::clicked, this, [this] { logic_.Picture7_Click(); });
}

void Form1Window::StackInTableOrder() {
  // Siblings are stacked in the order of the window definition, the first in front: raising
  // them from the last to the first leaves the first on top.
  const std::vector<std::vector<Ctl>> siblings = {
      {Ctl::Picture1, Ctl::dibu, Ctl::bj2, Ctl::bj, Ctl::Picture10, Ctl::so, Ctl::P2},
      {Ctl::Label2, Ctl::ver},
      {Ctl::L1_1, Ctl::L1_0, Ctl::sz, Ctl::min, Ctl::max, Ctl::gb, Ctl::logo},
      {Ctl::Picture6, Ctl::Picture3, Ctl::vip, Ctl::bjbox, Ctl::W3},
      {Ctl::WebList1, Ctl::Picture7, Ctl::Image10},
      {Ctl::vip3, Ctl::qvod},
      {Ctl::Label5, Ctl::tip},
  };
  for (const auto& group : siblings) {
    for (auto it = group.rbegin(); it != group.rend(); ++it) control(*it)->raise();
  }
}

const QPixmap& Form1Window::picture(Pic pic) {
  auto it = pictures_.find(pic);
  if (it != pictures_.end()) return it->second;
  const qreal dpr = devicePixelRatioF();
  QPixmap p;
  using artwork::Caption;
  switch (pic) {
    case Pic::kTitleBar:
      p = artwork::TitleBar(dpr);
      break;
    case Pic::sp:
      p = artwork::TabSpriteLibrary(dpr);
      break;
    case Pic::bf:
      p = artwork::TabSpritePlayer(dpr);
      break;
    case Pic::sz1:
      p = artwork::CaptionButton(Caption::kSz1, dpr);
      break;
    case Pic::sz2:
      p = artwork::CaptionButton(Caption::kSz2, dpr);
      break;
    case Pic::min1:
      p = artwork::CaptionButton(Caption::kMin1, dpr);
      break;
    case Pic::min2:
      p = artwork::CaptionButton(Caption::kMin2, dpr);
      break;
    case Pic::max1:
      p = artwork::CaptionButton(Caption::kMax1, dpr);
      break;
    case Pic::max2:
      p = artwork::CaptionButton(Caption::kMax2, dpr);
      break;
    case Pic::max3:
      p = artwork::CaptionButton(Caption::kMax3, dpr);
      break;
    case Pic::max4:
      p = artwork::CaptionButton(Caption::kMax4, dpr);
      break;
    case Pic::gb1:
      p = artwork::CaptionButton(Caption::kGb1, dpr);
      break;
    case Pic::gb2:
      p = artwork::CaptionButton(Caption::kGb2, dpr);
      break;
    case Pic::Image12:
      p = artwork::HandlePanelShown(dpr);
      break;
    case Pic::Image13:
      p = artwork::HandlePanelHidden(dpr);
      break;
    case Pic::Image16:
      p = artwork::BinSprite(dpr);
      break;
    case Pic::Image10:
      p = artwork::PanelHeader(dpr);
      break;
    case Pic::bjimg:
      p = artwork::Placeholder(dpr);
      break;
    case Pic::logo:
      p = artwork::Logo(dpr);
      break;
    case Pic::kCount:
      break;
  }
  return pictures_.emplace(pic, std::move(p)).first->second;
}

void Form1Window::setParts(Form2* form2, FrmAppTip* tip, QtTray* tray, Startup* startup) {
  form2_ = form2;
  app_tip_ = tip;
  tray_ = tray;
  startup_ = startup;
  WireBrowse(*this);
  WireChrome(*this);
  // Before full screen: a page leaves the small window before full screen takes it.
  WirePictureInPicture(*this);
  WireFullScreen(*this);
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
