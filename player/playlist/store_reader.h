// Reading the store "\data\Data.dat" in pieces, with bounded memory whatever the file holds: a
// file of any size, a record of any length, no line breaks at all. The entries come out as the
// whole text would give them (see ParseHistory), bounded (list_bounds.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "player/playlist/entry.h"
#include "player/playlist/list_bounds.h"

namespace kam::playlist {

// Bytes of one record kept. An entry within the bounds takes well under a tenth of it, so only a
// record written by something else is ever cut; it is then read from its first bytes, cut between
// two characters.
inline constexpr std::size_t kMaxRecordBytes = 64 * 1024;

struct StoreReaderLimits {
  std::size_t max_entries = kMaxEntries;
  std::size_t max_record_bytes = kMaxRecordBytes;
};

class StoreReader {
 public:
  explicit StoreReader(std::string_view separator = kDefaultSeparator,
                       StoreReaderLimits limits = {});

  // Takes the next bytes of the store (ANSI code page), cut anywhere. False once max_entries
  // entries are read: the rest of the store changes nothing.
  bool Feed(std::string_view bytes);

  // The store has ended (its last record may lack the end marker): the entries, in file order.
  std::vector<std::string> Finish();

 private:
  void Scan(std::string_view bytes);
  void Content(std::string_view bytes);
  void EndRecord();

  std::string separator_;
  StoreReaderLimits limits_;
  std::vector<std::string> entries_;
  std::string carry_;   // the end of the last piece, which may begin a marker
  std::string record_;  // the current record's bytes, at most max_record_bytes + 1
  bool in_record_ = false;
  bool done_ = false;
};

}  // namespace kam::playlist
