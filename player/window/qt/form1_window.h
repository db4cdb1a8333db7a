// Form1, the player's borderless main window, on Qt Widgets: every control of the window
// definition in its container and stacking order, the three browser panes and the play history
// list. It implements the window logic's port; the logic (player/window/form1.h) decides.
//
// The controls are created, stacked and wired in form1_controls.cpp; this class's other half
// (form1_window.cpp) is the window's own behaviour and the port.
//
// Seams: the browsing part wires its pane events, timers and menus in WireBrowse
// (form1_browse.cpp); the chrome part wires caption buttons, hover, drags and maximise bounds in
// WireChrome (form1_chrome.cpp). Both run once, when setParts hands the window its parts.
#pragma once

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <map>

#include "player/browse/qt/web_pane.h"
#include "player/playlist/qt/web_list.h"
#include "player/startup/player_state.h"
#include "player/window/controls.h"
#include "player/window/form1.h"
#include "player/window/form1_port.h"
#include "player/window/qt/picture_box.h"

class QWebEngineProfile;

namespace kam {
class Browse;
class Startup;
}  // namespace kam

namespace kam::window {

class Form2;
class FrmAppTip;
class QtTray;

class Form1Window : public QWidget, private Form1Port {
  Q_OBJECT

 public:
  // program_dir: where the play list control keeps its page and store; empty means the folder of
  // the running program. site_profile: the browser profile of listweb, W3 and qvod, which must
  // outlive the window; nullptr takes the engine's default (in memory).
  explicit Form1Window(PlayerState& state, std::filesystem::path program_dir = {},
                       QWidget* parent = nullptr, QWebEngineProfile* site_profile = nullptr);
  ~Form1Window() override;

  // The window logic and the port it drives (chrome's logic drives the same port).
  Form1& logic() { return logic_; }
  Form1Port& port() { return *this; }
  PlayerState& state() { return state_; }

  // Controls by name; box() for the picture-box kind (all but panes, labels and Text1).
  QWidget* control(Ctl ctl) const { return controls_[static_cast<int>(ctl)]; }
  PictureBox* box(Ctl ctl) const;
  WebPane* listweb() const { return listweb_; }
  WebPane* W3() const { return W3_; }
  WebPane* qvod() const { return qvod_; }
  // The browser pane of that name; nullptr for any other control.
  WebPane* pane(Ctl ctl) const;
  QLabel* tipLabel() const { return tip_; }  // vip3's countdown number
  QLabel* L3() const { return L3_; }         // hidden page-title holder
  QLabel* verLabel() const { return ver_; }  // version label in the bottom bar
  playlist::WebList* WebList1() const { return web_list_; }
  const QPixmap& picture(Pic pic);

  // The timers start-up switches.
  QTimer* nolink() { return &nolink_; }
  QTimer* webtime() { return &webtime_; }

  // Parts the browsing and chrome wiring reach: the menu holder, the tip window, the tray, and
  // the start-up logic (exit routine, manual update check). Set by the program before it starts.
  Form2* form2() const { return form2_; }
  FrmAppTip* appTip() const { return app_tip_; }
  QtTray* tray() const { return tray_; }
  Startup* startup() const { return startup_; }
  void setParts(Form2* form2, FrmAppTip* tip, QtTray* tray, Startup* startup);

  // The window state as the logic names it.
  WindowState windowStateNow() const;
  // The close commands: hide to the tray, or minimise where there is no tray.
  void HideOrMinimise();
  // The show-or-hide commands (tray click, tray menu): whether the window counts as shown, and
  // showing or hiding it; hiding minimises where there is no tray (tray_icon.h).
  bool ShownToUser() const;
  void SetShownToUser(bool shown);
  // Shown, out of the tray or the taskbar, in front and active: a second start asks for it.
  void ShowAndRaise();
  // The taskbar hook: a minimise box and system menu for the taskbar button; the system's Close
  // then hides the window (or minimises it) instead of closing it.
  void TaskbarHook();
  bool taskbarHooked() const { return hooked_; }
  // Closes the main window for good and ends the program normally.
  void Unload();
  // Centred on the screen, then 8 pixels (120 twips) below its top.
  void CentreThenTop120Twips();

  // The window icon from an icon file; the program's built-in icon when the file holds none.
  void SetIconFromFile(const std::filesystem::path& file);

  // The load handler's maximise bounds (the work area); the chrome part supplies them.
  void setMaxBoundsHandler(std::function<void()> handler) {
    max_bounds_handler_ = std::move(handler);
  }
  void SetMaxBoundsToWorkArea() {
    if (max_bounds_handler_) max_bounds_handler_();
  }

 signals:
  void windowStateChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Form1Port.
  Size ClientSize(Ctl container) const override;
  WindowState State() const override { return windowStateNow(); }
  void SetBounds(Ctl ctl, const Rect& r) override;
  void SetLine(LineId line, const Line& l) override;
  void SetVisible(Ctl ctl, bool visible) override;
  bool IsVisible(Ctl ctl) const override;
  void BringToFront(Ctl ctl) override;
  void SetBackColor(Ctl ctl, Color c) override;
  void PaintPicture(Ctl target, Pic picture, const Rect& src, Point dst) override;
  void SetImage(Ctl image, Pic picture) override;
  void SetDefaultPointer(Ctl ctl) override;
  void RefreshCatalogue() override;
  void ShowHistory(const std::vector<std::string>& list) override;

  // form1_controls.cpp.
  void BuildControls(QWebEngineProfile* site_profile);
  PictureBox* AddBox(Ctl ctl, QWidget* parent, const char* name);
  void StackInTableOrder();
  void WarmBufferOverlay();
  QColor ToQColor(Color c) const;

  PlayerState& state_;
  std::filesystem::path program_dir_;
  Form1 logic_;
  std::array<QWidget*, static_cast<int>(Ctl::kCount)> controls_{};
  std::map<Pic, QPixmap> pictures_;
  std::map<LineId, QLineF> window_lines_;
  WebPane* listweb_ = nullptr;
  WebPane* W3_ = nullptr;
  WebPane* qvod_ = nullptr;
  QLabel* Label5_ = nullptr;
  QLabel* tip_ = nullptr;
  QLabel* L3_ = nullptr;
  QLabel* ver_ = nullptr;
  QLabel* Label2_ = nullptr;
  QLineEdit* Text1_ = nullptr;
  playlist::WebList* web_list_ = nullptr;
  QTimer nolink_;
  QTimer webtime_;
  Form2* form2_ = nullptr;
  FrmAppTip* app_tip_ = nullptr;
  QtTray* tray_ = nullptr;
  Startup* startup_ = nullptr;
  bool hooked_ = false;
  bool unloading_ = false;
  std::function<void()> max_bounds_handler_;
};

// Defined by the browsing part (form1_browse.cpp), the chrome part (form1_chrome.cpp), the
// pages' picture-in-picture (form1_picture_in_picture.cpp) and full screen
// (form1_full_screen.cpp).
void WireBrowse(Form1Window& window);
// The browsing logic WireBrowse made for the window; nullptr before.
Browse* BrowseOf(Form1Window& window);
void WireChrome(Form1Window& window);
void WirePictureInPicture(Form1Window& window);
void WireFullScreen(Form1Window& window);

}  // namespace kam::window
