#include "player/window/qt/form2.h"

namespace kam::window {

Form2::Form2(QWidget* owner)
    : QObject(owner),
      menu_(new QMenu(owner)),
      caidan_(new QMenu(owner)),
      my_menu_(new QMenu(owner)) {
  setObjectName(QStringLiteral("Form2"));
  menu_->setObjectName(QStringLiteral("menu"));
  caidan_->setObjectName(QStringLiteral("caidan"));
  my_menu_->setObjectName(QStringLiteral("MyMenu"));
}

}  // namespace kam::window
