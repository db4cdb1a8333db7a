#include "player/window/qt/tray.h"

#include <QCursor>
#include <QTimer>

#include "common/qt/plain_text.h"
#include "player/window/qt/artwork.h"
#include "player/window/qt/form1_window.h"
#include "player/window/qt/form2.h"

namespace kam::window {
namespace {

QSystemTrayIcon::MessageIcon BalloonIcon(int info_flags) {
  switch (info_flags) {
    case 1:
      return QSystemTrayIcon::Information;
    case 2:
      return QSystemTrayIcon::Warning;
    case 3:
      return QSystemTrayIcon::Critical;
    default:
      return QSystemTrayIcon::NoIcon;
  }
}

}  // namespace

QtTray::QtTray(Form1Window& window, Form2& form2)
    : QObject(&window), window_(window), form2_(form2), icon_(this), logic_(*this) {
  icon_.setObjectName(QStringLiteral("tray"));
  connect(&icon_, &QSystemTrayIcon::activated, this, &QtTray::Activated);
  connect(&icon_, &QSystemTrayIcon::messageClicked, this, [this] {
    if (window_reactions_) OnTrayClick(TrayClick::kBalloonClick, *this);
    emit balloonClicked();
  });
}

void QtTray::SetIconAndTip(const TrayRecord& record) {
  // The tray needs an icon: the window's, or the program's own when the window has none.
  QIcon icon = window_.windowIcon();
  if (icon.isNull() || icon.availableSizes().isEmpty()) icon = artwork::AppIcon();
  icon_.setIcon(icon);
  icon_.setToolTip(PlainToolTip(QString::fromStdString(record.tip)));
}

void QtTray::ShowBalloon(const TrayRecord& record) {
  if (record.info_title.empty() && record.info.empty()) return;
  pending_balloon_ = record;
  balloon_waits_ = 0;
  ShowPendingBalloon();
}

void QtTray::ShowPendingBalloon() {
  if (!pending_balloon_) return;
  // A balloon points at its icon: a newly added icon has no place in the tray until the tray
  // has embedded it, so the balloon waits for that (a short, bounded wait).
  const QRect at = icon_.geometry();
  if ((at.isEmpty() || at.topLeft() == QPoint(0, 0)) && balloon_waits_ < kBalloonWaits) {
    ++balloon_waits_;
    QTimer::singleShot(kBalloonWaitMs, this, &QtTray::ShowPendingBalloon);
    return;
  }
  const TrayRecord r = *pending_balloon_;
  pending_balloon_.reset();
  // The balloon's texts are the program's own, and Qt's balloon shows them as plain text.
  icon_.showMessage(QString::fromStdString(r.info_title), QString::fromStdString(r.info),
                    BalloonIcon(r.info_flags), r.timeout_ms);
}

void QtTray::Add(const TrayRecord& record) {
  SetIconAndTip(record);
  icon_.show();
  ShowBalloon(record);
}

void QtTray::Modify(const TrayRecord& record) {
  SetIconAndTip(record);
  ShowBalloon(record);
}

void QtTray::Delete() { icon_.hide(); }

void QtTray::Activated(QSystemTrayIcon::ActivationReason reason) {
  if (!window_reactions_) return;
  switch (reason) {
    case QSystemTrayIcon::Trigger:
    // A double click is the second click of a pair: it toggles once more.
    case QSystemTrayIcon::DoubleClick:
      OnTrayClick(TrayClick::kLeftUp, *this);
      break;
    case QSystemTrayIcon::Context:
      OnTrayClick(TrayClick::kRightUp, *this);
      break;
    default:
      OnTrayClick(TrayClick::kOther, *this);
      break;
  }
}

bool QtTray::MainVisible() const { return window_.ShownToUser(); }

void QtTray::SetMainVisible(bool visible) { window_.SetShownToUser(visible); }

void QtTray::BringMainToFront() {
  if (!window_.isVisible()) return;
  window_.raise();
  window_.activateWindow();
}

void QtTray::PopupTrayMenu() { form2_.menu()->popup(QCursor::pos()); }

}  // namespace kam::window
