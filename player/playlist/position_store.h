// Where the user stopped in each video and which ones were watched, per page address, kept in one
// small file in the user's data folder. The file is the program's own: it is read with bounded
// memory whatever it holds (anything not in its form is left out) and replaced whole at every
// save.
//
// File form (UTF-8, LF): the line "kamplayer positions 1", then one line per address, oldest
// first: the position in whole milliseconds (0: none remembered), a tab, "1" when watched else
// "0", a tab, the address key (playing_entry.h's ShownAddressKey).
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam::playlist {

// Resume and watched rules, in seconds and parts of the video's length.
inline constexpr double kResumeMinSeconds = 10;      // an earlier position starts from 0
inline constexpr double kResumeEndSeconds = 10;      // so does one within this of the end
inline constexpr double kWatchedEndFraction = 0.05;  // and within this part of it: watched

class PositionStore {
 public:
  static constexpr std::size_t kMaxAddresses = 1000;
  static constexpr std::size_t kMaxKeyBytes = 4096;
  // A file is read up to this size; more cannot be a file this store wrote.
  static constexpr std::size_t kMaxFileBytes = kMaxAddresses * (kMaxKeyBytes + 32) + 64;

  // The store a file's bytes hold; a file of another form is an empty store.
  static PositionStore FromBytes(std::string_view bytes);
  std::string ToBytes() const;

  // The position reached in the video at key, of length duration_s (unknown: not positive or not
  // finite). Played into its last 5 %, the video counts as watched. The address becomes the
  // newest; the oldest beyond kMaxAddresses is forgotten. False when nothing changed (and for a
  // key that cannot be stored: empty, too long, or holding a control character).
  bool Remember(std::string_view key, double position_s, double duration_s);
  // The video at key was played to its end: watched, and its position forgotten.
  bool MarkEnded(std::string_view key);

  // Where the video at key, of length duration_s, starts when it opens again: the remembered
  // position, unless it is under 10 s, within the last 10 s or 5 % of the video; then nothing,
  // and the position is forgotten (forgot tells whether that changed the store). Nothing also
  // when no position is remembered, or when it lies beyond the end (it belongs to another,
  // longer video on the page, such as the film after an advertisement).
  std::optional<double> ResumeAt(std::string_view key, double duration_s, bool* forgot = nullptr);

  bool Watched(std::string_view key) const;
  std::optional<double> Position(std::string_view key) const;
  std::size_t size() const { return records_.size(); }

 private:
  struct Record {
    std::string key;
    long long position_ms = 0;
    bool watched = false;
  };
  Record* Find(std::string_view key);
  const Record* Find(std::string_view key) const;
  // The record of key moved to the newest place (made when missing); nullptr for a bad key.
  Record* Touch(std::string_view key);

  std::vector<Record> records_;  // oldest first
};

// The store in file; a missing, unreadable or foreign file gives an empty store. At most
// kMaxFileBytes are read.
PositionStore LoadPositionStore(const std::filesystem::path& file);
// Replaces file atomically with the store; false when it could not be written.
bool SavePositionStore(const std::filesystem::path& file, const PositionStore& store);

}  // namespace kam::playlist
