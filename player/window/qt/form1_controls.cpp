// The controls of the window definition: each created in its container, stacked in the
// definition's order, its clicks handed to the logic; and the parts wired once the program
// hands them over.
#include "player/window/qt/form1_window.h"

#include <QLineEdit>
#include <QPalette>
#include <QTimer>
#include <QWebEnginePage>
#include <cmath>

#include "common/qt/plain_text.h"
#include "player/window/layout.h"
#include "player/window/qt/artwork.h"
#include "player/window/qt/fitted_font.h"

namespace kam::window {
namespace {

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

PictureBox* Form1Window::AddBox(Ctl ctl, QWidget* parent, const char* name) {
  auto* box = new PictureBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setResizeHandler([this, ctl] { logic_.Resize(ctl); });
  controls_[static_cast<int>(ctl)] = box;
  return box;
}

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
  // Once the buffering page is there, its first show is paid while nobody waits for it.
  connect(
      qvod_->page(), &QWebEnginePage::loadFinished, this,
      [this] { QTimer::singleShot(0, this, &Form1Window::WarmBufferOverlay); },
      Qt::SingleShotConnection);

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

void Form1Window::WarmBufferOverlay() {
  // The overlay's first show makes its page's view ready to draw, which takes tens of
  // milliseconds the first time only; a click would otherwise wait for it before the player pane
  // starts its load. Shown and hidden in one turn of the event loop, it never reaches the screen.
  QWidget* vip = control(Ctl::vip);
  if (!vip->isHidden() || !isVisible()) return;
  vip->show();
  vip->hide();
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

}  // namespace kam::window
