// The desktop's side of the start, before the application object exists: the engine's own
// desktop player switched off through its flags, so that the desktop sees this program's player
// alone; and a first look at the session bus. A bus that takes connections and never answers
// would hold the toolkit's and the engine's own start for their bus timeouts (about 25 s each,
// over a minute in all): such a bus is put out of the process's reach, so that everything on it
// fails at once and the player starts as fast as without one.
#pragma once

namespace kam::desktop {

// The longest the first look at the session bus may take; a healthy bus answers in milliseconds.
inline constexpr int kFirstLookBudgetMs = 1000;

void PrepareDesktopBeforeApplication();

}  // namespace kam::desktop
