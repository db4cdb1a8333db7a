#include "player/browse/media_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kam {
namespace {

bool ReadFlag(std::string_view v, bool& out) {
  if (v == "1") {
    out = true;
  } else if (v == "0") {
    out = false;
  } else {
    return false;
  }
  return true;
}

bool ReadNumber(std::string_view v, double& out) {
  if (v == "inf") {
    out = std::numeric_limits<double>::infinity();
    return true;
  }
  if (v == "nan") {
    out = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  if (v.empty() || v.size() > 32) return false;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
  return ec == std::errc() && end == v.data() + v.size() && std::isfinite(out);
}

bool ReadElement(std::string_view v, std::uint32_t& out) {
  if (v.empty()) return false;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
  return ec == std::errc() && end == v.data() + v.size();
}

// How long a medium counts for the choice of the main one: a stream without a known end counts
// as the longest.
double Length(const MediaSample& s) {
  return std::isfinite(s.duration_s) && s.duration_s > 0 ? s.duration_s
                                                         : std::numeric_limits<double>::infinity();
}

}  // namespace

bool HasKnownDuration(const MediaReport& report) {
  return std::isfinite(report.duration_s) && report.duration_s > 0;
}

std::optional<MediaSample> ParseMediaSample(std::string_view text) {
  if (text.size() > kMaxMediaRecordBytes) return std::nullopt;
  MediaSample s;
  bool has_element = false;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string_view field = text.substr(0, end);
    text.remove_prefix(end == text.size() ? end : end + 1);
    const std::size_t eq = field.find('=');
    if (eq == std::string_view::npos) {
      if (field.empty()) continue;
      return std::nullopt;
    }
    const std::string_view key = field.substr(0, eq);
    const std::string_view value = field.substr(eq + 1);
    bool ok = true;
    if (key == "n") {
      ok = has_element = ReadElement(value, s.element);
    } else if (key == "e") {
      s.event.assign(value.substr(0, 32));
    } else if (key == "p") {
      ok = ReadFlag(value, s.paused);
    } else if (key == "x") {
      ok = ReadFlag(value, s.ended);
    } else if (key == "s") {
      ok = ReadFlag(value, s.seeking);
    } else if (key == "v") {
      ok = ReadFlag(value, s.has_video);
    } else if (key == "y") {
      ok = ReadFlag(value, s.played);
    } else if (key == "r") {
      ok = ReadFlag(value, s.emptied);
    } else if (key == "t") {
      ok = ReadNumber(value, s.position_s) && !std::isnan(s.position_s);
    } else if (key == "d") {
      ok = ReadNumber(value, s.duration_s);
    }
    if (!ok) return std::nullopt;
  }
  if (!has_element) return std::nullopt;
  if (!std::isfinite(s.position_s) || s.position_s < 0) s.position_s = 0;
  return s;
}

bool MainMedium::Update(std::string_view document, const MediaSample& sample) {
  ++reports_;
  auto it = std::find_if(media_.begin(), media_.end(), [&](const Medium& m) {
    return m.element == sample.element && m.document == document;
  });
  if (it == media_.end()) {
    if (media_.size() >= kMaxMedia) {
      // Forget the one heard of least recently, unless that is the main one.
      auto oldest = media_.end();
      for (auto m = media_.begin(); m != media_.end(); ++m) {
        if (m->number == main_number_) continue;
        if (oldest == media_.end() || m->heard < oldest->heard) oldest = m;
      }
      if (oldest != media_.end()) media_.erase(oldest);
    }
    media_.push_back(Medium{std::string(document), sample.element, next_number_++, 0, {}});
    it = media_.end() - 1;
  }
  it->heard = reports_;
  // Once played, a medium stays a candidate until its source is gone.
  const bool played = sample.played || (it->sample.played && !sample.emptied);
  it->sample = sample;
  it->sample.played = played && !sample.emptied;
  const MediaReport before = report_;
  Choose();
  return !(report_ == before);
}

bool MainMedium::Clear() {
  media_.clear();
  main_number_ = 0;
  const bool had = report_.medium != 0;
  report_ = MediaReport{};
  return had;
}

std::optional<MainMedium::Where> MainMedium::main() const {
  for (const Medium& m : media_) {
    if (m.number == main_number_) return Where{m.document, m.element};
  }
  return std::nullopt;
}

void MainMedium::Choose() {
  const Medium* best = nullptr;
  auto better = [](const Medium& a, const Medium& b) {
    if (a.sample.has_video != b.sample.has_video) return a.sample.has_video;
    return Length(a.sample) > Length(b.sample);
  };
  for (const Medium& m : media_) {
    if (!m.sample.played) continue;
    // The current main one keeps its place against an equal one.
    if (!best || better(m, *best) || (!better(*best, m) && m.number == main_number_)) best = &m;
  }
  if (!best) {
    main_number_ = 0;
    report_ = MediaReport{};
    return;
  }
  main_number_ = best->number;
  const MediaSample& s = best->sample;
  MediaReport r;
  r.state = s.ended ? MediaState::kEnded : s.paused ? MediaState::kPaused : MediaState::kPlaying;
  r.has_video = s.has_video;
  r.seeking = s.seeking;
  r.position_s = s.position_s;
  r.duration_s = std::isnan(s.duration_s) ? -1 : s.duration_s;
  r.medium = best->number;
  report_ = r;
}

}  // namespace kam
