#include "player/playlist/position_store.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

#include "common/atomic_file.h"

namespace kam::playlist {
namespace {

constexpr std::string_view kHeader = "kamplayer positions 1";

bool UsableKey(std::string_view key) {
  if (key.empty() || key.size() > PositionStore::kMaxKeyBytes) return false;
  return std::none_of(key.begin(), key.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool KnownLength(double duration_s) { return std::isfinite(duration_s) && duration_s > 0; }

bool InLastPart(double position_s, double duration_s) {
  return position_s >= duration_s * (1 - kWatchedEndFraction);
}

}  // namespace

PositionStore PositionStore::FromBytes(std::string_view bytes) {
  PositionStore store;
  if (bytes.size() > kMaxFileBytes) bytes = bytes.substr(0, kMaxFileBytes);
  const std::size_t first = bytes.find('\n');
  if (first == std::string_view::npos || bytes.substr(0, first) != kHeader) return store;
  bytes.remove_prefix(first + 1);
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos) break;  // a torn last line
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
    const std::size_t tab1 = line.find('\t');
    if (tab1 == std::string_view::npos || tab1 == 0 || tab1 > 12) continue;
    if (line.size() < tab1 + 3 || line[tab1 + 2] != '\t') continue;
    long long ms = 0;
    const auto [p, ec] = std::from_chars(line.data(), line.data() + tab1, ms);
    if (ec != std::errc() || p != line.data() + tab1 || ms < 0) continue;
    const char watched = line[tab1 + 1];
    if (watched != '0' && watched != '1') continue;
    const std::string_view key = line.substr(tab1 + 3);
    if (!UsableKey(key)) continue;
    Record* r = store.Touch(key);
    r->position_ms = ms;
    r->watched = watched == '1';
  }
  return store;
}

std::string PositionStore::ToBytes() const {
  std::string out(kHeader);
  out += '\n';
  for (const Record& r : records_) {
    out += std::to_string(r.position_ms);
    out += r.watched ? "\t1\t" : "\t0\t";
    out += r.key;
    out += '\n';
  }
  return out;
}

PositionStore::Record* PositionStore::Find(std::string_view key) {
  auto it =
      std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.key == key; });
  return it == records_.end() ? nullptr : &*it;
}

const PositionStore::Record* PositionStore::Find(std::string_view key) const {
  return const_cast<PositionStore*>(this)->Find(key);
}

PositionStore::Record* PositionStore::Touch(std::string_view key) {
  if (!UsableKey(key)) return nullptr;
  Record record;
  if (Record* found = Find(key)) {
    record = std::move(*found);
    records_.erase(records_.begin() + (found - records_.data()));
  } else {
    record.key = std::string(key);
  }
  if (records_.size() >= kMaxAddresses) {
    records_.erase(records_.begin(), records_.begin() + (records_.size() - kMaxAddresses + 1));
  }
  records_.push_back(std::move(record));
  return &records_.back();
}

bool PositionStore::Remember(std::string_view key, double position_s, double duration_s) {
  if (!UsableKey(key) || !std::isfinite(position_s) || position_s < 0) return false;
  const Record* before = Find(key);
  const bool was_newest = before && before == &records_.back();
  const long long ms = std::llround(std::min(position_s, 1e9) * 1000);
  const bool watched = (before && before->watched) ||
                       (KnownLength(duration_s) && InLastPart(position_s, duration_s));
  if (was_newest && before->position_ms == ms && before->watched == watched) return false;
  Record* r = Touch(key);
  r->position_ms = ms;
  r->watched = watched;
  return true;
}

bool PositionStore::MarkEnded(std::string_view key) {
  const Record* before = Find(key);
  if (before && before->watched && before->position_ms == 0 && before == &records_.back()) {
    return false;
  }
  Record* r = Touch(key);
  if (!r) return false;
  r->watched = true;
  r->position_ms = 0;
  return true;
}

std::optional<double> PositionStore::ResumeAt(std::string_view key, double duration_s,
                                              bool* forgot) {
  if (forgot) *forgot = false;
  Record* r = Find(key);
  if (!r || r->position_ms == 0 || !KnownLength(duration_s)) return std::nullopt;
  const double at = static_cast<double>(r->position_ms) / 1000;
  if (at > duration_s) return std::nullopt;
  if (at < kResumeMinSeconds || at > duration_s - kResumeEndSeconds || InLastPart(at, duration_s)) {
    r->position_ms = 0;
    if (forgot) *forgot = true;
    return std::nullopt;
  }
  return at;
}

bool PositionStore::Watched(std::string_view key) const {
  const Record* r = Find(key);
  return r && r->watched;
}

std::optional<double> PositionStore::Position(std::string_view key) const {
  const Record* r = Find(key);
  if (!r || r->position_ms == 0) return std::nullopt;
  return static_cast<double>(r->position_ms) / 1000;
}

PositionStore LoadPositionStore(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  // In pieces up to the limit, so that a small file takes little memory and a huge one no more.
  std::string bytes;
  char piece[65536];
  while (in && bytes.size() < PositionStore::kMaxFileBytes) {
    const std::size_t want = std::min(sizeof piece, PositionStore::kMaxFileBytes - bytes.size());
    in.read(piece, static_cast<std::streamsize>(want));
    bytes.append(piece, static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  }
  return PositionStore::FromBytes(bytes);
}

bool SavePositionStore(const std::filesystem::path& file, const PositionStore& store) {
  return WriteFileAtomically(file, store.ToBytes());
}

}  // namespace kam::playlist
