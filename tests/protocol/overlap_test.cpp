// Time keys that arrive while the worker searches, or as it starts. These
// also run under the thread sanitizer; what they check is the effect on the
// running search, which no check of the answer lines alone can see.
#include <gtest/gtest.h>

#include <string>

#include "../support/dialogue.h"

namespace kestrix {
namespace {

using testing::isMoveLine;
using testing::OPEN_POSITION;
using CommandsWhileThinking = testing::EngineTest;

TEST_F(CommandsWhileThinking, AboutAndTimeKeysAreAnsweredAtOnce) {
  startLive();
  pipe.send("START 15\nINFO timeout_turn 60000\n" + OPEN_POSITION);
  sync("");  // ABOUT, answered while the search runs on a 59.9 s budget
  EXPECT_EQ(sink.count(isMoveLine), 0u);
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 59900);
  // A shorter turn limit ends the running search, measured from its start.
  pipe.send("INFO timeout_turn 700\n");
  EXPECT_LT(waitFor(1, isMoveLine), 5000);
}

// The time key comes in the same write as the move request, so it is read
// while the worker is still waking up or has only just started its clock;
// either way the turn must end on the new limit. Each round takes both
// stones back, so every search starts from the same open position.
TEST_F(CommandsWhileThinking, TimeKeysRightAfterTurnReachThatTurn) {
  startLive();
  pipe.send("START 15\nINFO timeout_turn 300\n");
  sync(OPEN_POSITION);
  waitFor(1, isMoveLine);
  sync("TAKEBACK " + sink.lines().back() + "\n");
  const std::string keys[3] = {"INFO timeout_turn 300\n", "INFO time_left 1000\n",
                               "INFO timeout_match 2000\n"};
  for (size_t round = 0; round < 12; ++round) {
    pipe.send("INFO timeout_turn 60000\nINFO timeout_match 0\nINFO time_left 2147483647\n");
    const std::string turn = std::to_string(round % 2 == 0 ? 0 : 14) + "," + std::to_string(round);
    pipe.send("TURN " + turn + "\n" + keys[round % 3]);
    EXPECT_LT(waitFor(round + 2, isMoveLine), 5000) << round;
    const std::string engineMove = sink.lines().back();
    ASSERT_TRUE(isMoveLine(engineMove));
    sync("TAKEBACK " + engineMove + "\nTAKEBACK " + turn + "\n");
  }
  EXPECT_EQ(session().board.count(CELL_EMPTY), 221);
}

}  // namespace
}  // namespace kestrix
