// Platform side of atomic files: new files written and flushed, renames made durable, and
// whether a writer process still runs.
#pragma once

#include <filesystem>
#include <string_view>

namespace kam::platform {

// Creates path (which must not exist) holding bytes; with flush, its data is on the disk when
// this returns. False on any failure; a file may then be left at path.
bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes, bool flush);

// Flushes the data of the file at path to the disk.
bool FlushFile(const std::filesystem::path& path);

// Renames from over to, replacing it; with flush, the rename itself is on the disk when this
// returns (the folder is flushed, or the move written through).
bool ReplaceByRename(const std::filesystem::path& from, const std::filesystem::path& to,
                     bool flush);

// Whether a process with this identifier exists now.
bool ProcessRunning(long pid);

}  // namespace kam::platform
