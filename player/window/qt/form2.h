// Form2: the hidden form that holds the pop-up menus (the tray menu `menu`, the settings menu
// `caidan`, the page menu `MyMenu`). The browsing part fills them; the main window pops them up.
#pragma once

#include <QMenu>
#include <QObject>

namespace kam::window {

class Form2 : public QObject {
  Q_OBJECT

 public:
  // owner: the main window, which owns the menus when they pop up.
  explicit Form2(QWidget* owner);

  QMenu* menu() const { return menu_; }
  QMenu* caidan() const { return caidan_; }
  QMenu* MyMenu() const { return my_menu_; }

 private:
  QMenu* menu_;
  QMenu* caidan_;
  QMenu* my_menu_;
};

}  // namespace kam::window
