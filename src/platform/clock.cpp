#include "platform/clock.h"

#include <chrono>

namespace kestrix {

namespace {
// Captured during static initialisation, before main runs.
const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();
}  // namespace

int64_t clockMs() {
  const auto elapsed = std::chrono::steady_clock::now() - processStart;
  return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

}  // namespace kestrix
