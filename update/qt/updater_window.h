// Form1: the updater's only window. A fixed 548 x 350 borderless dialog that paints its skin,
// its own close and minimise buttons and a frame, and forwards every event to the updater's
// flow and chrome logic.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <optional>

#include "update/file_download.h"
#include "update/updater_chrome.h"
#include "update/updater_flow.h"
#include "update/updater_ports.h"

namespace kam::update {

class HitArea;
class PictureButton;
class PlainLabel;
class ProgressBar;

class UpdaterWindow : public QWidget, public UpdaterView, public ChromeView {
  Q_OBJECT

 public:
  UpdaterWindow();
  ~UpdaterWindow() override;

  // The flow whose handlers the window's events call.
  void Attach(Updater* updater) { updater_ = updater; }
  // Shows the window centred on its screen.
  void ShowCentred();

  // UpdaterView
  void SetText(Control control, const std::string& text) override;
  void SetVisible(Control control, bool visible) override;
  void SetBarValue(float value) override;
  char DecimalPoint() override;
  void InstallHook() override;
  void SetIcon(const std::filesystem::path& icon_file) override;
  void CloseWindow() override;
  void EndProgram(int status) override;

  // ChromeView
  void RepaintButtons() override;
  void ShowImage3Picture(bool hover) override;
  void ShowImage6Picture(bool hover) override;
  void SetPointer(int setting) override;
  void StartSystemMove() override;
  void Minimise() override;

  // For tests: the widget of a control, the chrome's state.
  QWidget* ControlWidget(Control control) const;
  ProgressBar* Bar() const { return bar_; }
  const UpdaterChrome& chrome() const { return chrome_; }
  bool hook_installed() const { return hook_installed_; }
  QWidget* CloseHit() const;
  QWidget* MinimiseHit() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  PlainLabel* Label(Control control) const;
  void PlaceSentence();

  Updater* updater_ = nullptr;
  UpdaterChrome chrome_;
  ChromeLayout layout_;
  bool hook_installed_ = false;
  bool ending_ = false;
  // Dragging by hand when the window system offers no move of its own.
  std::optional<QPoint> drag_offset_;

  QPixmap skin_, close_strip_, minimise_strip_;
  QPixmap image4_, image5_, image7_, image8_;
  PlainLabel* label1_;
  PlainLabel* label2_;
  PlainLabel* label3_;
  PlainLabel* label4_;
  PlainLabel* label5_;
  PictureButton* image3_;
  PictureButton* image6_;
  ProgressBar* bar_;
  HitArea* close_hit_;     // L(0)
  HitArea* minimise_hit_;  // L(1)
};

// Lets Qt handle everything pending, as a download's notifications require.
class QtMessagePump : public MessagePump {
 public:
  void ProcessPendingMessages() override;
};

}  // namespace kam::update
