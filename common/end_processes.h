// Ending programs by executable file name. Both programs use it: the player to end an outside
// video player and every copy of itself, the updater to end the player and itself.
#pragma once

#include <string_view>

namespace kam {

// Ends every process of the system whose executable file name equals name, letter case ignored
// and whole name only ("kamplayer.exe" never ends "xkamplayer"). Processes that cannot be ended
// (another user's) are skipped; the caller learns nothing about what was ended.
//
// When the caller's own process matches, it ends with exit status 0 once every other match has
// been ended, and the call does not return: nothing after it runs and no destructor or atexit
// handler runs (stdio buffers are flushed first).
//
// On Linux, where executables have no extension, a trailing ".exe" of name is dropped before
// comparing, so "kamplayer.exe" ends a process of the file "kamplayer" (and one of the file
// "kamplayer.exe"). See ProcessNameMatches for the names a process is known by.
void EndProcessesByName(std::string_view name);

// Whether one name a process is known by matches the target name of EndProcessesByName: equal
// when ASCII letters are lower-cased; on Linux also equal to the target without its ".exe".
bool ProcessNameMatches(std::string_view process_name, std::string_view target);

}  // namespace kam
