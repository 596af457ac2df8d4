// Commands that arrive while the worker searches. These run under the thread
// sanitizer as well: every one of them has the command thread and the worker
// touching the session at the same time.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "../support/dialogue.h"
#include "session/time_budget.h"

namespace kestrix {
namespace {

using testing::EngineTest;
using testing::isMoveLine;
using testing::Lines;
using Clock = std::chrono::steady_clock;

// Two stones each, nothing forced: the engine deepens for its whole budget.
const std::string OPEN_POSITION = "BOARD\n7,7,1\n8,8,2\n6,8,1\n8,6,2\nDONE\n";
const std::set<std::string> OPEN_POSITION_STONES = {"7,7", "8,8", "6,8", "8,6"};

class CommandsWhileThinking : public EngineTest {
 protected:
  // Polls the captured lines until `done` holds or `ms` have passed.
  bool waitUntil(const std::function<bool(const Lines&)>& done, int ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline) {
      if (done(sink.lines())) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done(sink.lines());
  }
  static size_t moveCount(const Lines& lines) {
    size_t count = 0;
    for (const std::string& line : lines) count += isMoveLine(line) ? 1 : 0;
    return count;
  }
  // Waits for the n-th move line; returns how long that took.
  std::chrono::milliseconds waitForMove(size_t n, int ms) {
    const auto start = Clock::now();
    EXPECT_TRUE(waitUntil([n](const Lines& lines) { return moveCount(lines) >= n; }, ms))
        << "move " << n << " did not come";
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  }
};

TEST_F(CommandsWhileThinking, AboutAndTimeKeysAreAnsweredAtOnce) {
  startLive();
  send("START 15\nINFO timeout_turn 60000\n" + OPEN_POSITION);
  sync("");  // ABOUT, answered while the search runs on a 59.9 s budget
  EXPECT_EQ(moveCount(sink.lines()), 0u);
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 59900);

  // A shorter turn limit ends the running search, measured from its start.
  send("INFO timeout_turn 700\n");
  EXPECT_LT(waitForMove(1, 20000).count(), 5000);

  // The same for the match time: 1000 ms left, 218 empty cells.
  send("INFO timeout_turn 60000\nTURN 0,0\n");
  sync("");
  EXPECT_EQ(moveCount(sink.lines()), 1u);
  send("INFO time_left 1000\n");
  EXPECT_LT(waitForMove(2, 20000).count(), 5000);
  EXPECT_EQ(session().clock.moveTimeBudget.load(), moveBudget(218, 1000, 60000));
}

TEST_F(CommandsWhileThinking, EndWaitsForTheSearchAndItsMove) {
  startLive();
  send("START 15\nINFO timeout_turn 800\n" + OPEN_POSITION + "END\n");
  live.join();
  // END returned only after the turn, with the move written last.
  EXPECT_EQ(status, 0);
  EXPECT_EQ(linesAtReturn, 2u);
  const Lines lines = sink.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(isMoveLine(lines[1]));
  EXPECT_FALSE(OPEN_POSITION_STONES.count(lines[1]));
  EXPECT_EQ(session().table.entries, &session().table.builtIn);  // released after the turn
}

TEST_F(CommandsWhileThinking, BurstQueuedBehindAMoveRequestRunsInOrder) {
  startLive();
  send("START 15\nINFO timeout_turn 500\n" + OPEN_POSITION +
       "ABOUT\nINFO time_left 100000\nTAKEBACK 7,7\nTURN 9,9\nRESTART\nABOUT\nPLAY 1,1\nEND\n");
  live.join();
  const Lines lines = sink.lines();
  ASSERT_EQ(lines.size(), 8u) << ::testing::PrintToString(lines);
  // ABOUT and INFO were taken at once; the board commands waited for the
  // move, and the second move request for the takeback.
  EXPECT_EQ(lines[0], "OK");
  EXPECT_EQ(lines[1].rfind("name=\"Kestrix\"", 0), 0u);
  EXPECT_TRUE(isMoveLine(lines[2]));
  EXPECT_FALSE(OPEN_POSITION_STONES.count(lines[2]));
  EXPECT_EQ(lines[3], "OK");
  EXPECT_TRUE(isMoveLine(lines[4]));
  EXPECT_NE(lines[4], "9,9");
  EXPECT_NE(lines[4], lines[2]);
  EXPECT_EQ(lines[5], "OK");
  EXPECT_EQ(lines[6], lines[1]);
  EXPECT_EQ(lines[7], "1,1");
  EXPECT_EQ(session().board.count(CELL_OWN), 1);
  EXPECT_EQ(session().board.cells[1][1], CELL_OWN);
  EXPECT_EQ(session().board.count(CELL_EMPTY), 224);
}

// The time key comes in the same write as the move request, so it is read
// while the worker is still waking up or has only just started its clock.
// Whichever happens first, the turn must end on the new limit. Each round
// takes both stones back, so every search starts from the same open position.
TEST_F(CommandsWhileThinking, TimeKeysRightAfterTurnReachThatTurn) {
  startLive();
  send("START 15\nINFO timeout_turn 300\n");
  sync(OPEN_POSITION);
  waitForMove(1, 20000);
  std::string engineMove = sink.lines().back();
  sync("TAKEBACK " + engineMove + "\n");
  const std::string keys[3] = {"INFO timeout_turn 300\n", "INFO time_left 1000\n",
                               "INFO timeout_match 2000\n"};
  for (int round = 0; round < 12; ++round) {
    // Back to a long turn and no match limit before each round.
    send("INFO timeout_turn 60000\nINFO timeout_match 0\nINFO time_left 2147483647\n");
    const std::string turn = std::to_string(round % 2 == 0 ? 0 : 14) + "," + std::to_string(round);
    send("TURN " + turn + "\n" + keys[round % 3]);
    EXPECT_LT(waitForMove(static_cast<size_t>(round) + 2, 20000).count(), 5000) << round;
    engineMove = sink.lines().back();
    ASSERT_TRUE(isMoveLine(engineMove));
    sync("TAKEBACK " + engineMove + "\nTAKEBACK " + turn + "\n");
  }
  EXPECT_EQ(session().board.count(CELL_EMPTY), 221);
}

}  // namespace
}  // namespace kestrix
