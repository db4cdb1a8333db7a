// The browser engine's own desktop player switched off: on Linux the engine offers each page's
// media session to the desktop as a player of its own ("chromium.instance<PID>") and listens to
// the media keys itself, beside ours. Its features are turned off through its command-line flags.
#pragma once

#include <string>
#include <string_view>

namespace kam::desktop {

// The engine feature that makes its own desktop player and listens to the media keys. Pages
// keep their media session (navigator.mediaSession): only the engine's desktop side goes.
inline constexpr std::string_view kEngineMediaSessionFeatures = "HardwareMediaKeyHandling";

// flags (the engine's flags as the environment gives them, perhaps empty) with features added to
// its --disable-features list: appended to the list already there (the engine reads only one),
// else as a flag of its own at the end.
std::string WithDisabledFeatures(std::string_view flags, std::string_view features);

// Whether flags (as above) tell the engine to draw without the GPU: its frames are then made in
// software, and composing them again through OpenGL (a software one, where there is no GPU)
// only spends the processor twice.
bool EngineDrawsInSoftware(std::string_view flags);

}  // namespace kam::desktop
