// What the main window's logic needs from the window toolkit: one call per toolkit operation.
#pragma once

#include <string>
#include <vector>

#include "player/window/controls.h"

namespace kam::window {

class Form1Port {
 public:
  virtual ~Form1Port() = default;

  // Client size of a container in its own unit (twips for vip and vip3, pixels elsewhere).
  virtual Size ClientSize(Ctl container) const = 0;
  virtual WindowState State() const = 0;

  // Position and size in the container's unit.
  virtual void SetBounds(Ctl ctl, const Rect& r) = 0;
  virtual void SetLine(LineId line, const Line& l) = 0;
  // The control's own visibility flag (not whether its container shows).
  virtual void SetVisible(Ctl ctl, bool visible) = 0;
  virtual bool IsVisible(Ctl ctl) const = 0;
  virtual void BringToFront(Ctl ctl) = 0;
  virtual void SetBackColor(Ctl ctl, Color c) = 0;
  // Copies the rectangle src of a picture to dst in the control (a plain copy). The copy stays
  // on the control until something is drawn over it.
  virtual void PaintPicture(Ctl target, Pic picture, const Rect& src, Point dst) = 0;
  // The picture an image control shows (caption buttons).
  virtual void SetImage(Ctl image, Pic picture) = 0;
  virtual void SetDefaultPointer(Ctl ctl) = 0;

  // listweb's Refresh.
  virtual void RefreshCatalogue() = 0;
  // WebList1.AddItem: renders and stores the play list.
  virtual void ShowHistory(const std::vector<std::string>& list) = 0;
};

}  // namespace kam::window
