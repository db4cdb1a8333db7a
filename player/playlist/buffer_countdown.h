// The start value of the buffering overlay's countdown: a random number of seconds from 5 up to
// the configured buffering time plus 4, so the overlay never ends at the same moment twice.
#pragma once

#include <random>
#include <string_view>

namespace kam::playlist {

// Source of random fractions in [0, 1).
class RandomFraction {
 public:
  virtual ~RandomFraction() = default;
  virtual double Next() = 0;
};

// Seeded from the clock at every draw, so each playback start draws afresh.
class ClockSeededRandom : public RandomFraction {
 public:
  double Next() override;

 private:
  std::mt19937_64 engine_;
};

// floor(buffering time x r) + 5, with r in [0, 1). The buffering time da is decimal text; text that
// is not a number, a negative number and infinity count as 0. A countdown that started below 1
// would never reach 0 and keep the overlay over the player for good.
int BufferSecondsFor(std::string_view da, double r);

}  // namespace kam::playlist
