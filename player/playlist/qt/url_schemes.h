// The list page's own URL scheme must be known to the browser engine before the application
// object exists; otherwise its navigations never reach the page's navigation hook.
#pragma once

namespace kam::playlist {

// Registers "pl" with the engine. Call from main() before the QApplication is built; calling it
// again, or after another part of the program registered the same scheme, changes nothing.
void RegisterPlaylistUrlSchemes();

}  // namespace kam::playlist
