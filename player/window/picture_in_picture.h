// A page's picture-in-picture: its video goes on playing in a small window that stays above the
// others while the main window may be hidden or minimised. This decides who may enter, where the
// small window goes, and what leaving puts back; the view re-hosts the pane's page in the small
// window and speaks to the page.
//
// Only the player pane has it. A request is granted only to the page's own document (not a frame
// in it) on the site, and only with the user's own press behind it, each press opening at most
// one window; everything else is refused, so a page asking in a loop never opens a window storm.
// While the small window is up the page shows in it and nowhere else; leaving, for whatever
// cause, puts the page back into its pane, as it was.
#pragma once

#include <optional>

#include "player/window/controls.h"
#include "player/window/max_bounds.h"

namespace kam::window {

// A page's request, as the pane saw it.
struct PipAsk {
  Ctl pane = Ctl::W3;
  bool top_document = false;  // the pane's own document, not a frame in it
  bool on_site = false;       // that document is on the site (the base address in dizhi)
  bool pressed = false;       // a press of the user's, not yet spent on an entry, asked for it
  double aspect = 0;          // the video's width / height; 0 before it has a picture
};

enum class PipAnswer {
  kEntered,       // the small window shows the page's video now
  kAlreadyIn,     // the page was in it already; nothing changed
  kNotSupported,  // this pane has no picture-in-picture
  kNotAllowed,    // no press of the user's, a frame, or another site
};

// The name of the error the page's request is refused with; empty for a granted one.
const char* PipErrorName(PipAnswer answer);

// Why the small window goes away.
enum class PipLeave {
  kPage,         // the page's exitPictureInPicture, or its video left the document
  kCloseButton,  // the small window's close button
  kEscape,       // Esc in the small window
  kDoubleClick,  // a double click in it
  kNavigation,   // the pane goes to another document
  kPaneHidden,   // the pane was hidden (the player page closed)
  kFullScreen,   // the page asks for full screen, which it gets in the main window
  kPlayerExit,   // the player ends
};

class PictureInPicturePort {
 public:
  virtual ~PictureInPicturePort() = default;
  // The work area of the screen the main window is on.
  virtual PixelRect WorkAreaOfMainWindow() const = 0;
  // Whether the pane's page is full screen in the main window now, and ending that.
  virtual bool IsFullScreen(Ctl pane) const = 0;
  virtual void EndFullScreen(Ctl pane) = 0;
  // The pane's page into the small window at rect (shown above the others), and back again.
  virtual void ShowSmallWindow(Ctl pane, const PixelRect& rect, double aspect) = 0;
  virtual void PutPageBack(Ctl pane) = 0;
  // Tells the page it left (it hears leavepictureinpicture and shows as it was).
  virtual void TellPageLeft(Ctl pane) = 0;
};

class PictureInPicture {
 public:
  explicit PictureInPicture(PictureInPicturePort& port) : port_(port) {}

  static bool Allows(Ctl pane) { return pane == Ctl::W3; }

  PipAnswer OnRequest(const PipAsk& ask);
  // Ends picture-in-picture for that cause; false when it was not on.
  bool Leave(PipLeave cause);
  // The user moved or resized the small window: the next one this run takes its place.
  void OnUserPlaced(const PixelRect& rect);

  bool active() const { return session_.has_value(); }
  std::optional<Ctl> pane() const;

 private:
  struct Session {
    Ctl pane;
  };
  PictureInPicturePort& port_;
  std::optional<Session> session_;
  std::optional<PixelRect> user_rect_;
};

}  // namespace kam::window
