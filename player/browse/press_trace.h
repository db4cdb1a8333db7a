// Which of a page's requests the user's press asked for. A press hands an address to another
// program (a shortcut, the user's browser) only for what the pressed element itself asked for:
// the link that was pressed (its own address), or a navigation or new window that the press's
// own event handlers ask for while the engine dispatches the press to them. A page's timer,
// loop, promise or other frame asks later, or elsewhere, and is refused, however soon after
// the press it comes: the engine's own notion of a recent press lasts seconds, so it cannot
// tell them apart.
//
// The pane's script reports every press event it sees dispatched in a document, in the order
// the document dispatched them, on the same channel as the document's requests; so a request
// made during a dispatch arrives between its begin and its end. Nothing here depends on time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kam {

class PressTrace {
 public:
  // The document frame (its script's name for it) began to dispatch its press event number
  // press: a mouse button, a key or a touch that came from the user, not from a script. link:
  // the address of the link it presses, empty when it presses none. repeat: the press is a held
  // key's auto-repeat, which is no press and is left out.
  void Began(std::string_view frame, std::int64_t press, std::string_view link, bool repeat);
  // That dispatch is over.
  void Ended(std::string_view frame, std::int64_t press);

  // A navigation to address (the pane's key for it), which the document frame started while it
  // dispatched its press event number during (0: none; frame empty: no document reported it).
  // True when the press asked for it.
  bool AskedForNavigation(std::string_view frame, std::int64_t during, std::string_view address);
  // A new window for address. True when the press asked for it.
  bool AskedForWindow(std::string_view address);

 private:
  // True once for the pressed link's own address.
  bool IsPressedLink(std::string_view address);

  std::string frame_;       // where the last press was dispatched
  std::int64_t press_ = 0;  // its number there
  bool dispatching_ = false;
  std::string link_;  // the link it pressed, until a request for its address came
};

}  // namespace kam
