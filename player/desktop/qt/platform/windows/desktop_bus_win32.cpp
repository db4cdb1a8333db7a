// Windows: no session bus, and the MinGW headers carry no system media transport controls, so
// the player has no desktop player entry there; the screen stays awake through the platform's
// own hold (player/desktop/platform/windows).
#include "player/desktop/qt/desktop_bus.h"

namespace kam::desktop {
namespace {

class NoBus : public DesktopBus, private ScreenHoldPort {
 public:
  ScreenHoldPort& screen_saver() override { return *this; }
  void PlayerChanged(const PlayerProperties&) override {}
  void End() override {}

 private:
  void Hold() override {}
  void Release() override {}
};

}  // namespace

std::unique_ptr<DesktopBus> MakeDesktopBus(DesktopBusHost&) { return std::make_unique<NoBus>(); }

}  // namespace kam::desktop
