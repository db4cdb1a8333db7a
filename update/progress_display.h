// What the updater window makes of one OnProgress event: the bar's value and the text of the
// percentage label.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kam::update {

struct ProgressDisplay {
  float percent = 0;  // for the bar, which clamps it to 0..100
  std::string label;  // "0.00" pattern followed by "%", not clamped
};

// Nothing when progress or total is 0 (the size is not known yet): the bar and the label keep
// what they show.
std::optional<ProgressDisplay> DisplayForProgress(std::int32_t progress, std::int32_t max_progress,
                                                  char decimal_point = '.');

// percent with two decimals and the given decimal separator, followed by "%" ("50.00%").
std::string PercentText(float percent, char decimal_point = '.');

}  // namespace kam::update
