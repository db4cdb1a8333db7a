// ProgressBar: the skinned progress bar control. Its pixels come from the bar's logic (the
// copies of each look); this widget keeps the persistent surface, prints the centred text and
// shows it.
#pragma once

#include <QWidget>

#include "update/progress_bar_model.h"

namespace kam::update {

class ProgressBar : public QWidget {
  Q_OBJECT
  Q_PROPERTY(float Value READ value WRITE setValue)

 public:
  explicit ProgressBar(QWidget* parent = nullptr);

  float value() const { return properties_.value; }
  void setValue(float value);
  ColourRef foreColor() const { return properties_.fore_colour; }
  void setForeColor(ColourRef colour);
  // Which look: 0..3 (any other number draws nothing). Not QWidget::style().
  std::int32_t barStyle() const { return properties_.style; }
  void setBarStyle(std::int32_t style);
  bool percentage() const { return properties_.percentage; }
  void setPercentage(bool on);

  // The container's saved settings: read through the setters, then one more redraw.
  void readProperties(const PropertyBag& bag);
  void writeProperties(PropertyBag& bag) const;

  // What the surface shows now.
  QImage surfaceImage() const;

 signals:
  // A property was set ("Value", "ForeColor", "Style", "Percentage").
  void propertyChanged(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void redraw();
  void FitSurface();

  ProgressBarProperties properties_;
  RgbImage surface_;
};

}  // namespace kam::update
