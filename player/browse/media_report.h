// What a pane's main medium does: the longest <video> that has played, in the top document or in
// any of its frames (audio only where no video has played). The pane's page script reports each
// medium's changes as a short record (ParseMediaSample); MainMedium picks the main one of them
// and says when its report changed. Whoever plays, pauses or follows the video (screen kept
// awake, media keys, the next episode, resume) listens to that one report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kam {

enum class MediaState { kNone, kPlaying, kPaused, kEnded };

struct MediaReport {
  MediaState state = MediaState::kNone;
  bool has_video = false;  // false for audio, and for a <video> whose stream has no picture
  bool seeking = false;    // the medium seeks now (the user drags its bar, or a seek was asked)
  double position_s = 0;
  double duration_s = -1;  // negative or NaN: unknown; +infinity: a live stream
  // Which medium this is: another number when another element (or the next page's) became the
  // main medium; 0 when there is none.
  std::uint64_t medium = 0;

  bool operator==(const MediaReport&) const = default;
};

// A finite, positive duration: a medium one can seek in and that ends.
bool HasKnownDuration(const MediaReport& report);

// What a pane can be asked to do to its main medium.
struct MediaCommand {
  enum Kind { kPlay, kPause, kStop, kSeek } kind = kPlay;
  double position_s = 0;  // for kSeek
};

// One medium element's state, as a document's page script reports it after one of its events.
struct MediaSample {
  std::uint32_t element = 0;  // its number in its document
  std::string event;          // the event that made the report (play, pause, ended, ...)
  bool paused = true;
  bool ended = false;
  bool seeking = false;
  bool has_video = false;
  bool played = false;   // it has played (some of it has been shown)
  bool emptied = false;  // its source is gone (the element was reset or removed)
  double position_s = 0;
  double duration_s = -1;
};

// Records longer than this are refused whole.
inline constexpr std::size_t kMaxMediaRecordBytes = 512;

// Reads a record "key=value;key=value..." of the page script: n element number (required), e
// event, p paused, x ended, s seeking, v has video, y played, r emptied (0/1), t position, d
// duration (a decimal number, "inf" or "nan"). Unknown keys are skipped; a record that is too
// long, lacks n, or holds a value that does not read gives nothing.
std::optional<MediaSample> ParseMediaSample(std::string_view text);

// The main medium of one pane, from the reports of all its documents.
class MainMedium {
 public:
  // At most this many media are followed; beyond, the one heard of least recently is dropped.
  static constexpr std::size_t kMaxMedia = 64;

  // A report of document (its script's name for it). True when the main medium's report changed:
  // another medium became the main one, or the main one's state, position or duration moved.
  bool Update(std::string_view document, const MediaSample& sample);
  // The pane's top document is replaced: every medium is gone. True when there was a main one.
  bool Clear();

  const MediaReport& report() const { return report_; }
  // Where the main medium lives, for commands; nothing when there is none.
  struct Where {
    std::string document;
    std::uint32_t element = 0;
  };
  std::optional<Where> main() const;

 private:
  struct Medium {
    std::string document;
    std::uint32_t element = 0;
    std::uint64_t number = 0;  // MediaReport::medium
    std::uint64_t heard = 0;   // when last reported, in reports
    MediaSample sample;
  };
  void Choose();

  std::vector<Medium> media_;
  std::uint64_t next_number_ = 1;
  std::uint64_t reports_ = 0;
  std::uint64_t main_number_ = 0;
  MediaReport report_;
};

}  // namespace kam
