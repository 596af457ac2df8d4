#include <gtest/gtest.h>

#include <memory>

#include "session/time_budget.h"

namespace kestrix {
namespace {

TEST(MoveBudget, SharesTheMatchTimeAndKeepsTheReserve) {
  const struct {
    int32_t emptyCells, timeLeft, timeoutTurn, budget;
  } budgets[] = {
      // clang-format off
      // A share of the time left (a move due per 12 empty cells, made odd), within
      // the turn limit less 100 ms, at least 100 ms (10 with 3 s or less left).
      {225, 86400000, 5000, 4900}, {200, 60000, 5000, 3529}, {100, 2000, 5000, 222},
      {20, 500, 5000, 500}, {225, 60000, 0, 100}, {225, 3000, 0, 10}, {225, 60000, INT32_MIN, 100},
      {225, INT32_MIN, INT32_MAX, 10}, {5, INT32_MAX, INT32_MAX, INT32_MAX - 100},
      // clang-format on
  };
  for (const auto& b : budgets) {
    EXPECT_EQ(moveBudget(b.emptyCells, b.timeLeft, b.timeoutTurn), b.budget)
        << b.emptyCells << " " << b.timeLeft << " " << b.timeoutTurn;
  }
}

// The command thread stores a new limit and budget between the worker's read
// of the old limit and its own store: the worker must notice and read again.
TEST(TimeSettings, AChangeBetweenTheWorkersReadAndStoreIsNotLost) {
  auto session = std::make_unique<Session>();
  setupBoard(*session, 15, 15);
  SessionSettings& settings = session->settings;
  settings.timeout_turn = 60000;
  settings.timeout_match = 0;
  settings.time_left = INT32_MAX;
  const TurnBudget before = readTurnBudget(*session);
  EXPECT_EQ(before.budget, 59900);
  changeTimeSetting(*session, settings.timeout_turn, 300);
  const std::atomic<int32_t>& budget = session->clock.moveTimeBudget;
  EXPECT_EQ(budget, 200);
  EXPECT_FALSE(storeTurnBudget(*session, before));
  startTurnClock(*session);
  EXPECT_EQ(budget, 200);
  EXPECT_TRUE(storeTurnBudget(*session, readTurnBudget(*session)));
  EXPECT_EQ(budget, 200);
}

}  // namespace
}  // namespace kestrix
