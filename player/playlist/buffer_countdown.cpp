#include "player/playlist/buffer_countdown.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>

namespace kam::playlist {
namespace {

constexpr int kMinimumSeconds = 5;

// The decimal number the whole text spells, blanks around it allowed; 0 for anything else.
double BufferingTime(std::string_view da) {
  const std::size_t first = da.find_first_not_of(" \t");
  if (first == std::string_view::npos) return 0;
  const std::size_t last = da.find_last_not_of(" \t");
  da = da.substr(first, last - first + 1);
  if (!da.empty() && da.front() == '+') da.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(da.data(), da.data() + da.size(), value);
  if (ec != std::errc() || end != da.data() + da.size()) return 0;
  if (!std::isfinite(value) || value < 0) return 0;
  return value;
}

}  // namespace

double ClockSeededRandom::Next() {
  engine_.seed(static_cast<std::mt19937_64::result_type>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
  return std::uniform_real_distribution<double>(0.0, 1.0)(engine_);
}

int BufferSecondsFor(std::string_view da, double r) {
  if (!(r >= 0 && r < 1)) r = 0;
  const double extra = std::floor(BufferingTime(da) * r);
  constexpr double kMaxExtra = std::numeric_limits<int>::max() - kMinimumSeconds;
  return kMinimumSeconds + static_cast<int>(extra < kMaxExtra ? extra : kMaxExtra);
}

}  // namespace kam::playlist
