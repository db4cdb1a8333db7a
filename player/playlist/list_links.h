// How the list control reads clicks on its page: links do not navigate, they name an entry.
#pragma once

#include <string_view>

namespace kam::playlist {

enum class LinkAction {
  kPlay,    // the address contains "http://Play" (any case): play the entry
  kDelete,  // the address contains "http://ShanChu" (any case): delete the entry
  kOther,   // no entry link
};

// What a link that asks for a new window means, from its address as the page wrote it.
LinkAction ClassifyListLink(std::string_view href);

// The entry number an element id stands for: its leading decimal number ("3" and "3x" give 3), or
// 0 when it does not start with a digit. Numbers past the 32-bit range saturate.
int EntryNumberOf(std::string_view id);

// Navigations of the list page to "pl://" addresses (any case) are cancelled.
bool IsCancelledNavigation(std::string_view url);

// A right click in the list page. Tag is the tag name of the element clicked.
struct ContextMenuDecision {
  bool raise_event;  // raise the control's context-menu event
  bool on_link;      // the element is a link
  int index;         // entry number of its id
  bool engine_menu;  // let the engine show its own menu
};
ContextMenuDecision DecideContextMenu(std::string_view tag_name, std::string_view id);

// Placement of the browser inside the control: its border lies outside the visible area, 40 twips
// beyond each edge.
struct BrowserGeometry {
  int x;
  int y;
  int width;
  int height;
};
BrowserGeometry BrowserGeometryFor(int control_width, int control_height);

}  // namespace kam::playlist
