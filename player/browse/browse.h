// The browsing subsystem of the main window in one piece: the navigation dispatch, the pane
// watch, the command menus and the play handler of the list control, with one PaneEvents handler
// per pane. The main window creates one Browse, gives each pane its handler and forwards its
// timers, menus and the list control's play event.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "player/browse/browse_context.h"
#include "player/browse/command_menu.h"
#include "player/browse/navigation_dispatch.h"
#include "player/browse/pane_port.h"
#include "player/browse/pane_watch.h"
#include "player/playlist/entry.h"
#include "player/playlist/item_play.h"

namespace kam {

class Browse {
 public:
  Browse(BrowseContext ctx, MenuActionsPort& actions);
  Browse(const Browse&) = delete;
  Browse& operator=(const Browse&) = delete;

  // The handlers to hand to the panes.
  PaneEvents& listweb_events() { return listweb_events_; }
  PaneEvents& W3_events() { return w3_events_; }
  PaneEvents& qvod_events() { return qvod_events_; }

  // Timers of the main window.
  void t3_Timer() { watch_.t3_Timer(); }
  void Timer8_Timer() { watch_.Timer8_Timer(); }

  // The list control's play event for entry index.
  playlist::PlayOutcome ItemPlay(int index, std::string_view separator);

  // The play list entry W3 shows now (playing_entry.h), its entries split at the list's
  // separator; nothing when W3 shows no entry's address.
  std::optional<int> PlayingEntry(std::string_view separator = playlist::kDefaultSeparator) const;
  // Plays the entry step places from the one playing (1 the next, -1 the one before) exactly as
  // a click on it in the list page does; entries that hold the playing address again (a page's
  // "play" button beside its first episode) are passed over. Nothing happens, and nothing is
  // returned, when no entry plays or the list has none there.
  std::optional<playlist::PlayOutcome> PlayAdjacent(
      int step, std::string_view separator = playlist::kDefaultSeparator);

  NavigationDispatch& dispatch() { return dispatch_; }
  PaneWatch& watch() { return watch_; }
  CommandMenus& menus() { return menus_; }
  const BrowseContext& context() const { return ctx_; }

 private:
  class ListwebEvents : public NullPaneEvents {
   public:
    explicit ListwebEvents(Browse& b) : b_(b) {}
    bool OnBeforeNavigate(const std::string& url) override;
    bool OnNavigationRequest(const NavigationRequest& request) override;
    bool OnNewWindow(const NewWindowRequest& request) override;
    void OnUserInput() override { b_.dispatch_.ListwebUserInput(); }
    void OnStatusText(const std::string& text) override;
    void OnDownloadBegin() override;
    void OnTitleChange(const std::string& title) override;
    bool OnContextMenu(int x, int y) override;

   private:
    Browse& b_;
  };
  class W3Events : public NullPaneEvents {
   public:
    explicit W3Events(Browse& b) : b_(b) {}
    bool OnBeforeNavigate(const std::string& url) override;
    bool OnNavigationRequest(const NavigationRequest& request) override;
    void OnDownloadBegin() override;
    // Only the catalogue's title is shown (L3).
    bool HearsTitle() const override { return false; }

   private:
    Browse& b_;
  };
  class QvodEvents : public NullPaneEvents {
   public:
    explicit QvodEvents(Browse& b) : b_(b) {}
    bool OnBeforeNavigate(const std::string& url) override;
    bool OnNavigationRequest(const NavigationRequest& request) override;
    bool OnNewWindow(const NewWindowRequest& request) override;
    void OnUserInput() override { b_.dispatch_.QvodUserInput(); }
    void OnStatusText(const std::string& text) override;
    void OnDownloadBegin() override;
    bool HearsTitle() const override { return false; }

   private:
    Browse& b_;
  };
  // The list control's play handler drives the same controls as a playback click.
  class PlayBridge : public playlist::PlayPorts {
   public:
    explicit PlayBridge(BrowseContext& ctx) : ctx_(ctx) {}
    void RenderList() override { ctx_.area.RenderPlayList(ctx_.state.List3); }
    void HideIdlePicture() override { ctx_.area.SetIdlePictureVisible(false); }
    void ShowBufferOverlay() override { ctx_.area.SetBufferOverlayVisible(true); }
    void StartBufferTimer(int interval_ms) override { ctx_.area.StartBufferTimer(interval_ms); }
    void NavigatePlayer(const std::string& url) override { ctx_.W3.Navigate(url); }
    void ShowPlayer() override { ctx_.W3.SetVisible(true); }
    void SetDefaultPointer() override { ctx_.area.SetDefaultPointer(); }

   private:
    BrowseContext& ctx_;
  };

  BrowseContext ctx_;
  NavigationDispatch dispatch_;
  PaneWatch watch_;
  CommandMenus menus_;
  PlayBridge play_;
  ListwebEvents listweb_events_;
  W3Events w3_events_;
  QvodEvents qvod_events_;
  std::optional<int> last_item_played_;  // tells duplicates of the playing address apart
};

}  // namespace kam
