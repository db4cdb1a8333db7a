// Whether this process still has a file open: how a caller learns that a library working on
// threads of its own (the browser engine's cookie database) has closed what it was writing.
#pragma once

#include <filesystem>

namespace kam {

// True while a handle of this process refers to file. A file that does not exist is not open.
// Linux: the process's descriptors (/proc/self/fd); Windows: the file refuses an exclusive open.
bool FileOpenInThisProcess(const std::filesystem::path& file);

}  // namespace kam
