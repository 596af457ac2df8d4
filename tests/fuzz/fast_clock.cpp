// The fuzz build's platform clock: real time, 25 times fast, so that a 10 ms
// budget passes in well under a millisecond and a dozen moves take a few.
#include <chrono>

#include "platform/clock.h"

namespace kestrix {

namespace {
constexpr int64_t SPEED_UP = 25;
const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();
}  // namespace

int64_t clockMs() {
  const auto elapsed = std::chrono::steady_clock::now() - processStart;
  return SPEED_UP * std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() / 1000;
}

}  // namespace kestrix
