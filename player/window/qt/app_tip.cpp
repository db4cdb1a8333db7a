#include "player/window/qt/app_tip.h"

#include <QGuiApplication>
#include <QScreen>

#include "common/qt/plain_text.h"

namespace kam::window {

FrmAppTip::FrmAppTip(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("FrmAppTip"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(356, 33);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(128, 128, 128));
  setPalette(pal);

  label1_ = NewPlainLabel(this);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setGeometry(8, 5, 337, 25);  // 120, 80 twips; 5055 x 375 twips
  label1_->setAlignment(Qt::AlignCenter);
  QPalette lp = label1_->palette();
  lp.setColor(QPalette::WindowText, Qt::white);
  label1_->setPalette(lp);
  QFont f;
  f.setFamilies(
      {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
  f.setPointSizeF(12);
  label1_->setFont(f);
  label1_->setText(QStringLiteral("放入桌面成功，下次从桌面打开即可观看"));

  timer1_.setInterval(3000);
  connect(&timer1_, &QTimer::timeout, this, &FrmAppTip::Timer1_Timer);
  // Enabled at design: it runs from the moment the window is made.
  timer1_.start();
}

void FrmAppTip::ShowTip(const std::string& text) {
  label1_->setText(QString::fromStdString(text));
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->geometry();
    move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
  }
  show();
  timer1_.start();
}

void FrmAppTip::Timer1_Timer() {
  hide();
  timer1_.stop();
}

}  // namespace kam::window
