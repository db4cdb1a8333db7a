#include "update/qt/updater_widgets.h"

#include <QMouseEvent>

#include "common/qt/plain_text.h"

namespace kam::update {
namespace {

// A click is a release of the left button over the widget that saw the press.
bool IsClick(QWidget* widget, QMouseEvent* event) {
  return event->button() == Qt::LeftButton && widget->rect().contains(event->position().toPoint());
}

}  // namespace

PlainLabel::PlainLabel(QWidget* parent) : QLabel(parent) {
  MakePlain(this);
  setMouseTracking(true);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PlainLabel::mousePressEvent(QMouseEvent* event) { event->accept(); }

void PlainLabel::mouseMoveEvent(QMouseEvent* event) { event->accept(); }

void PlainLabel::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (IsClick(this, event)) emit clicked();
}

PictureButton::PictureButton(QWidget* parent) : QLabel(parent) {
  MakePlain(this);
  setMouseTracking(true);
}

void PictureButton::mousePressEvent(QMouseEvent* event) { event->accept(); }

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  emit moved();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (IsClick(this, event)) emit clicked();
}

HitArea::HitArea(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void HitArea::mousePressEvent(QMouseEvent* event) { event->accept(); }

void HitArea::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  emit moved();
}

void HitArea::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (IsClick(this, event)) emit clicked();
}

}  // namespace kam::update
