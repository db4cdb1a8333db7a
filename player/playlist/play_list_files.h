// Where the play list lives in the program directory, and writing it. Each file is replaced
// whole (written beside, then renamed over), so a crash mid-save never loses the history.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam::playlist {

// "\html\List.html" and "\data\Data.dat" of the program directory.
std::filesystem::path ListPagePath(const std::filesystem::path& program_dir);
std::filesystem::path StorePath(const std::filesystem::path& program_dir);

// Whether file is one the list page may read: the page itself or one of the two style sheets it
// links ("\html\default_skin.css", "\html\item.css"). The page shows text from web pages, so
// whatever else it asks of the disk is refused.
bool IsListPageFile(const std::filesystem::path& program_dir, const std::filesystem::path& file);

enum class SaveResult {
  kSaved,
  kTooFewFields,     // an entry lacks a field: nothing was written
  kAddressTooLong,   // an entry's address is past the bound: nothing was written
  kPageNotWritten,   // "\html" is missing or unwritable: nothing was written
  kStoreNotWritten,  // the page was written, "\data" is missing or unwritable
};

// The bytes of the page and the store for a list.
struct PlayListFiles {
  std::string page;
  std::string store;
};

// The files for the list: its first kMaxEntries entries, each cut to the bounds (list_bounds.h),
// so that what is written always reads back whole. Nothing, and why in refused, when an entry is
// refused (kTooFewFields, kAddressTooLong).
std::optional<PlayListFiles> PlayListFilesFor(const std::vector<std::string>& list,
                                              std::string_view separator, SaveResult& refused);

// Writes the page, then the store. The page goes first; a failure stops there.
SaveResult WritePlayListFiles(const std::filesystem::path& program_dir, const PlayListFiles& files);

// PlayListFilesFor, then WritePlayListFiles.
SaveResult SavePlayList(const std::filesystem::path& program_dir,
                        const std::vector<std::string>& list, std::string_view separator);

// Writes the page without entries that a new list control shows. "\html" is created when it is
// missing, so that the control's later saves can succeed too. False when the page cannot be
// written.
bool WriteEmptyListPage(const std::filesystem::path& program_dir);

}  // namespace kam::playlist
