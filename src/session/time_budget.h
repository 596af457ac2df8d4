// Kestrix: how long the engine may think about a move.
//
// The budget shares the remaining match time out as if one more move were
// due for every 12 empty cells, keeps 100 ms of the turn limit in reserve,
// and never goes below 100 ms (10 ms once 3 s or less are left). It is
// computed in 64 bits and clamped, so no manager value can wrap it.
//
// The manager may change a time setting at any moment, even while the
// engine thinks: the command thread then computes a new budget from the
// unchanged start of the move, and the running search reads it at its next
// clock check.
#pragma once

#include <atomic>
#include <cstdint>

#include "session/session.h"

namespace kestrix {

// The budget formula alone, in milliseconds.
int32_t moveBudget(int32_t emptyCells, int32_t timeLeft, int32_t timeoutTurn);

// After an INFO time setting: a new budget from the current settings and
// board, measured from the unchanged start of the running move.
void updateMoveBudget(Session& session);

// INFO timeout_turn, timeout_match or time_left: the new value, then the
// new budget.
void changeTimeSetting(Session& session, std::atomic<int32_t>& setting, int32_t value);

// The worker, as its turn begins: the budget from the current settings and
// board, and the move's clock started now. It reads the settings, stores the
// budget, and reads again if an INFO time key was handled in between.
void startTurnClock(Session& session);

// The two halves of that: a budget computed from the settings as they stood
// at a count of changes (waiting out a change in progress), and its store,
// which is false when a change came in between and the budget must be read
// again.
struct TurnBudget {
  uint32_t changes;
  int32_t budget;
};
TurnBudget readTurnBudget(const Session& session);
bool storeTurnBudget(Session& session, const TurnBudget& budget);

}  // namespace kestrix
