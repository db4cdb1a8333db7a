// Files the programs own are replaced whole: written beside the target, then renamed over it,
// so a crash or a full disk never leaves a half-written file behind.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kam {

// Writes bytes to a temporary file in the target's folder and renames it over the target.
// False when anything fails; the former file is then untouched and no temporary file remains.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A temporary name beside path, unique within this process and across processes.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path);

// The whole file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

}  // namespace kam
