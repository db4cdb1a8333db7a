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
// been ended, and the call does not return: nothing after it runs, no destructor or atexit
// handler runs and buffered stdio output is dropped, as for a process terminated from outside.
// (Flushing could block for good on a full pipe, and then the program would never end.)
//
// On Linux, where executables have no extension, a trailing ".exe" of name is dropped before
// comparing, so "kamplayer.exe" ends a process of the file "kamplayer" (and one of the file
// "kamplayer.exe"). A process is known there by its executable's file name (also after the file
// was replaced), its command name (a script started through its "#!" line has the script's name
// there, not the interpreter's) and the file name of its argv[0]; any of them may match.
void EndProcessesByName(std::string_view name);

// The same walk, but the caller's own process is never ended: true when it matches, for a caller
// that ends itself its own way (the player, which first lets its browser write what it holds).
bool EndOtherProcessesByName(std::string_view name);

// Whether one name a process is known by matches the target name of EndProcessesByName: equal
// when ASCII letters are lower-cased; on Linux also equal to the target without its ".exe".
bool ProcessNameMatches(std::string_view process_name, std::string_view target);

}  // namespace kam
