#include "update/progress_display.h"

#include <charconv>
#include <cmath>

namespace kam::update {

std::string PercentText(float percent, char decimal_point) {
  double value = static_cast<double>(percent);
  if (!std::isfinite(value)) value = 0;
  // Independent of the C locale; the separator is the caller's choice.
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
  std::string result(text, error == std::errc() ? end : text);
  for (char& c : result) {
    if (c == '.') c = decimal_point;
  }
  return result + "%";
}

std::optional<ProgressDisplay> DisplayForProgress(std::int32_t progress, std::int32_t max_progress,
                                                  char decimal_point) {
  if (progress == 0 || max_progress == 0) return std::nullopt;
  // Computed in double precision, kept in single precision.
  float percent =
      static_cast<float>(static_cast<double>(progress) / static_cast<double>(max_progress) * 100.0);
  return ProgressDisplay{percent, PercentText(percent, decimal_point)};
}

}  // namespace kam::update
