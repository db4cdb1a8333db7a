#include "player/browse/position_follower.h"

#include "player/playlist/playing_entry.h"

namespace kam {

void PositionFollower::MediaChanged(const MediaReport& report) {
  if (report.medium != last_.medium) {
    // Another medium, or the page went: where the former one stood is kept.
    RememberNow();
    decided_ = false;
    seeking_to_.reset();
    key_.reset();
    if (report.medium != 0) key_ = playlist::ShownAddressKey(ports_.ShownAddress());
  }
  last_ = report;
  if (!key_) return;
  if (seeking_to_) {
    // Reached, or the seek is over wherever it took the video, or it never began.
    if (report.position_s >= *seeking_to_ - 1 || (seek_seen_ && !report.seeking) ||
        (!seek_seen_ && !report.seeking && ++reports_since_seek_ > kSeekPatience)) {
      seeking_to_.reset();
    }
    seek_seen_ = seek_seen_ || report.seeking;
  }
  if (!decided_ && HasKnownDuration(report)) {
    bool forgot = false;
    const std::optional<double> at = store_.ResumeAt(*key_, report.duration_s, &forgot);
    const std::optional<double> kept = store_.Position(*key_);
    // A position beyond this video's end is kept for a longer one on the page.
    decided_ = at || forgot || !kept;
    if (at) {
      seeking_to_ = at;
      seek_seen_ = false;
      reports_since_seek_ = 0;
      ports_.SeekMainMedium(*at);
    }
    if (forgot) ports_.StoreChanged(false);
  }
  if (decided_ && report.state == MediaState::kEnded && !report.seeking) {
    const bool was_watched = store_.Watched(*key_);
    if (store_.MarkEnded(*key_)) ports_.StoreChanged(!was_watched);
  }
}

void PositionFollower::SaveTick() {
  if (last_.state == MediaState::kPlaying) RememberNow();
}

void PositionFollower::RememberNow() {
  if (!key_ || !decided_ || seeking_to_ || last_.medium == 0) return;
  if (last_.state == MediaState::kEnded || last_.state == MediaState::kNone) return;
  const bool was_watched = store_.Watched(*key_);
  if (store_.Remember(*key_, last_.position_s, last_.duration_s)) {
    ports_.StoreChanged(store_.Watched(*key_) != was_watched);
  }
}

}  // namespace kam
