#include "player/playlist/play_list_files.h"

#include <optional>
#include <system_error>

#include "common/atomic_file.h"
#include "common/program_dir.h"
#include "player/playlist/list_page.h"

namespace kam::playlist {

std::filesystem::path ListPagePath(const std::filesystem::path& program_dir) {
  return ProgramFile(program_dir, "\\html\\List.html");
}

std::filesystem::path StorePath(const std::filesystem::path& program_dir) {
  return ProgramFile(program_dir, "\\data\\Data.dat");
}

SaveResult SavePlayList(const std::filesystem::path& program_dir,
                        const std::vector<std::string>& list, std::string_view separator) {
  const std::optional<std::string> page = ListPageBytes(list, separator);
  if (!page) return SaveResult::kTooFewFields;
  if (!WriteFileAtomically(ListPagePath(program_dir), *page)) return SaveResult::kPageNotWritten;
  if (!WriteFileAtomically(StorePath(program_dir), StoreBytes(list))) {
    return SaveResult::kStoreNotWritten;
  }
  return SaveResult::kSaved;
}

bool WriteEmptyListPage(const std::filesystem::path& program_dir) {
  const std::filesystem::path page = ListPagePath(program_dir);
  std::error_code ec;
  std::filesystem::create_directories(page.parent_path(), ec);
  return WriteFileAtomically(page, EmptyListPageBytes());
}

}  // namespace kam::playlist
