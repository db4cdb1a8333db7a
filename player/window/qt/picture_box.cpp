#include "player/window/qt/picture_box.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include "player/window/qt/artwork.h"

namespace kam::window {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::setBackColor(const QColor& color) {
  if (back_ == color) return;
  back_ = color;
  // An opaque box hides what lies behind it, which lets the toolkit skip its parents' paint.
  setAttribute(Qt::WA_OpaquePaintEvent, back_.isValid() && back_.alpha() == 255);
  update();
}

void PictureBox::setPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

void PictureBox::setLine(int id, const QLineF& line, const QColor& color) {
  auto it = lines_.find(id);
  if (it != lines_.end() && it->second.line == line && it->second.color == color) return;
  lines_[id] = DrawnLine{line, color};
  update();
}

void PictureBox::paintPicture(const QPixmap& picture, const QRectF& source, const QPointF& at) {
  const QRectF target(at, source.size());
  for (auto it = copies_.begin(); it != copies_.end(); ++it) {
    if (it->target == target) {
      const bool same = it->picture.cacheKey() == picture.cacheKey() && it->source == source;
      if (same && it + 1 == copies_.end()) return;
      copies_.erase(it);
      break;
    }
  }
  copies_.push_back(Copy{picture, source, target});
  update(target.toAlignedRect());
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.setClipRegion(event->region());
  if (back_.isValid()) p.fillRect(rect(), back_);
  if (!picture_.isNull()) p.drawPixmap(QPointF(0, 0), picture_);
  for (const Copy& c : copies_)
    kam::artwork::PaintPicture(p, c.target.topLeft(), c.picture, c.source);
  for (const auto& [id, l] : lines_) {
    p.setPen(QPen(l.color, 0));
    p.drawLine(l.line);
  }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QWidget::mousePressEvent(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QWidget::mouseReleaseEvent(event);
  if (click) emit clicked();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (on_resize_) on_resize_();
}

}  // namespace kam::window
