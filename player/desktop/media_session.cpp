#include "player/desktop/media_session.h"

#include <cmath>

namespace kam::desktop {
namespace {

constexpr char kTrackPrefix[] = "/org/mpris/MediaPlayer2/kamplayer/";

std::int64_t Micro(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return 0;
  return static_cast<std::int64_t>(std::llround(seconds * 1e6));
}

}  // namespace

std::vector<std::string> ChangedProperties(const PlayerProperties& before,
                                           const PlayerProperties& after) {
  std::vector<std::string> names;
  if (before.playback_status != after.playback_status) names.push_back("PlaybackStatus");
  if (before.track_id != after.track_id || before.title != after.title ||
      before.album != after.album || before.length_us != after.length_us) {
    names.push_back("Metadata");
  }
  if (before.can_go_next != after.can_go_next) names.push_back("CanGoNext");
  if (before.can_go_previous != after.can_go_previous) names.push_back("CanGoPrevious");
  if (before.can_play != after.can_play) names.push_back("CanPlay");
  if (before.can_pause != after.can_pause) names.push_back("CanPause");
  if (before.can_seek != after.can_seek) names.push_back("CanSeek");
  return names;
}

void MediaSession::MediaChanged(const MediaReport& report) {
  if (report.medium != report_.medium || report.state == MediaState::kPlaying) stopped_ = false;
  report_ = report;
  Recompute();
}

void MediaSession::EntryChanged(std::optional<PlayingEntry> entry) {
  entry_ = std::move(entry);
  Recompute();
}

void MediaSession::PageTitleChanged(std::string title) {
  page_title_ = std::move(title);
  Recompute();
}

std::int64_t MediaSession::PositionUs() const {
  return report_.medium != 0 ? Micro(report_.position_s) : 0;
}

void MediaSession::Recompute() {
  PlayerProperties p;
  const bool medium = report_.medium != 0 && report_.state != MediaState::kNone;
  if (stopped_) {
    p.playback_status = "Stopped";
  } else if (report_.state == MediaState::kPlaying) {
    p.playback_status = "Playing";
  } else if (report_.state == MediaState::kPaused) {
    p.playback_status = "Paused";
  }
  if (entry_) {
    p.track_id = kTrackPrefix + std::string("entry") + std::to_string(entry_->index);
    p.title = entry_->text.empty() ? page_title_ : entry_->text;
    p.album = entry_->album;
    p.can_go_next = entry_->index + 1 < entry_->count;
    p.can_go_previous = entry_->index > 0 && entry_->index - 1 < entry_->count;
  } else {
    if (medium) p.track_id = kTrackPrefix + std::string("medium") + std::to_string(report_.medium);
    p.title = page_title_;
  }
  if (medium && HasKnownDuration(report_)) p.length_us = Micro(report_.duration_s);
  p.can_play = medium;
  p.can_pause = medium;
  p.can_seek = medium && HasKnownDuration(report_);
  properties_ = std::move(p);
}

void MediaSession::Play() {
  if (properties_.can_play) port_.Control({MediaCommand::kPlay});
}

void MediaSession::Pause() {
  if (properties_.can_pause) port_.Control({MediaCommand::kPause});
}

void MediaSession::PlayPause() {
  if (properties_.playback_status == "Playing") {
    Pause();
  } else {
    Play();
  }
}

void MediaSession::Stop() {
  if (!properties_.can_play) return;
  port_.Control({MediaCommand::kStop});
  stopped_ = true;
  Recompute();
}

void MediaSession::Next() {
  if (properties_.can_go_next) port_.PlayEntry(entry_->index + 1);
}

void MediaSession::Previous() {
  if (properties_.can_go_previous) port_.PlayEntry(entry_->index - 1);
}

void MediaSession::Seek(std::int64_t offset_us) {
  if (!properties_.can_seek) return;
  const std::int64_t target = PositionUs() + offset_us;
  if (target > properties_.length_us) {
    Next();
    return;
  }
  port_.Control({MediaCommand::kSeek, target > 0 ? static_cast<double>(target) / 1e6 : 0.0});
}

void MediaSession::SetPosition(const std::string& track_id, std::int64_t position_us) {
  if (!properties_.can_seek || track_id != properties_.track_id || position_us < 0 ||
      position_us > properties_.length_us) {
    return;
  }
  port_.Control({MediaCommand::kSeek, static_cast<double>(position_us) / 1e6});
}

}  // namespace kam::desktop
