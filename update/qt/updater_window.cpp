#include "update/qt/updater_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "common/qt/icon_file.h"
#include "update/qt/progress_bar.h"
#include "update/qt/skin_art.h"
#include "update/qt/updater_widgets.h"

namespace kam::update {
namespace {

QRect ToQRect(const Rect& r) { return QRect(r.x, r.y, r.width, r.height); }

// "宋体" where it exists, else the system's CJK font.
QFont SongTi(qreal points, bool bold) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei")});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

}  // namespace

UpdaterWindow::UpdaterWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      chrome_(*this),
      skin_(UpdaterSkin()),
      close_strip_(CloseStrip()),
      minimise_strip_(MinimiseStrip()),
      image4_(ButtonPicture(ButtonArt::kOkNormal)),
      image5_(ButtonPicture(ButtonArt::kOkHover)),
      image7_(ButtonPicture(ButtonArt::kUpdateNormal)),
      image8_(ButtonPicture(ButtonArt::kUpdateHover)) {
  setWindowTitle(QStringLiteral("在线升级"));
  setFixedSize(kUpdaterWidth, kUpdaterHeight);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(SongTi(9, false));

  auto make_label = [this](Control control, const char* text) {
    auto* label = new PlainLabel(this);
    label->setGeometry(ToQRect(DesignRect(control)));
    label->setText(QString::fromUtf8(text));
    label->hide();
    return label;
  };
  label1_ = make_label(Control::kLabel1, "您当前使用的");
  label2_ = make_label(Control::kLabel2, "已是最新");
  label3_ = make_label(Control::kLabel3, ",无需升级");
  label5_ = make_label(Control::kLabel5, "00%");
  label4_ = make_label(Control::kLabel4, "取消");
  for (PlainLabel* label : {label1_, label2_, label3_}) {
    label->setFont(SongTi(10.5, true));
    SetTextColour(label, QColor(64, 64, 64));
  }
  SetTextColour(label2_, QColor(255, 128, 0));

  bar_ = new ProgressBar(this);
  bar_->setGeometry(ToQRect(DesignRect(Control::kBar)));
  bar_->hide();

  image3_ = new PictureButton(this);
  image3_->setGeometry(ToQRect(DesignRect(Control::kImage3)));
  image3_->setPixmap(image4_);
  image3_->hide();
  image6_ = new PictureButton(this);
  image6_->setGeometry(ToQRect(DesignRect(Control::kImage6)));
  image6_->setPixmap(image7_);
  image6_->hide();

  close_hit_ = new HitArea(this);
  minimise_hit_ = new HitArea(this);

  connect(image3_, &PictureButton::moved, this, [this] { chrome_.OnImage3Move(); });
  connect(image6_, &PictureButton::moved, this, [this] { chrome_.OnImage6Move(); });
  connect(image3_, &PictureButton::clicked, this, [this] {
    if (updater_) updater_->OnOkClicked();
  });
  connect(image6_, &PictureButton::clicked, this, [this] {
    if (updater_) updater_->OnUpgradeClicked();
  });
  connect(label4_, &PlainLabel::clicked, this, [this] {
    if (updater_) updater_->OnCancelClicked();
  });
  connect(close_hit_, &HitArea::moved, this, [this] { chrome_.OnCloseHitMove(); });
  connect(minimise_hit_, &HitArea::moved, this, [this] { chrome_.OnMinimiseHitMove(); });
  connect(close_hit_, &HitArea::clicked, this, [this] {
    if (updater_) updater_->OnTitleBarClose();
  });
  connect(minimise_hit_, &HitArea::clicked, this, [this] { chrome_.OnMinimiseHitClick(); });

  layout_ = LayoutForSize(width(), height());
  close_hit_->setGeometry(ToQRect(layout_.close_hit));
  minimise_hit_->setGeometry(ToQRect(layout_.minimise_hit));
}

UpdaterWindow::~UpdaterWindow() = default;

void UpdaterWindow::ShowCentred() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    QRect area = screen->geometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  show();
}

PlainLabel* UpdaterWindow::Label(Control control) const {
  switch (control) {
    case Control::kLabel1:
      return label1_;
    case Control::kLabel2:
      return label2_;
    case Control::kLabel3:
      return label3_;
    case Control::kLabel4:
      return label4_;
    case Control::kLabel5:
      return label5_;
    default:
      return nullptr;
  }
}

QWidget* UpdaterWindow::ControlWidget(Control control) const {
  switch (control) {
    case Control::kImage3:
      return image3_;
    case Control::kImage6:
      return image6_;
    case Control::kBar:
      return bar_;
    default:
      return Label(control);
  }
}

