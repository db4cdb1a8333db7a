// Files the programs own are replaced whole: written beside the target, flushed to the disk,
// then renamed over it, and the rename flushed too (as databases do). A crash, a kill or a power
// cut at any moment leaves the target either as it was or as written, never torn or empty.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kam {

// Writes bytes to a temporary file in the target's folder and puts it in place of the target
// (CommitTemporaryFile). False when anything fails; the former file is then untouched and no
// temporary file remains.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A temporary name beside path, ".NAME.tmp-PID-RUN-N": unique within this process and across
// processes, and telling which run of which process made it.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path);

// Puts a complete temporary file from TemporaryPathBeside in place of target: flushes its data,
// renames it over target and flushes the folder, so the new name survives a power cut. Then
// removes the target's temporary files that a writer left behind when it died mid-write (those
// of processes no longer running, and this process's own from an earlier run of its number); a
// running writer's file is never touched. False when the rename fails; the temporary file is
// then removed and target is untouched.
bool CommitTemporaryFile(const std::filesystem::path& temp, const std::filesystem::path& target);

// Flushing to the disk is on by default; turning it off keeps the rename but gives up the power
// cut guarantee, and exists only to measure what the flushes cost.
void SetFlushToDisk(bool on);

// The whole file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

}  // namespace kam
