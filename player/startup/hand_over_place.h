// Where the running player listens for a second start's hand-over: a name only the same user can
// reach. Linux: a socket in a folder of the user's runtime folder ($XDG_RUNTIME_DIR/kamplayer,
// else kamplayer-UID in the temporary folder) that only the user may enter (0700); Windows: a
// local pipe name, whose access the server restricts to the user.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kam {

// The server name of the player of program_dir; nothing, with why, when no safe place exists
// (the folder belongs to someone else or cannot be made private).
std::optional<std::string> HandOverSocketPlace(const std::filesystem::path& program_dir,
                                               std::string& why);

}  // namespace kam
