#include "player/browse/next_episode.h"

namespace kam {

void NextEpisode::MediaChanged(const MediaReport& report) {
  if (report.medium != last_.medium) end_counted_ = false;
  last_ = report;
  if (report.medium == 0) {
    Cancel();
    return;
  }
  if (report.state != MediaState::kEnded || report.seeking) {
    // Playing (again), paused, seeking: the end is over, and any wait for it.
    if (report.state != MediaState::kEnded) end_counted_ = false;
    Cancel();
    return;
  }
  if (end_counted_) return;  // the same end reported again
  end_counted_ = true;
  if (!ports_.AutoNextOn()) return;
  waiting_for_ = report.medium;
  address_at_end_ = ports_.ShownAddress();
  ports_.StartWait(kWaitMs);
}

void NextEpisode::Navigated() { Cancel(); }

void NextEpisode::WaitOver() {
  const std::uint64_t waited = waiting_for_;
  waiting_for_ = 0;
  if (waited == 0 || last_.medium != waited || last_.state != MediaState::kEnded || last_.seeking ||
      ports_.ShownAddress() != address_at_end_ || !ports_.AutoNextOn()) {
    return;
  }
  ports_.PlayNext();
}

void NextEpisode::Cancel() {
  if (waiting_for_ == 0) return;
  waiting_for_ = 0;
  ports_.StopWait();
}

}  // namespace kam
