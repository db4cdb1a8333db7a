// A request from outside to end the player (SIGTERM, as the updater and a session's end send it)
// ends it as its own exit does, so that its browser profile writes out what it holds. On Windows
// the close and quit messages reach the event loop themselves; nothing is installed there.
#pragma once

#include <functional>

class QObject;

namespace kam {

// From now on, SIGTERM calls end_in_order from the event loop (not from the signal handler).
// Call it once; the notifier belongs to parent.
void EndInOrderOnRequest(QObject* parent, std::function<void()> end_in_order);

}  // namespace kam
