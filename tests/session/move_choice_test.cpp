#include "session/move_choice.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "platform/clock.h"
#include "session/time_budget.h"

namespace kestrix {
namespace {

TEST(MoveBudget, SharesTheMatchTimeAndKeepsTheReserve) {
  EXPECT_EQ(moveBudget(225, 86400000, 5000), 4900);
  EXPECT_EQ(moveBudget(200, 60000, 5000), 3529);
  EXPECT_EQ(moveBudget(100, 2000, 5000), 222);
  EXPECT_EQ(moveBudget(20, 500, 5000), 500);
  EXPECT_EQ(moveBudget(225, 60000, 0), 100);
  EXPECT_EQ(moveBudget(225, 3000, 0), 10);
  // 64-bit arithmetic: neither a wrapped turn limit nor a huge match time
  // can turn into a wrong budget.
  EXPECT_EQ(moveBudget(225, 60000, INT32_MIN), 100);
  EXPECT_EQ(moveBudget(225, INT32_MIN, INT32_MAX), 10);
  EXPECT_EQ(moveBudget(5, INT32_MAX, INT32_MAX), INT32_MAX - 100);

  MoveClock clock;
  clock.moveStartTime = clockMs();
  clock.moveTimeBudget = moveBudget(5, INT32_MAX, INT32_MAX);
  EXPECT_GT(timeRemaining(clock), int64_t{INT32_MAX} - 200);  // far, not wrapped
  EXPECT_FALSE(timeIsUp(clock));
}

// A session with a board; stones are put on it directly as the board
// commands would.
class MoveChoice : public ::testing::Test {
 protected:
  // A new board; the stream is then seeded with `seed`, because the board's
  // own seed is the calendar second, the same for a whole test.
  void board(int32_t width, int32_t height, uint32_t seed = 1) {
    setupBoard(*session, width, height);
    session->random.seed(seed);
    // Searched moves in a few milliseconds: these tests judge the choice, not
    // the play.
    session->settings.timeout_turn = 100;
    session->settings.time_left = 1000;
  }
  // The move as "x,y", or "none" on a full board.
  std::string play() {
    const TurnMove move = playTurn(*session);
    return move.played ? std::to_string(move.x) + "," + std::to_string(move.y) : "none";
  }
  int32_t stoneAt(int32_t x, int32_t y) {
    const Position& p = session->record.position;
    return p.cells[y * p.width + x].stone;
  }

  void SetUp() override { initSession(*session); }

