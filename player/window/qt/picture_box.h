// A flat, borderless container that paints like the window's picture boxes: a background colour,
// an optional picture drawn unscaled from its top-left corner, lines, and the copies of picture
// rectangles that were drawn on it (each stays until another copy lands on the same place).
#pragma once

#include <QColor>
#include <QLineF>
#include <QPixmap>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

namespace kam::window {

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // An invalid colour leaves the box transparent (labels, hit areas, images).
  void setBackColor(const QColor& color);
  const QColor& backColor() const { return back_; }
  void setPicture(const QPixmap& picture);
  const QPixmap& picture() const { return picture_; }
  void setLine(int id, const QLineF& line, const QColor& color);
  // Copies the rectangle source (in the picture's logical pixels) to at. A later copy with the
  // same destination rectangle replaces the earlier one and is drawn last.
  void paintPicture(const QPixmap& picture, const QRectF& source, const QPointF& at);

  // Runs after every size change, before the box repaints.
  void setResizeHandler(std::function<void()> handler) { on_resize_ = std::move(handler); }

 signals:
  // The left button went down and came up again over the box.
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Copy {
    QPixmap picture;
    QRectF source;
    QRectF target;
  };
  struct DrawnLine {
    QLineF line;
    QColor color;
  };

  QColor back_;
  QPixmap picture_;
  std::map<int, DrawnLine> lines_;
  std::vector<Copy> copies_;
  std::function<void()> on_resize_;
  bool pressed_ = false;
};

}  // namespace kam::window
