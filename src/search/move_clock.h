// Kestrix: the clock of the move being chosen.
//
// Whoever runs a search sets the start and the budget before it begins; in
// the engine the command thread may rewrite the budget at any moment (INFO
// time keys), and a running search reads the new value at its next clock
// check. Both are atomics with
// relaxed ordering: each is a single value read and written whole, and
// nothing else is published through them. The deadline is computed in 64
// bits, so no budget can wrap it.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"

namespace kestrix {

struct MoveClock {
  std::atomic<int64_t> moveStartTime{0};
  std::atomic<int32_t> moveTimeBudget{0};
};

inline int64_t moveDeadline(const MoveClock& clock) {
  return clock.moveStartTime.load(std::memory_order_relaxed) +
         clock.moveTimeBudget.load(std::memory_order_relaxed);
}

// Milliseconds left before the deadline; negative once it has passed.
inline int64_t timeRemaining(const MoveClock& clock) {
  return moveDeadline(clock) - clockMs();
}

inline bool timeIsUp(const MoveClock& clock) {
  return clockMs() > moveDeadline(clock);
}

}  // namespace kestrix
