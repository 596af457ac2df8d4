#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/clock.h"
#include "session/time_budget.h"

namespace kestrix {
namespace {

TEST(MoveBudget, SharesTheMatchTimeAndKeepsTheReserve) {
  const struct {
    int32_t emptyCells, timeLeft, timeoutTurn, budget;
  } budgets[] = {
      // clang-format off
      // A share of the time left, one more move due per 12 empty cells and
      // the count made odd, within the turn limit less 100 ms, at least 100
      // ms (10 with 3 s or less left); 64-bit arithmetic: nothing wraps.
      {225, 86400000, 5000, 4900}, {200, 60000, 5000, 3529}, {100, 2000, 5000, 222},
      {20, 500, 5000, 500}, {225, 60000, 0, 100}, {225, 3000, 0, 10}, {225, 60000, INT32_MIN, 100},
      {225, INT32_MIN, INT32_MAX, 10}, {5, INT32_MAX, INT32_MAX, INT32_MAX - 100},
      // clang-format on
  };
  for (const auto& b : budgets) {
    EXPECT_EQ(moveBudget(b.emptyCells, b.timeLeft, b.timeoutTurn), b.budget)
        << b.emptyCells << " " << b.timeLeft << " " << b.timeoutTurn;
  }
  MoveClock clock;  // the largest budget's deadline is far, not wrapped
  clock.moveStartTime = clockMs();
  clock.moveTimeBudget = INT32_MAX - 100;
  EXPECT_GT(timeRemaining(clock), int64_t{INT32_MAX} - 200);
  EXPECT_FALSE(timeIsUp(clock));
}

class TimeSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    setupBoard(*session, 15, 15);
    settings.timeout_turn.store(60000);
    settings.timeout_match.store(0);
    settings.time_left.store(INT32_MAX);
  }
  int32_t budget() { return session->clock.moveTimeBudget.load(); }

  std::unique_ptr<Session> session = std::make_unique<Session>();
  SessionSettings& settings = session->settings;
};

// The command thread stores a new limit and budget between the worker's read
// of the old limit and its own store: the worker must notice and read again.
TEST_F(TimeSettings, AChangeBetweenTheWorkersReadAndStoreIsNotLost) {
  const TurnBudget before = readTurnBudget(*session);
  EXPECT_EQ(before.budget, 59900);
  changeTimeSetting(*session, settings.timeout_turn, 300);
  EXPECT_EQ(budget(), 200);
  EXPECT_FALSE(storeTurnBudget(*session, before));
  startTurnClock(*session);
  EXPECT_EQ(budget(), 200);
  const TurnBudget after = readTurnBudget(*session);
  EXPECT_TRUE(storeTurnBudget(*session, after));
  EXPECT_EQ(budget(), 200);
}

// A turn that begins in the middle of a change waits for it.
TEST_F(TimeSettings, ATurnStartingDuringAChangeWaitsForIt) {
  settings.timeChanges.fetch_add(1);  // the command thread is inside a change
  std::atomic<bool> started{false};
  std::thread worker([&] {
    startTurnClock(*session);
    started.store(true);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(started.load());
  settings.time_left.store(1000);
  updateMoveBudget(*session);
  settings.timeChanges.fetch_add(1);
  worker.join();
  EXPECT_EQ(budget(), moveBudget(225, 1000, 60000));
}

}  // namespace
}  // namespace kestrix
