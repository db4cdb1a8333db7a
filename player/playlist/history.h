// Reading the play list back from "\data\Data.dat" at start. Whatever cannot be read is skipped:
// the list may come back shorter, but loading never fails, and a store of any size is read in
// bounded memory and time (store_reader.h).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/playlist/entry.h"

namespace kam::playlist {

// The entries of the store's text (ANSI code page bytes), in file order, as UTF-8. Text before
// the first "<Item>" is dropped; a record ends at its first "</Item>" (the last one may lack it);
// spaces, and only spaces, are trimmed from both ends; empty records are dropped. A record with
// fewer than three fields is dropped as well: the list page refuses such a list, so keeping it
// would block every later save and the damaged file would never heal. Only the first
// kMaxEntries entries are kept, each within the bounds of list_bounds.h (BoundedEntry; an entry
// whose address is too long is dropped).
std::vector<std::string> ParseHistory(std::string_view store_bytes,
                                      std::string_view separator = kDefaultSeparator);

// The entries of the store file at path, read in pieces: reading stops at the last entry kept.
// A missing file gives no entries and is created empty when its folder exists. Nothing when the
// store is there but cannot be read (a folder in its place, a read error): the caller then leaves
// the store alone, so that the list it holds is not replaced by an empty one.
std::optional<std::vector<std::string>> ReadHistory(const std::filesystem::path& path,
                                                    std::string_view separator = kDefaultSeparator);

// ReadHistory with an unreadable store giving no entries. The caller appends them to its list and
// renders that list, which also rewrites the file in its normal form.
std::vector<std::string> LoadHistory(const std::filesystem::path& path,
                                     std::string_view separator = kDefaultSeparator);

}  // namespace kam::playlist
