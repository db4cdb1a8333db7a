// A request from outside to end the player (SIGTERM as the updater and a session's end send it,
// SIGINT from a terminal, SIGHUP when the terminal or the session goes) ends it as its own exit
// does, so that its browser profile writes out what it holds. On Windows the end of the session
// reaches the application as its quit (aboutToQuit); nothing is installed here.
#pragma once

#include <functional>

class QObject;

namespace kam {

// From now on, SIGTERM, SIGINT and SIGHUP call end_in_order from the event loop (not from the
// signal handler). Call it once; the notifier belongs to parent.
void EndInOrderOnRequest(QObject* parent, std::function<void()> end_in_order);

}  // namespace kam
