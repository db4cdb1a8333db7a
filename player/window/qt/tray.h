// The tray icon on QSystemTrayIcon: TrayShowIcon, TrayShowBalloon and TrayRemoveIcon over the
// tray logic, and the icon's clicks turned into the main window's reactions.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <optional>
#include <string>

#include "player/window/tray_icon.h"

namespace kam::window {

class Form1Window;
class Form2;

class QtTray : public QObject, private TrayPort, private TrayWindowPort {
  Q_OBJECT

 public:
  QtTray(Form1Window& window, Form2& form2);

  void TrayShowIcon(const std::string& tip) { logic_.TrayShowIcon(tip); }
  void TrayShowBalloon(const std::string& title, const std::string& text, int info_flags,
                       int timeout_ms) {
    logic_.TrayShowBalloon(title, text, info_flags, timeout_ms);
  }
  void TrayRemoveIcon() { logic_.TrayRemoveIcon(); }
  bool exists() const { return logic_.exists(); }
  static bool available() { return QSystemTrayIcon::isSystemTrayAvailable(); }
  QSystemTrayIcon& icon() { return icon_; }
  // While the program only waits for its balloon to be read, clicks show no window and no menu.
  void SetWindowReactions(bool on) { window_reactions_ = on; }

 signals:
  // The user clicked the balloon.
  void balloonClicked();

 private:
  // TrayPort.
  void Add(const TrayRecord& record) override;
  void Modify(const TrayRecord& record) override;
  void Delete() override;
  // TrayWindowPort.
  bool MainVisible() const override;
  void SetMainVisible(bool visible) override;
  void BringMainToFront() override;
  void PopupTrayMenu() override;

  void SetIconAndTip(const TrayRecord& record);
  void ShowBalloon(const TrayRecord& record);
  void ShowPendingBalloon();
  void Activated(QSystemTrayIcon::ActivationReason reason);

  Form1Window& window_;
  Form2& form2_;
  QSystemTrayIcon icon_;
  TrayIcon logic_;
  std::optional<TrayRecord> pending_balloon_;
  int balloon_waits_ = 0;
  bool window_reactions_ = true;
  static constexpr int kBalloonWaits = 40;
  static constexpr int kBalloonWaitMs = 50;
};

}  // namespace kam::window
