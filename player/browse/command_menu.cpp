#include "player/browse/command_menu.h"

#include <array>

#include "common/site_address.h"

namespace kam {
namespace {

using C = MenuCommand;

constexpr std::array<MenuItem, 9> kMenu = {{
    {"display", "显示或隐藏", true, C::kToggleWindow},
    {"df", "-", true, C::kNone},
    {"dddd", "检测升级", true, C::kCheckUpgrade},
    {"zidong", "自动播放下一集", true, C::kToggleAutoNext},
    {"hnn", "-", false, C::kNone},
    {"dddde", "关于我们", false, C::kNone},
    {"shnhhy", "软件设置", false, C::kNone},
    {"dddecc", "-", true, C::kNone},
    {"close", "退出程序", true, C::kExit},
}};

constexpr std::array<MenuItem, 7> kMyMenu = {{
    {"houtui", "后退一页", true, C::kBack},
    {"vgg", "-", true, C::kNone},
    {"qianjin", "前进一页", true, C::kForward},
    {"SSE", "-", true, C::kNone},
    {"shuaxin", "刷新一下", true, C::kRefresh},
    {"DES", "-", true, C::kNone},
    {"O", "返回首页", true, C::kHome},
}};

constexpr std::array<MenuItem, 5> kCaidan = {{
    {"gyyy", "关于我们", false, C::kNone},
    {"djeu", "检测升级", true, C::kCheckUpgrade},
    {"dheyw", "软件设置", false, C::kNone},
    {"ddd", "-", true, C::kNone},
    {"sssssw", "退出程序", true, C::kExit},
}};

}  // namespace

std::span<const MenuItem> MenuItems(MenuId menu) {
  switch (menu) {
    case MenuId::kMenu:
      return kMenu;
    case MenuId::kMyMenu:
      return kMyMenu;
    case MenuId::kCaidan:
      return kCaidan;
  }
  return {};
}

std::string_view MenuCaption(MenuId menu) {
  switch (menu) {
    case MenuId::kMenu:
      return "托盘菜单";
    case MenuId::kMyMenu:
      return "右键";
    case MenuId::kCaidan:
      return "ddddgg";
  }
  return {};
}

void CommandMenus::Click(std::string_view item) {
  for (MenuId menu : {MenuId::kMenu, MenuId::kMyMenu, MenuId::kCaidan}) {
    for (const MenuItem& i : MenuItems(menu)) {
      if (i.name == item) {
        Run(i.command);
        return;
      }
    }
  }
}

bool CommandMenus::Checked(std::string_view item) const {
  if (item == "O") return home_checked_;
  if (item == "zidong") return actions_.AutoNextOn();
  return false;
}

void CommandMenus::Run(MenuCommand command) {
  switch (command) {
    case C::kNone:
      return;
    case C::kToggleWindow:
      actions_.SetMainWindowVisible(!actions_.MainWindowVisible());
      return;
    case C::kCheckUpgrade:
      actions_.CheckForUpgrade();
      return;
    case C::kBack:
      listweb_.GoBack();
      return;
    case C::kForward:
      listweb_.GoForward();
      return;
    case C::kRefresh:
      listweb_.Refresh();
      return;
    case C::kHome:
      home_checked_ = true;
      if (const auto site = AddressOnSite(state_.dizhi, state_.dizhi)) {
        listweb_.Navigate(*site);
      } else {
        listweb_.Refuse(state_.dizhi, "site address is no http(s) address");
      }
      return;
    case C::kToggleAutoNext:
      actions_.SetAutoNext(!actions_.AutoNextOn());
      return;
    case C::kExit:
      if (state_.tuichu == "1") {
        actions_.UnloadMainWindow();
      } else {
        actions_.ExitPlayer();
      }
      return;
  }
}

}  // namespace kam
