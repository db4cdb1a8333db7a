// Fakes of the browsing ports for unit tests. Every call lands in one shared log, so tests can
// check the order of steps across panes and controls.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "player/browse/browse_context.h"
#include "player/browse/command_menu.h"
#include "tests/support/slashed.h"

namespace kam::testing {

using Log = std::vector<std::string>;

class FakePane : public PanePort {
 public:
  FakePane(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
  void Navigate(const std::string& url) override { Note("Navigate " + Slashed(url)); }
  void Refuse(const std::string& url, const std::string&) override { Note("Refuse " + url); }
  void NoteRefused(const std::string& url, const std::string&) override { Note("Refused " + url); }
  void Refresh() override { Note("Refresh"); }
  void GoBack() override { Note("GoBack"); }
  void GoForward() override { Note("GoForward"); }
  bool Busy() const override { return false; }
  void SetVisible(bool v) override {
    visible = v;
    Note(v ? "Show" : "Hide");
  }
  bool Visible() const override { return visible; }
  void PauseMedia() override { Note("PauseMedia"); }
  void SetSilent(bool s) override { silent = s; }
  bool Silent() const override { return silent; }
  std::string Title() const override { return {}; }
  std::string CurrentUrl() const override { return current_url; }
  void ReadDocument(const std::string& href_contains,
                    std::function<void(std::optional<PageSnapshot>)> done) override {
    pending_reads.push_back({href_contains, std::move(done)});
  }
  // Answers the oldest outstanding ReadDocument with the anchors of page that pass its filter.
  void Answer(std::optional<PageSnapshot> page) {
    auto read = std::move(pending_reads.front());
    pending_reads.erase(pending_reads.begin());
    if (page) {
      std::erase_if(page->anchors, [&](const PageAnchor& a) {
        return a.href.find(read.filter) == std::string::npos;
      });
    }
    read.done(std::move(page));
  }

  bool visible = false;
  bool silent = false;
  std::string current_url;
  struct Read {
    std::string filter;
    std::function<void(std::optional<PageSnapshot>)> done;
  };
  std::vector<Read> pending_reads;

 private:
  void Note(const std::string& what) { log_.push_back(name_ + "." + what); }
  std::string name_;
  Log& log_;
};

class FakeArea : public PlayerAreaPort {
 public:
  explicit FakeArea(Log& log) : log_(log) {}
  void SetIdlePictureVisible(bool v) override { log_.push_back(v ? "bjbox.Show" : "bjbox.Hide"); }
  void SetBufferOverlayVisible(bool v) override { log_.push_back(v ? "vip.Show" : "vip.Hide"); }
  void StartBufferTimer(int ms) override { log_.push_back("Timer8.Start " + std::to_string(ms)); }
  void StopBufferTimer() override { log_.push_back("Timer8.Stop"); }
  void SetBufferCaption(const std::string& t) override { captions.push_back(t); }
  void ShowPlayerTab() override { log_.push_back("L1_Click 1"); }
  void SetPageTitle(const std::string& t) override { log_.push_back("L3 " + t); }
  void StopErrorWatch() override { log_.push_back("t3.Stop"); }
  void RenderPlayList(const std::vector<std::string>& list) override {
    rendered.push_back(list);
    log_.push_back("WebList1.AddItem");
  }
  void ShowTip(const std::string& t) override { log_.push_back("Tip " + t); }
  void PopupPageMenu(int x, int y) override {
    log_.push_back("MyMenu " + std::to_string(x) + "," + std::to_string(y));
  }
  void SetDefaultPointer() override { log_.push_back("DefaultPointer"); }

  std::vector<std::string> captions;
  std::vector<std::vector<std::string>> rendered;

 private:
  Log& log_;
};

class FakeShell : public ShellPort {
 public:
  void OpenUrl(const std::string& url) override { opened.push_back(url); }
  std::vector<std::string> opened;
};

class FakeShortcuts : public DesktopShortcutPort {
 public:
  bool Save(const DesktopShortcut& s) override {
    saved.push_back(s);
    return succeed;
  }
  std::vector<DesktopShortcut> saved;
  bool succeed = true;
};

class FakeClock : public ClockPort {
 public:
  std::int64_t NowMs() override { return now; }
  std::int64_t now = 1'000'000;
};

class FixedRandom : public playlist::RandomFraction {
 public:
  double Next() override { return value; }
  double value = 0.5;
};

class FakeActions : public MenuActionsPort {
 public:
  explicit FakeActions(Log& log) : log_(log) {}
  bool MainWindowVisible() const override { return visible; }
  void SetMainWindowVisible(bool v) override {
    visible = v;
    log_.push_back(v ? "Form1.Show" : "Form1.Hide");
  }
  void CheckForUpgrade() override { log_.push_back("shengji"); }
  void ExitPlayer() override { log_.push_back("ExitPlayer"); }
  void UnloadMainWindow() override { log_.push_back("Unload"); }
  bool AutoNextOn() const override { return auto_next; }
  void SetAutoNext(bool on) override {
    auto_next = on;
    log_.push_back(on ? "AutoNext on" : "AutoNext off");
  }
  bool visible = true;
  bool auto_next = true;

 private:
  Log& log_;
};

// A complete set of fakes and the context over them.
struct BrowseRig {
  Log log;
  PlayerState state;
  FakePane listweb{"listweb", log};
  FakePane W3{"W3", log};
  FakePane qvod{"qvod", log};
  FakeArea area{log};
  FakeShell shell;
  FakeShortcuts shortcuts;
  FixedRandom random;
  FakeClock clock;
  FakeActions actions{log};
  BrowseContext ctx{state, listweb, W3, qvod, area, shell, shortcuts, random, clock, "/opt/kam"};
};

}  // namespace kam::testing
