// Small text helpers the updater uses to build its download paths.
#pragma once

#include <string>
#include <string_view>

namespace kam::update {

// text unchanged when it already ends in suffix (compared with ASCII letters lower-cased),
// otherwise text followed by suffix. Gives a folder exactly one trailing separator.
std::string AddString(std::string_view text, std::string_view suffix);

// The file name at the end of path: blanks trimmed from both ends, then everything after the
// last "\" (or, when there is none, the last "/"); empty when there is neither. With
// without_extension, the part before the name's last "." (the whole name when it has no dot).
std::string GetFileNameInPath(std::string_view path, bool without_extension);

}  // namespace kam::update
