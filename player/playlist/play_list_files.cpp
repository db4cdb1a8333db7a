#include "player/playlist/play_list_files.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "common/atomic_file.h"
#include "common/program_dir.h"
#include "player/playlist/entry.h"
#include "player/playlist/list_bounds.h"
#include "player/playlist/list_page.h"

namespace kam::playlist {

std::filesystem::path ListPagePath(const std::filesystem::path& program_dir) {
  return ProgramFile(program_dir, "\\html\\List.html");
}

std::filesystem::path StorePath(const std::filesystem::path& program_dir) {
  return ProgramFile(program_dir, "\\data\\Data.dat");
}

bool IsListPageFile(const std::filesystem::path& program_dir, const std::filesystem::path& file) {
  const std::filesystem::path asked = file.lexically_normal();
  for (const char* name : {"\\html\\List.html", "\\html\\default_skin.css", "\\html\\item.css"}) {
    if (asked == ProgramFile(program_dir, name).lexically_normal()) return true;
  }
  return false;
}

std::optional<PlayListFiles> PlayListFilesFor(const std::vector<std::string>& list,
                                              std::string_view separator, SaveResult& refused) {
  std::vector<std::string> kept;
  kept.reserve(std::min(list.size(), kMaxEntries));
  for (std::size_t i = 0; i < list.size() && i < kMaxEntries; ++i) {
    if (!HasAllFields(list[i], separator)) {
      refused = SaveResult::kTooFewFields;
      return std::nullopt;
    }
    std::optional<std::string> entry = BoundedEntry(list[i], separator);
    if (!entry) {
      refused = SaveResult::kAddressTooLong;
      return std::nullopt;
    }
    kept.push_back(std::move(*entry));
  }
  std::optional<std::string> page = ListPageBytes(kept, separator);
  if (!page) {
    refused = SaveResult::kTooFewFields;
    return std::nullopt;
  }
  return PlayListFiles{std::move(*page), StoreBytes(kept)};
}

SaveResult WritePlayListFiles(const std::filesystem::path& program_dir,
                              const PlayListFiles& files) {
  if (!WriteFileAtomically(ListPagePath(program_dir), files.page)) {
    return SaveResult::kPageNotWritten;
  }
  if (!WriteFileAtomically(StorePath(program_dir), files.store)) {
    return SaveResult::kStoreNotWritten;
  }
  return SaveResult::kSaved;
}

SaveResult SavePlayList(const std::filesystem::path& program_dir,
                        const std::vector<std::string>& list, std::string_view separator) {
  SaveResult refused = SaveResult::kSaved;
  const std::optional<PlayListFiles> files = PlayListFilesFor(list, separator, refused);
  return files ? WritePlayListFiles(program_dir, *files) : refused;
}

bool WriteEmptyListPage(const std::filesystem::path& program_dir) {
  const std::filesystem::path page = ListPagePath(program_dir);
  std::error_code ec;
  std::filesystem::create_directories(page.parent_path(), ec);
  return WriteFileAtomically(page, EmptyListPageBytes());
}

}  // namespace kam::playlist
