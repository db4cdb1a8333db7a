// The pop-up menus of the hidden form Form2 and what their items do. The main window pops them up
// at the mouse position: menu from the tray icon, MyMenu from a right click on a catalogue page,
// caidan from the settings button.
#pragma once

#include <span>
#include <string_view>

#include "player/browse/pane_port.h"
#include "player/startup/player_state.h"

namespace kam {

enum class MenuId { kMenu, kMyMenu, kCaidan };

enum class MenuCommand {
  kNone,          // separators and hidden items
  kToggleWindow,  // show or hide the main window
  kCheckUpgrade,  // Form2.shengji
  kBack,
  kForward,
  kRefresh,
  kHome,  // listweb to the site's base address; checks the item
  kExit,
  kToggleAutoNext,  // the next episode plays by itself, or not; the item shows the choice
};

struct MenuItem {
  std::string_view name;
  std::string_view caption;  // "-" is a separator
  bool visible;
  MenuCommand command;
};

inline constexpr std::string_view kSeparatorCaption = "-";

// The items of a menu in display order, hidden ones included.
std::span<const MenuItem> MenuItems(MenuId menu);
// The top-level caption as stored; never displayed.
std::string_view MenuCaption(MenuId menu);

// What the menu actions need from the main window and the start-up logic.
class MenuActionsPort {
 public:
  virtual ~MenuActionsPort() = default;
  virtual bool MainWindowVisible() const = 0;
  virtual void SetMainWindowVisible(bool visible) = 0;
  virtual void CheckForUpgrade() = 0;  // Form2.shengji
  virtual void ExitPlayer() = 0;       // the exit routine: ends every player process
  // Closes the main window, removes the tray icon and lets this program end normally.
  virtual void UnloadMainWindow() = 0;
  // The user's choice whether the next episode plays by itself (next_episode.h), kept across
  // starts.
  virtual bool AutoNextOn() const = 0;
  virtual void SetAutoNext(bool on) = 0;
};

class CommandMenus {
 public:
  CommandMenus(const PlayerState& state, PanePort& listweb, MenuActionsPort& actions)
      : state_(state), listweb_(listweb), actions_(actions) {}

  // The Click of the item of that name, in any of the menus; unknown names do nothing.
  void Click(std::string_view item);
  void Run(MenuCommand command);
  // The item's check mark: "O" (home) once clicked; "zidong" while the next episode plays by
  // itself.
  bool Checked(std::string_view item) const;
  // Items that show a check mark.
  static bool Checkable(MenuCommand command) {
    return command == MenuCommand::kHome || command == MenuCommand::kToggleAutoNext;
  }

 private:
  const PlayerState& state_;
  PanePort& listweb_;
  MenuActionsPort& actions_;
  bool home_checked_ = false;
};

}  // namespace kam
