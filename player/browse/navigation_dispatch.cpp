#include "player/browse/navigation_dispatch.h"

#include <utility>
#include <vector>

#include "common/ascii_text.h"
#include "common/site_address.h"
#include "player/browse/player_schemes.h"
#include "player/browse/shortcut_name.h"
#include "player/browse/site_schemes.h"
#include "player/playlist/list_bounds.h"
#include "player/startup/launch_args.h"

namespace kam {
namespace {

void RemoveAll(std::string& text, std::string_view what) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(what, from)) != std::string::npos; from = at + what.size()) {
    out.append(text, from, at - from);
  }
  out.append(text, from, std::string::npos);
  text = std::move(out);
}

// Field i of text split at sep, as the platform's Split gives it; empty past the last field.
std::string FieldOf(std::string_view text, std::string_view sep, std::size_t i) {
  std::size_t from = 0;
  for (std::size_t k = 0; k < i; ++k) {
    const std::size_t at = text.find(sep, from);
    if (at == std::string_view::npos) return {};
    from = at + sep.size();
  }
  const std::size_t end = text.find(sep, from);
  return std::string(text.substr(from, end == std::string_view::npos ? end : end - from));
}

// Whether url begins with the close scheme; blanks and control characters before it are dropped,
// as every URL parser drops them.
bool IsCloseAddress(std::string_view url) {
  while (!url.empty() && static_cast<unsigned char>(url.front()) <= 0x20) url.remove_prefix(1);
  return LowerAscii(url.substr(0, kCloseScheme.size())) == kCloseScheme;
}

}  // namespace

bool IsWebAddress(std::string_view url) {
  const std::string lower = LowerAscii(url.substr(0, 8));
  return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
}

bool NavigationDispatch::FromSite(const NavigationRequest& request) const {
  return request.by_program || OnSameSite(request.source_origin, ctx_.state.dizhi);
}

bool NavigationDispatch::KeepOnSite(PanePort& pane, UserActivation& input,
                                    const NavigationRequest& request) {
  if (!request.main_frame || request.by_program) return false;
  if (OnSameSite(request.url, ctx_.state.dizhi)) return false;
  // A window without an address bar must not show another site as if it were this one; what the
  // user clicked still opens, where the address can be seen.
  const std::optional<std::string> web = AnyWebAddress(request.url);
  if (web && input.Consume(UserActionUse::kLeaveSite, request.by_press)) {
    ctx_.shell.OpenUrl(*web);
  } else {
    pane.NoteRefused(request.url, web ? "page off the site without a press" : "not on the site");
  }
  return true;
}

bool NavigationDispatch::ListwebBeforeNavigate(const NavigationRequest& request) {
  const std::string& url = request.url;
  if (!ContainsIgnoringAsciiCase(url, kShortcutScheme) && !IsPlayerUrl(url)) {
    return KeepOnSite(ctx_.listweb, listweb_input_, request);
  }
  if (!FromSite(request)) {
    ctx_.listweb.NoteRefused(url, "shortcut or playback asked by a document off the site");
    return true;
  }
  return RunStages(url, request.by_press);
}

bool NavigationDispatch::QvodBeforeNavigate(const NavigationRequest& request) {
  return KeepOnSite(ctx_.qvod, qvod_input_, request);
}

bool NavigationDispatch::RunStages(std::string url, bool by_press) {
  bool cancel = false;
  if (ContainsIgnoringAsciiCase(url, kShortcutScheme)) {
    cancel = true;
    RemoveAll(url, kShortcutScheme);
    PlaceShortcut(url, by_press);
  }
  if (IsPlayerUrl(url)) {
    cancel = true;
    if (StartPlayback(url)) CollectEpisodes(url);
  }
  return cancel;
}

void NavigationDispatch::PlaceShortcut(const std::string& url, bool by_press) {
  // A page may ask for shortcuts as often as it likes; only the user's press makes one, and
  // without it the request leaves no trace the page could use to pester the user.
  if (!listweb_input_.Consume(UserActionUse::kShortcut, by_press)) {
    ctx_.listweb.NoteRefused(url, "shortcut no press asked for");
    return;
  }
  const std::string name = FieldOf(url, "@@@", 0);
  const std::optional<std::string> address = JoinOnSite(ctx_.state.dizhi, FieldOf(url, "@@@", 1));
  if (!address) {
    ctx_.listweb.NoteRefused(url, "shortcut address leaves the site");
    return;
  }
  DesktopShortcut shortcut;
  shortcut.file_name = SafeShortcutFileName(name);
  shortcut.program = ctx_.program_dir / "kamplayer";
  shortcut.arguments = EncodeShortcutArgument(name, *address);
  shortcut.description = name;
  shortcut.icon = ctx_.program_dir / "skin" / "icon.ico";
  // The tip shows even when the desktop could not be written, as it always has.
  ctx_.shortcuts.Save(shortcut);
  ctx_.area.ShowTip(name + kShortcutTipSuffix);
}