QWidget* UpdaterWindow::CloseHit() const { return close_hit_; }
QWidget* UpdaterWindow::MinimiseHit() const { return minimise_hit_; }

void UpdaterWindow::SetText(Control control, const std::string& text) {
  PlainLabel* label = Label(control);
  if (!label) return;
  label->setText(QString::fromStdString(text));
  if (label == label1_ || label == label2_ || label == label3_) PlaceSentence();
}

void UpdaterWindow::PlaceSentence() {
  auto text_width = [](const PlainLabel* label) {
    return QFontMetrics(label->font()).horizontalAdvance(label->text());
  };
  const SentenceLefts lefts = kam::update::PlaceSentence(text_width(label1_), text_width(label2_));
  label1_->move(lefts.label1, label1_->y());
  label2_->move(lefts.label2, label2_->y());
  label3_->move(lefts.label3, label3_->y());
}

void UpdaterWindow::SetVisible(Control control, bool visible) {
  if (QWidget* widget = ControlWidget(control)) widget->setVisible(visible);
}

void UpdaterWindow::SetBarValue(float value) { bar_->setValue(value); }

char UpdaterWindow::DecimalPoint() {
  const QString point = QLocale().decimalPoint();
  if (point.size() == 1 && point.at(0).unicode() < 0x80) return point.at(0).toLatin1();
  return '.';
}

void UpdaterWindow::InstallHook() {
  hook_installed_ = true;
  setWindowFlags(windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
}

void UpdaterWindow::SetIcon(const std::filesystem::path& icon_file) {
  setWindowIcon(LoadIconFromFile(icon_file));
}

void UpdaterWindow::CloseWindow() { EndProgram(0); }

void UpdaterWindow::EndProgram(int status) {
  if (ending_) return;
  ending_ = true;
  hide();
  QCoreApplication::exit(status);
}

void UpdaterWindow::RepaintButtons() {
  update(ToQRect(layout_.close_hit));
  update(ToQRect(layout_.minimise_hit));
}

void UpdaterWindow::ShowImage3Picture(bool hover) { image3_->setPixmap(hover ? image5_ : image4_); }

void UpdaterWindow::ShowImage6Picture(bool hover) { image6_->setPixmap(hover ? image8_ : image7_); }

void UpdaterWindow::SetPointer(int setting) {
  if (setting == kPointerCustom) {
    setCursor(Qt::ArrowCursor);  // a custom pointer without a picture of its own
  } else {
    unsetCursor();
  }
}

void UpdaterWindow::StartSystemMove() {
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  drag_offset_ = QCursor::pos() - pos();
}

void UpdaterWindow::Minimise() { showMinimized(); }

void UpdaterWindow::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.setClipRegion(event->region());
  p.drawPixmap(0, 0, skin_);
  for (const StripPiece& piece :
       ButtonPieces(width(), chrome_.close_hover(), chrome_.minimise_hover())) {
    const QPixmap& strip = piece.strip == Strip::kClose ? close_strip_ : minimise_strip_;
    p.drawPixmap(ToQRect(piece.target), strip, ToQRect(piece.source));
  }
  p.setPen(QPen(palette().color(QPalette::Highlight), 1));
  for (const Line& line : {layout_.left, layout_.right, layout_.bottom}) {
    p.drawLine(line.x1, line.y1, line.x2, line.y2);
  }
}

void UpdaterWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layout_ = LayoutForSize(width(), height());
  close_hit_->setGeometry(ToQRect(layout_.close_hit));
  minimise_hit_->setGeometry(ToQRect(layout_.minimise_hit));
  update();
}

void UpdaterWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  chrome_.OnPaint();
}

void UpdaterWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && !isMinimized()) chrome_.OnPaint();
}

void UpdaterWindow::closeEvent(QCloseEvent* event) {
  // The system's close command: out of sight at once, then the window unloads.
  if (hook_installed_) hide();
  event->accept();
  if (updater_) {
    updater_->Unload();
  } else {
    EndProgram(0);
  }
}

void UpdaterWindow::mouseMoveEvent(QMouseEvent* event) {
  if (drag_offset_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - *drag_offset_);
    return;
  }
  chrome_.OnBackgroundMouseMove();
}

void UpdaterWindow::mousePressEvent(QMouseEvent*) { chrome_.OnBackgroundPress(); }

void UpdaterWindow::mouseReleaseEvent(QMouseEvent*) { drag_offset_.reset(); }

void QtMessagePump::ProcessPendingMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace kam::update
