#include "session/time_budget.h"

#include <algorithm>

#include "platform/clock.h"

namespace kestrix {

namespace {

// One more move of ours is reckoned due for every this many empty cells.
constexpr int64_t EMPTY_CELLS_PER_MOVE = 12;
// Kept back from the turn limit for reading the move, answering and the
// manager's own delays.
constexpr int64_t TURN_RESERVE_MS = 100;
// The least budget, and the smaller one once the time left is short.
constexpr int64_t MIN_BUDGET_MS = 100;
constexpr int64_t SHORT_TIME_MS = 3000;
constexpr int64_t SHORT_TIME_MIN_BUDGET_MS = 10;

}  // namespace

int32_t moveBudget(int32_t emptyCells, int32_t timeLeft, int32_t timeoutTurn) {
  // The count of moves due is made odd: at least one on a nearly full board,
  // and one more than the cells give when they give an even count, which
  // holds a little more time back.
  const int64_t movesDue = (int64_t{emptyCells} / EMPTY_CELLS_PER_MOVE) | 1;
  const int64_t share = int64_t{timeLeft} / movesDue;
  const int64_t limited = std::min(share, int64_t{timeoutTurn} - TURN_RESERVE_MS);
  const int64_t floor = timeLeft > SHORT_TIME_MS ? MIN_BUDGET_MS : SHORT_TIME_MIN_BUDGET_MS;
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
