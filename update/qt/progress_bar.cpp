#include "update/qt/progress_bar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace kam::update {
namespace {

// The surface's pixels as an image that paints straight into them (0x00RRGGBB words).
QImage Wrap(RgbImage& surface) {
  return QImage(reinterpret_cast<uchar*>(surface.data()), surface.width(), surface.height(),
                surface.width() * 4, QImage::Format_RGB32);
}

}  // namespace

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
  setMinimumSize(kMinimumBarWidthTwips / kTwipsPerPixel, kMinimumBarHeightTwips / kTwipsPerPixel);
  setAttribute(Qt::WA_OpaquePaintEvent);
  redraw();
}

void ProgressBar::setValue(float value) {
  properties_.value = ClampBarValue(value);
  emit propertyChanged(QStringLiteral("Value"));
  redraw();
}

void ProgressBar::setForeColor(ColourRef colour) {
  properties_.fore_colour = colour;
  emit propertyChanged(QStringLiteral("ForeColor"));
  redraw();
}

void ProgressBar::setBarStyle(std::int32_t style) {
  properties_.style = style;
  emit propertyChanged(QStringLiteral("Style"));
  redraw();
}

void ProgressBar::setPercentage(bool on) {
  properties_.percentage = on;
  emit propertyChanged(QStringLiteral("Percentage"));
  redraw();
}

void ProgressBar::readProperties(const PropertyBag& bag) {
  setValue(bag.Read<float>("Value", 0.0f));
  setBarStyle(bag.Read<std::int32_t>("Style", 0));
  setForeColor(bag.Read<std::int32_t>("ForeColor", 0));
  setPercentage(bag.Read<bool>("Percentage", true));
  redraw();
}

void ProgressBar::writeProperties(PropertyBag& bag) const { SaveBarProperties(properties_, bag); }

QImage ProgressBar::surfaceImage() const {
  return QImage(reinterpret_cast<const uchar*>(surface_.data()), surface_.width(),
                surface_.height(), surface_.width() * 4, QImage::Format_RGB32)
      .copy();
}

void ProgressBar::redraw() {
  // A hidden widget gets its resize event only when shown; the surface follows the size now.
  FitSurface();
  if (!DrawBar(surface_, properties_.style, properties_.value)) return;
  if (properties_.percentage && surface_.width() > 0 && surface_.height() > 0) {
    QImage image = Wrap(surface_);
    QPainter p(&image);
    p.setFont(font());
    Rgb colour = RgbOfColourRef(properties_.fore_colour);
    p.setPen(QColor::fromRgb(static_cast<QRgb>(colour)));
    const QString text = QString::fromStdString(BarText(properties_.value));
    const QFontMetrics metrics(font());
    const int left = (surface_.width() - metrics.horizontalAdvance(text)) / 2;
    const int top = (surface_.height() - metrics.height()) / 2;
    p.drawText(left, top + metrics.ascent(), text);
  }
  update();
}

void ProgressBar::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const QImage image(reinterpret_cast<const uchar*>(surface_.data()), surface_.width(),
                     surface_.height(), surface_.width() * 4, QImage::Format_RGB32);
  p.drawImage(event->rect(), image, event->rect());
}

void ProgressBar::resizeEvent(QResizeEvent* event) {
  const TwipsSize twips{event->size().width() * kTwipsPerPixel,
                        event->size().height() * kTwipsPerPixel};
  const TwipsSize wanted = EnforceMinimumBarSize(twips);
  if (!(wanted == twips)) {
    resize(wanted.width / kTwipsPerPixel, wanted.height / kTwipsPerPixel);
    return;
  }
  redraw();
}

void ProgressBar::FitSurface() {
  if (surface_.width() == width() && surface_.height() == height()) return;
  // The surface keeps what it showed where old and new sizes overlap.
  RgbImage resized(width(), height(), kSurfaceColour);
  StretchBlt(resized, {0, 0, surface_.width(), surface_.height()}, surface_,
             {0, 0, surface_.width(), surface_.height()});
  surface_ = std::move(resized);
}

}  // namespace kam::update
