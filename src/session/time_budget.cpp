#include "session/time_budget.h"

#include <algorithm>

#include "platform/clock.h"

namespace kestrix {

int32_t moveBudget(int32_t emptyCells, int32_t timeLeft, int32_t timeoutTurn) {
  const int64_t divisor = (int64_t{emptyCells} / 12) | 1;
  const int64_t share = int64_t{timeLeft} / divisor;
  const int64_t limited = std::min(share, int64_t{timeoutTurn} - 100);
  const int64_t floor = timeLeft > 3000 ? 100 : 10;
  const int64_t budget = std::max(floor, limited);
  return static_cast<int32_t>(std::min<int64_t>(budget, INT32_MAX));
}

void updateMoveBudget(Session& session) {
  SessionSettings& settings = session.settings;
  const int32_t match = settings.timeout_match.load(std::memory_order_relaxed);
  int32_t left = settings.time_left.load(std::memory_order_relaxed);
  // A match limit of 0 means none: it must not take the time left away.
  if (match > 0 && left > match) {
    left = match;
    settings.time_left.store(left, std::memory_order_relaxed);
  }
  const int32_t budget = moveBudget(session.board.count(CELL_EMPTY), left,
                                    settings.timeout_turn.load(std::memory_order_relaxed));
  session.clock.moveTimeBudget.store(budget);
}

// The change counter and the budget use sequentially consistent order: the
// worker's store of its budget must not slip past its second look at the
// counter, or a change made in between would still be overwritten.
void changeTimeSetting(Session& session, std::atomic<int32_t>& setting, int32_t value) {
  std::atomic<uint32_t>& changes = session.settings.timeChanges;
  changes.fetch_add(1);
  setting.store(value, std::memory_order_relaxed);
  updateMoveBudget(session);
  changes.fetch_add(1);
}

TurnBudget readTurnBudget(const Session& session) {
  const SessionSettings& settings = session.settings;
  for (;;) {
    const uint32_t changes = settings.timeChanges.load();
    if (changes % 2 != 0) continue;  // a change is being made: it takes a moment
    return {changes, moveBudget(session.board.count(CELL_EMPTY),
                                settings.time_left.load(std::memory_order_relaxed),
                                settings.timeout_turn.load(std::memory_order_relaxed))};
  }
}

bool storeTurnBudget(Session& session, const TurnBudget& budget) {
  session.clock.moveTimeBudget.store(budget.budget);
  return session.settings.timeChanges.load() == budget.changes;
}

void startTurnClock(Session& session) {
  while (!storeTurnBudget(session, readTurnBudget(session))) {
  }
  session.clock.moveStartTime.store(clockMs(), std::memory_order_relaxed);
}

}  // namespace kestrix