bool NavigationDispatch::StartPlayback(const std::string& url) {
  PlayerState& s = ctx_.state;
  const std::optional<std::string> site_address = AddressOnSite(ToSiteUrl(url, s.dizhi), s.dizhi);
  if (!site_address) {
    ctx_.W3.NoteRefused(url, "play address leaves the site");
    return false;
  }
  const std::string& play_address = *site_address;
  ctx_.area.SetIdlePictureVisible(false);
  if (s.huangchong == "1") {
    ctx_.qvod.Refresh();
    s.bufferSecondsLeft = playlist::BufferSecondsFor(s.da, ctx_.random.Next());
    ctx_.area.StartBufferTimer(kBufferTickMs);
    ctx_.area.SetBufferOverlayVisible(true);
    ctx_.W3.SetVisible(true);
    ctx_.W3.Navigate(play_address);
    ctx_.area.ShowPlayerTab();
    s.List3.clear();
  } else {
    ctx_.W3.SetVisible(true);
    ctx_.W3.Navigate(play_address);
    s.List3.clear();
    ctx_.area.ShowPlayerTab();
  }
  return true;
}

void NavigationDispatch::CollectEpisodes(const std::string& url) {
  const std::uint64_t click = ++playback_clicks_;
  const std::string scheme = PlayerSchemeOf(url);
  ctx_.listweb.ReadDocument(scheme, [this, click, scheme](std::optional<PageSnapshot> page) {
    if (!page || click != playback_clicks_) return;
    PlayerState& s = ctx_.state;
    bool added = false;
    for (const PageAnchor& a : page->anchors) {
      // The first links in page order; a link whose address is too long is left out whole.
      if (s.List3.size() >= playlist::kMaxEntries) break;
      if (a.href.size() > playlist::kMaxAddressBytes) continue;
      if (a.href.find(scheme) == std::string::npos) continue;
      const std::optional<std::string> address = AddressOnSite(ToSiteUrl(a.href, s.dizhi), s.dizhi);
      if (!address) continue;
      std::optional<std::string> entry = playlist::CollectedEntry(a.text, *address, page->title);
      if (!entry) continue;
      s.List3.push_back(std::move(*entry));
      added = true;
    }
    // The list page shows the whole list each time it is given one; giving it the finished list
    // once leaves the same page and file as giving it every step.
    if (added) ctx_.area.RenderPlayList(s.List3);
  });
}

bool NavigationDispatch::W3BeforeNavigate(const NavigationRequest& request) {
  const std::string& url = request.url;
  if (IsCloseAddress(url)) {
    if (!FromSite(request)) {
      ctx_.W3.NoteRefused(url, "close asked by a document off the site");
      return true;
    }
    // A closed player is not heard playing on behind the idle picture.
    ctx_.W3.PauseMedia();
    ctx_.W3.SetVisible(false);
    ctx_.area.SetIdlePictureVisible(true);
    ctx_.listweb.Refresh();
    return true;
  }
  // What the program opens here it has checked itself (and its own local pages are among it).
  if (request.by_program) return false;
  if (request.main_frame) {
    if (OnSameSite(url, ctx_.state.dizhi)) return false;
    ctx_.W3.NoteRefused(url, "player page may not leave the site");
    return true;
  }
  // A frame's document that has no address of its own.
  if (url == "about:blank" || url == "about:srcdoc") return false;
  if (AnyWebAddress(url)) return false;
  ctx_.W3.NoteRefused(url, "player frame may open web addresses only");
  return true;
}

bool NavigationDispatch::ListwebNewWindow(const NewWindowRequest& request) {
  if (!listweb_input_.Consume(UserActionUse::kPopup, request.by_press)) {
    ctx_.listweb.NoteRefused(ctx_.state.lastStatusText, "pop-up no press asked for");
    return true;
  }
  OpenExternal(ctx_.state.lastStatusText);
  return true;
}

bool NavigationDispatch::QvodNewWindow(const NewWindowRequest& request) {
  if (!qvod_input_.Consume(UserActionUse::kPopup, request.by_press)) {
    ctx_.qvod.NoteRefused(ctx_.state.lastStatusText, "pop-up no press asked for");
    return true;
  }
  OpenExternal(ctx_.state.lastStatusText);
  ctx_.area.SetBufferOverlayVisible(false);
  ctx_.area.StopBufferTimer();
  return true;
}

void NavigationDispatch::OpenExternal(std::string_view url) {
  if (IsWebAddress(url)) ctx_.shell.OpenUrl(std::string(url));
}

}  // namespace kam
