// The browsing part of the main window: the panes' events into the browsing logic, its timers t3
// and Timer8, the three menus of Form2 and the play list's play event. Every decision lives in
// player/browse; this file only connects Qt to it.
#include <QCursor>
#include <QDesktopServices>
#include <QMenu>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "common/path_text.h"
#include "common/program_dir.h"
#include "player/browse/browse.h"
#include "player/browse/desktop_shortcut.h"
#include "player/browse/qt/click_timing.h"
#include "player/browse/qt/site_profile.h"
#include "player/playlist/qt/web_list.h"
#include "player/startup/start_routine.h"
#include "player/window/qt/app_tip.h"
#include "player/window/qt/form1_series.h"
#include "player/window/qt/form1_window.h"
#include "player/window/qt/form2.h"

namespace kam::window {
namespace {

class BrowseWiring : public QObject,
                     private PlayerAreaPort,
                     private ShellPort,
                     private MenuActionsPort {
 public:
  explicit BrowseWiring(Form1Window& w)
      : QObject(&w),
        w_(w),
        shortcuts_(MakeDesktopShortcutWriter()),
        browse_(BrowseContext{w.state(), *w.listweb(), *w.W3(), *w.qvod(), *this, *this,
                              *shortcuts_, random_, clock_, ExecutableDir()},
                *this) {
    setObjectName(QStringLiteral("BrowseWiring"));
    w.listweb()->SetEvents(&browse_.listweb_events());
    w.W3()->SetEvents(&browse_.W3_events());
    w.qvod()->SetEvents(&browse_.qvod_events());

    t3_.setObjectName(QStringLiteral("t3"));
    t3_.setInterval(kErrorWatchMs);
    connect(&t3_, &QTimer::timeout, this, [this] { browse_.t3_Timer(); });
    t3_.start();
    Timer8_.setObjectName(QStringLiteral("Timer8"));
    Timer8_.setInterval(1000);
    connect(&Timer8_, &QTimer::timeout, this, [this] { browse_.Timer8_Timer(); });
    // Before the menus: the tray menu shows its choice.
    series_ = std::make_unique<SeriesView>(w, browse_, Utf8Path(SiteProfileFolder().toStdString()));

    if (Form2* form2 = w.form2()) {
      Fill(form2->menu(), MenuId::kMenu);
      Fill(form2->MyMenu(), MenuId::kMyMenu);
      Fill(form2->caidan(), MenuId::kCaidan);
    }
    if (playlist::WebList* list = w.WebList1()) {
      connect(list, &playlist::WebList::ItemPlay, this, [this](int index, const QString& sep) {
        browse_.ItemPlay(index, sep.toStdString());
      });
    }
  }

  Browse& browse() { return browse_; }

 private:
  // Builds a Form2 menu from its item table. Hidden items are there but never shown.
  void Fill(QMenu* menu, MenuId id) {
    if (!menu) return;
    menu->setTitle(QString::fromUtf8(MenuCaption(id).data(), MenuCaption(id).size()));
    for (const MenuItem& item : MenuItems(id)) {
      const QString name = QString::fromUtf8(item.name.data(), item.name.size());
      QAction* action;
      if (item.caption == kSeparatorCaption) {
        action = menu->addSeparator();
      } else {
        action = menu->addAction(QString::fromUtf8(item.caption.data(), item.caption.size()));
      }
      action->setObjectName(name);
      action->setVisible(item.visible);
      if (CommandMenus::Checkable(item.command)) {
        action->setCheckable(true);
        action->setChecked(browse_.menus().Checked(item.name));
      }
      if (item.command == MenuCommand::kNone) continue;
      const std::string key(item.name);
      connect(action, &QAction::triggered, this, [this, action, key] {
        browse_.menus().Click(key);
        if (action->isCheckable()) action->setChecked(browse_.menus().Checked(key));
      });
    }
  }

  // PlayerAreaPort.
  void SetIdlePictureVisible(bool v) override {
    w_.port().SetVisible(Ctl::bjbox, v);
    ClickStep("bjbox shown or hidden");
  }
  void SetBufferOverlayVisible(bool v) override {
    w_.port().SetVisible(Ctl::vip, v);
    ClickStep("vip shown or hidden");
  }
  void StartBufferTimer(int interval_ms) override {
    Timer8_.setInterval(interval_ms);
    Timer8_.start();
    ClickStep("Timer8 started");
  }
  void StopBufferTimer() override { Timer8_.stop(); }
  void SetBufferCaption(const std::string& text) override {
    w_.tipLabel()->setText(QString::fromStdString(text));
  }
  void ShowPlayerTab() override {
    w_.logic().L1_Click(1);
    ClickStep("player tab shown");
  }
  void SetPageTitle(const std::string& text) override {
    w_.L3()->setText(QString::fromStdString(text));
  }
  void StopErrorWatch() override { t3_.stop(); }
  void RenderPlayList(const std::vector<std::string>& list) override {
    w_.port().ShowHistory(list);
    ClickStep("list given to WebList1");
  }
  void ShowTip(const std::string& text) override {
    if (FrmAppTip* tip = w_.appTip()) tip->ShowTip(text);
  }
  void PopupPageMenu(int x, int y) override {
    if (Form2* form2 = w_.form2()) form2->MyMenu()->popup(QPoint(x, y));
  }
  void SetDefaultPointer() override { w_.port().SetDefaultPointer(Ctl::Form1); }

  // ShellPort.
  void OpenUrl(const std::string& url) override {
    const QUrl target(QString::fromStdString(url), QUrl::StrictMode);
    if (target.isValid()) QDesktopServices::openUrl(target);
  }

  // MenuActionsPort.
  bool MainWindowVisible() const override { return w_.ShownToUser(); }
  void SetMainWindowVisible(bool visible) override { w_.SetShownToUser(visible); }
  void CheckForUpgrade() override {
    if (Startup* s = w_.startup()) s->shengji();
  }
  void ExitPlayer() override {
    if (Startup* s = w_.startup()) s->ExitPlayer();
  }
  void UnloadMainWindow() override { w_.Unload(); }
  bool AutoNextOn() const override { return series_ && series_->autoNext(); }
  void SetAutoNext(bool on) override {
    if (series_) series_->setAutoNext(on);
  }

  Form1Window& w_;
  std::unique_ptr<DesktopShortcutPort> shortcuts_;
  playlist::ClockSeededRandom random_;
  SteadyClock clock_;
  QTimer t3_;
  QTimer Timer8_;
  Browse browse_;
  std::unique_ptr<SeriesView> series_;  // goes before browse_, which it uses
};

}  // namespace

void WireBrowse(Form1Window& window) {
  if (window.findChild<QObject*>(QStringLiteral("BrowseWiring"), Qt::FindDirectChildrenOnly)) {
    return;
  }
  new BrowseWiring(window);
}

Browse* BrowseOf(Form1Window& window) {
  auto* wiring = static_cast<BrowseWiring*>(
      window.findChild<QObject*>(QStringLiteral("BrowseWiring"), Qt::FindDirectChildrenOnly));
  return wiring != nullptr ? &wiring->browse() : nullptr;
}

}  // namespace kam::window
