#include "player/browse/browse.h"

#include "player/playlist/playing_entry.h"

namespace kam {

Browse::Browse(BrowseContext ctx, MenuActionsPort& actions)
    : ctx_(std::move(ctx)),
      dispatch_(ctx_),
      watch_(ctx_),
      menus_(ctx_.state, ctx_.listweb, actions),
      play_(ctx_),
      listweb_events_(*this),
      w3_events_(*this),
      qvod_events_(*this) {}

playlist::PlayOutcome Browse::ItemPlay(int index, std::string_view separator) {
  PlayerState& s = ctx_.state;
  const playlist::PlayOutcome outcome = playlist::ItemPlay(
      index, separator,
      playlist::PlayState{s.List3, s.huangchong, s.da, s.bufferSecondsLeft, s.dizhi}, ctx_.random,
      play_);
  if (outcome == playlist::PlayOutcome::kRefused) {
    ctx_.W3.NoteRefused(s.List3[static_cast<std::size_t>(index)], "list entry leaves the site");
  }
  if (outcome == playlist::PlayOutcome::kPlayed) last_item_played_ = index;
  return outcome;
}

std::optional<int> Browse::PlayingEntry(std::string_view separator) const {
  return playlist::PlayingEntry(ctx_.state.List3, separator, ctx_.W3.CurrentUrl(), ctx_.state.dizhi,
                                last_item_played_);
}

std::optional<playlist::PlayOutcome> Browse::PlayAdjacent(int step, std::string_view separator) {
  const std::optional<int> playing = PlayingEntry(separator);
  if (!playing) return std::nullopt;
  const long long target = static_cast<long long>(*playing) + step;
  if (target < 0 || target >= static_cast<long long>(ctx_.state.List3.size())) return std::nullopt;
  return ItemPlay(static_cast<int>(target), separator);
}

// A bare address comes from no known document: it carries none of the page's powers.
bool Browse::ListwebEvents::OnBeforeNavigate(const std::string& url) {
  return OnNavigationRequest(NavigationRequest{url});
}
bool Browse::ListwebEvents::OnNavigationRequest(const NavigationRequest& request) {
  return b_.dispatch_.ListwebBeforeNavigate(request);
}
bool Browse::ListwebEvents::OnNewWindow(const NewWindowRequest& request) {
  return b_.dispatch_.ListwebNewWindow(request);
}
void Browse::ListwebEvents::OnStatusText(const std::string& text) { b_.watch_.StatusText(text); }
void Browse::ListwebEvents::OnDownloadBegin() { b_.watch_.DownloadBegin(b_.ctx_.listweb); }
void Browse::ListwebEvents::OnTitleChange(const std::string& title) {
  b_.watch_.ListwebTitleChange(title);
}
bool Browse::ListwebEvents::OnContextMenu(int x, int y) {
  return b_.watch_.ListwebContextMenu(x, y);
}

bool Browse::W3Events::OnBeforeNavigate(const std::string& url) {
  return OnNavigationRequest(NavigationRequest{url});
}
bool Browse::W3Events::OnNavigationRequest(const NavigationRequest& request) {
  return b_.dispatch_.W3BeforeNavigate(request);
}
void Browse::W3Events::OnDownloadBegin() { b_.watch_.DownloadBegin(b_.ctx_.W3); }

bool Browse::QvodEvents::OnBeforeNavigate(const std::string& url) {
  return OnNavigationRequest(NavigationRequest{url});
}
bool Browse::QvodEvents::OnNavigationRequest(const NavigationRequest& request) {
  return b_.dispatch_.QvodBeforeNavigate(request);
}
bool Browse::QvodEvents::OnNewWindow(const NewWindowRequest& request) {
  return b_.dispatch_.QvodNewWindow(request);
}
void Browse::QvodEvents::OnStatusText(const std::string& text) { b_.watch_.StatusText(text); }
void Browse::QvodEvents::OnDownloadBegin() { b_.watch_.DownloadBegin(b_.ctx_.qvod); }

}  // namespace kam
