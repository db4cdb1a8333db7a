// One browser pane as the browsing logic sees it: what logic may ask of it (PanePort) and what it
// reports (PaneEvents). The WebEngine adapter in player/browse/qt/web_pane.h implements the port
// and calls the events; unit tests use fakes of both.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kam {

// An anchor of a document, in document order. href follows the same rule as the URL text of a
// navigation (see page_url_text.h): the address as the page's own script states it, except that an
// address written in one of the site's own schemes keeps its raw text.
struct PageAnchor {
  std::string href;
  std::string text;  // innerText
};

// What a pane's current document holds, read right after a refused navigation.
struct PageSnapshot {
  std::string title;
  std::vector<PageAnchor> anchors;
};

// Title a pane reports when its main frame could not be loaded, and when the address could not
// even be parsed. They stand where the engine's own error pages would stand.
inline constexpr char kPageCannotBeShown[] = "无法显示网页";
inline constexpr char kInvalidAddress[] = "地址无效";

// A navigation a pane is about to follow.
struct NavigationRequest {
  std::string url;          // the text as the page wrote it (see OnBeforeNavigate)
  bool main_frame = true;   // false for a frame inside the page
  bool by_program = false;  // the program asked for it (PanePort::Navigate), no page did
  // The origin ("http://host:port", "null" when opaque) of the document that asked for it: the
  // one holding the clicked link, or the one whose own script or form navigated. Empty when the
  // pane cannot tell (the program, back and forward, a redirect, a document of another origin
  // steering this frame): such a navigation carries none of the page's powers.
  std::string source_origin{};
  // The user's press asked for it: the pressed link's own address, or the press's own event
  // handlers while the press was dispatched to them (press_trace.h).
  bool by_press = false;
};

// A new window a page asks for.
struct NewWindowRequest {
  std::string url;        // the address it would show (diagnostics)
  bool by_press = false;  // as for a navigation
};

// Events of one pane. Every handler runs on the window thread.
class PaneEvents {
 public:
  virtual ~PaneEvents() = default;
  // Before the pane follows an address (link, script, form, back/forward, Navigate). url is the
  // text as the page wrote it. Return true to cancel the navigation.
  virtual bool OnBeforeNavigate(const std::string& url) = 0;
  // The same with what the pane knows about where the navigation comes from; the pane calls this
  // one. Handlers that only need the address override OnBeforeNavigate.
  virtual bool OnNavigationRequest(const NavigationRequest& request) {
    return OnBeforeNavigate(request.url);
  }
  // The user pressed a mouse button or a key on the pane (on any of its frames).
  virtual void OnUserInput() {}
  // A page asks for a new window. Return true to refuse it; false leaves the engine's default.
  virtual bool OnNewWindow(const NewWindowRequest& request) = 0;
  // Status text: the hovered link's address, empty when the pointer leaves the link.
  virtual void OnStatusText(const std::string& text) = 0;
  // The pane starts loading a document (main frame).
  virtual void OnDownloadBegin() = 0;
  // The pane has finished loading, successfully or not.
  virtual void OnDownloadComplete() = 0;
  // The document's title changed; title is the document's own title (empty when it has none),
  // or kPageCannotBeShown / kInvalidAddress after a failed load.
  virtual void OnTitleChange(const std::string& title) = 0;
  // Whether this handler uses OnTitleChange at all. The document's own title takes the pane a
  // round trip to the page each time it changes; a pane whose handler uses none skips it.
  virtual bool HearsTitle() const { return true; }
  // A right click on the page at global screen position (x, y). Return true when the handler showed
  // its own menu, so that the engine's menu stays closed.
  virtual bool OnContextMenu(int x, int y) = 0;
};

// Events with no reaction; derive from it to handle only some of them.
class NullPaneEvents : public PaneEvents {
 public:
  bool OnBeforeNavigate(const std::string&) override { return false; }
  bool OnNewWindow(const NewWindowRequest&) override { return false; }
  void OnStatusText(const std::string&) override {}
  void OnDownloadBegin() override {}
  void OnDownloadComplete() override {}
  void OnTitleChange(const std::string&) override {}
  bool OnContextMenu(int, int) override { return false; }
};

// What logic may ask of a pane.
class PanePort {
 public:
  virtual ~PanePort() = default;
  // Opens an address: an absolute URL, or an absolute local file path (the program's own pages).
  // An address that cannot be parsed loads nothing and reports the title kInvalidAddress.
  virtual void Navigate(const std::string& url) = 0;
  // An address the program will not open here: the pane loads nothing, writes one line naming it
  // and why on its diagnostics category, and reports the title kInvalidAddress as for an address
  // that cannot be parsed.
  virtual void Refuse(const std::string& url, const std::string& why) = 0;
  // A navigation that the handler cancelled because of where it leads: one line naming it and why
  // on the pane's diagnostics category, nothing else.
  virtual void NoteRefused(const std::string& url, const std::string& why) = 0;
  virtual void Refresh() = 0;
  virtual void GoBack() = 0;      // nothing happens when there is no earlier page
  virtual void GoForward() = 0;   // nothing happens when there is no later page
  virtual bool Busy() const = 0;  // a document is loading
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;  // as last set, whether or not the window is on screen
  // Pauses the sound and pictures of the current document and of the frames its script reaches,
  // and keeps the pane silent until it is next told to Navigate, so that a frame the pause cannot
  // reach (another origin's) is not heard either.
  virtual void PauseMedia() = 0;
  // A silent pane shows no script dialogs (alert, confirm, prompt).
  virtual void SetSilent(bool silent) = 0;
  virtual bool Silent() const = 0;
  // The current document's title (empty when it has none; the error titles after a failed load).
  // For a pane whose handler does not hear titles, the engine's title, which names an untitled
  // document after its address.
  virtual std::string Title() const = 0;
  // The address of the current document.
  virtual std::string CurrentUrl() const = 0;
  // Reads the current document's title and those of its anchors whose href contains
  // href_contains (all anchors when it is empty); done runs later on the window thread, with
  // nothing when the pane has no readable document. Asked right after a refused navigation it
  // answers from the page the navigation would have left.
  virtual void ReadDocument(const std::string& href_contains,
                            std::function<void(std::optional<PageSnapshot>)> done) = 0;
};

}  // namespace kam