  std::unique_ptr<Session> session = std::make_unique<Session>();
};

TEST_F(MoveChoice, OpeningOnEmptyBoardsIsTheCentre) {
  std::set<std::string> seen;
  for (int round = 0; round < 64; ++round) {
    board(15, 15, round);
    EXPECT_EQ(play(), "7,7");
    board(20, 20, round);
    seen.insert(play());
  }
  // Each of the four middle squares is the innermost square of two orders.
  EXPECT_EQ(seen, (std::set<std::string>{"9,9", "10,9", "9,10", "10,10"}));
}

TEST_F(MoveChoice, OpeningOnEmptyRectanglesIsAnEndOfTheMiddleStrip) {
  // A spiral walked in from a corner ends at one end of the middle strip,
  // which runs along the longer side: which end, and which of its cells,
  // depends on the order drawn.
  struct Rectangle {
    int32_t width, height;
    std::set<std::string> squares;
  };
  const Rectangle rectangles[] = {
      {20, 10, {"4,4", "5,4", "4,5", "5,5", "14,4", "15,4", "14,5", "15,5"}},
      {10, 20, {"4,4", "5,4", "4,5", "5,5", "4,14", "5,14", "4,15", "5,15"}},
      {24, 13, {"6,6", "17,6"}},
  };
  for (const Rectangle& r : rectangles) {
    std::set<std::string> seen;
    for (int round = 0; round < 64; ++round) {
      board(r.width, r.height, round);
      seen.insert(play());
    }
    EXPECT_EQ(seen, r.squares) << r.width << " x " << r.height;
  }
}

TEST_F(MoveChoice, OpeningAnswersNextToTheStone) {
  std::set<std::string> seen;
  for (int round = 0; round < 64; ++round) {
    board(15, 15, round);
    recordStone(*session, 7, 7, CELL_OPPONENT);
    seen.insert(play());
  }
  EXPECT_EQ(seen, (std::set<std::string>{"6,7", "7,6", "8,7", "7,8"}));
}

TEST_F(MoveChoice, NeighboursAreFoundByCoordinatesNotIndices) {
  // Every true neighbour of the stone on (0,5) is marked; (14,4) and the
  // other squares of column 14 are one index away but not beside it.
  board(15, 15);
  recordStone(*session, 0, 5, CELL_OPPONENT);
  for (const auto& [x, y] : {std::pair{0, 4}, {1, 4}, {1, 5}, {1, 6}, {0, 6}}) {
    recordStone(*session, x, y, CELL_WIN_MARK);
  }
  for (int round = 0; round < 16; ++round) {
    EXPECT_EQ(play(), "7,7");
    takeBack(*session, 7, 7);
  }
}

TEST_F(MoveChoice, StonesAreColouredByTheirCounts) {
  board(15, 15);
  playTurn(*session);  // no stones: the engine moved first
  EXPECT_EQ(session->record.sideToMove, BLACK);

  board(15, 15);
  recordStone(*session, 3, 3, CELL_OPPONENT);
  recordStone(*session, 5, 5, CELL_WIN_MARK);
  playTurn(*session);  // one stone fewer: second
  EXPECT_EQ(session->record.sideToMove, WHITE);
  EXPECT_EQ(stoneAt(3, 3), BLACK);
  EXPECT_EQ(stoneAt(5, 5), NEUTRAL);

  board(15, 15);
  recordStone(*session, 1, 1, CELL_OWN);
  recordStone(*session, 2, 1, CELL_OWN);
  recordStone(*session, 9, 9, CELL_OPPONENT);
  playTurn(*session);  // more stones than the opponent
  EXPECT_EQ(session->record.sideToMove, BLACK);
  EXPECT_EQ(stoneAt(1, 1), BLACK);
  EXPECT_EQ(stoneAt(9, 9), WHITE);
}

TEST_F(MoveChoice, EveryMoveIsRecordedOnAnEmptyCellUntilTheBoardIsFull) {
  board(5, 5);
  for (int move = 0; move < 25; ++move) {
    const std::string line = play();
    ASSERT_NE(line, "none");
    ASSERT_EQ(session->board.count(CELL_OWN), move + 1);
    ASSERT_EQ(session->board.count(CELL_EMPTY), 24 - move);
  }
  EXPECT_EQ(play(), "none");
  EXPECT_EQ(session->board.count(CELL_OWN), 25);
}

TEST_F(MoveChoice, OpeningNeverAnswersAMarkedCentre) {
  for (int round = 0; round < 32; ++round) {
    board(15, 15, round);
    recordStone(*session, 7, 7, CELL_WIN_MARK);
    const std::string line = play();
    EXPECT_NE(line, "7,7");
    EXPECT_NE(line, "none");
  }
}

TEST_F(MoveChoice, OpeningWithNoFreeNeighbourTakesTheFirstEmptySquare) {
  // A stone in a corner with its three neighbours marked, and the centre
  // marked too: the opening rule must neither fail nor answer the mark.
  board(5, 5);
  recordStone(*session, 0, 0, CELL_OPPONENT);
  for (const auto& [x, y] : {std::pair{1, 0}, {0, 1}, {1, 1}, {2, 2}}) {
    recordStone(*session, x, y, CELL_WIN_MARK);
  }
  const std::string line = play();
  ASSERT_NE(line, "none");
  EXPECT_EQ(session->board.count(CELL_OWN), 1);
  EXPECT_EQ(session->board.count(CELL_WIN_MARK), 4);
}

TEST_F(MoveChoice, FullBoardOfMarksIsNoSpace) {
  board(5, 5);
  recordStone(*session, 0, 0, CELL_OWN);
  recordStone(*session, 4, 4, CELL_OPPONENT);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      if (session->board.cells[y][x] == CELL_EMPTY) recordStone(*session, x, y, CELL_WIN_MARK);
    }
  }
  EXPECT_EQ(play(), "none");
  EXPECT_EQ(session->board.count(CELL_EMPTY), 0);
}

}  // namespace
}  // namespace kestrix
