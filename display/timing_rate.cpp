#include "display/timing_rate.h"

#include <cmath>
#include <limits>

namespace {

float RoundHalfToEven(float value) {
  const float lower = std::floor(value);
  const float fraction = value - lower;
  if (fraction > 0.5f) return lower + 1.0f;
  if (fraction < 0.5f) return lower;
  return std::fmod(lower, 2.0f) == 0.0f ? lower : lower + 1.0f;
}

}  // namespace

DWORD TimingRefreshRate(std::uint64_t pixelClockHz, DWORD horizontalTotal, DWORD verticalTotal) {
  // A DisplayID clock reaches 167 GHz, past 32 bits.
  const std::uint64_t lineRate = horizontalTotal == 0 ? 0 : pixelClockHz / horizontalTotal;
  const float frameRate =
      verticalTotal == 0 ? 0.0f : static_cast<float>(lineRate) / static_cast<float>(verticalTotal);
  const float rounded = RoundHalfToEven(frameRate);
  // Converting a float past the target's range is undefined.
  constexpr float kPastLargest = 4294967296.0f;
  if (rounded >= kPastLargest) return std::numeric_limits<DWORD>::max();
  return static_cast<DWORD>(rounded);
}
