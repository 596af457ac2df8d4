#include "session/move_choice.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kestrix {
namespace {

struct Stone {
  int32_t x, y;
  uint8_t value;  // CELL_OWN, CELL_OPPONENT or CELL_WIN_MARK
};
constexpr uint8_t OWN = CELL_OWN, OPP = CELL_OPPONENT, MARK = CELL_WIN_MARK;

class MoveChoice : public ::testing::Test {
 protected:
  void SetUp() override { initSession(*session); }

  // A board with these stones, quick searches, the order drawn from `seed`.
  void board(int32_t width, int32_t height, const std::vector<Stone>& stones, uint32_t seed = 1) {
    ASSERT_EQ(setupBoard(*session, width, height), BoardSetup::Done);
    for (const auto& [x, y, value] : stones) ASSERT_TRUE(recordStone(*session, x, y, value));
    session->random.seed(seed);
    session->settings.timeout_turn = 100;
    session->settings.time_left = 1000;
  }
  std::string play() {
    const TurnMove move = playTurn(*session);
    return move.played ? std::to_string(move.x) + "," + std::to_string(move.y) : "none";
  }

  std::unique_ptr<Session> session = std::make_unique<Session>();
};

TEST_F(MoveChoice, OpeningSquaresOverEveryDrawnOrder) {
  const struct {
    int32_t width, height;
    std::vector<Stone> stones;
    std::set<std::string> answers;
  } openings[] = {
      // clang-format off
      // The innermost square of the drawn order: the centre, one of the four
      // middle squares, or on a rectangle either end of the middle strip.
      {15, 15, {}, {"7,7"}},
      {20, 20, {}, {"9,9", "10,9", "9,10", "10,10"}},
      {20, 10, {}, {"4,4", "5,4", "4,5", "5,5", "14,4", "15,4", "14,5", "15,5"}},
      {10, 20, {}, {"4,4", "5,4", "4,5", "5,5", "4,14", "5,14", "4,15", "5,15"}},
      {24, 13, {}, {"6,6", "17,6"}},
      // Next to a lone stone, along the drawn order; a marked centre is not played.
      {15, 15, {{7, 7, OPP}}, {"6,7", "7,6", "8,7", "7,8"}},
      {15, 15, {{7, 7, MARK}}, {"6,7", "7,6", "8,7", "7,8"}},
      // Neighbours by coordinates: beside (1,5) only column 0 is free, and
      // (14,4), one index from (0,5), is not beside it.
      {15, 15, {{1, 5, OPP}, {1, 4, MARK}, {2, 4, MARK}, {2, 5, MARK}, {2, 6, MARK}, {1, 6, MARK}}, {"0,4", "0,6"}},
      {15, 15, {{0, 5, OPP}, {0, 4, MARK}, {1, 4, MARK}, {1, 5, MARK}, {1, 6, MARK}, {0, 6, MARK}}, {"7,7"}},
      // No free square beside the stone: the order's first, also on 32 x 32.
      {5, 5, {{0, 0, OPP}, {1, 0, MARK}, {0, 1, MARK}, {1, 1, MARK}, {2, 2, MARK}}, {"1,2", "2,1", "3,2", "2,3"}},
      {32, 32, {{31, 31, OPP}, {30, 31, MARK}, {31, 30, MARK}, {30, 30, MARK}}, {"15,15", "16,15", "15,16", "16,16"}},
      // More than two stones: no opening, the search completes the five.
      {15, 15, {{3, 3, OWN}, {4, 3, OWN}, {5, 3, OWN}, {6, 3, OWN}, {3, 6, OPP}, {5, 6, OPP}, {7, 6, OPP}}, {"2,3"}},
      // clang-format on
  };
  for (const auto& opening : openings) {
    std::set<std::string> seen;
    for (uint32_t seed = 0; seed < 64; ++seed) {
      board(opening.width, opening.height, opening.stones, seed);
      seen.insert(play());
    }
    EXPECT_EQ(seen, opening.answers)
        << opening.width << "x" << opening.height << ", " << opening.stones.size() << " stones";
  }
}

// The side with as many stones as the other moved first; marks are no one's.
TEST_F(MoveChoice, StonesAreColouredByTheirCounts) {
  const std::pair<std::vector<Stone>, int32_t> boards[] = {
      {{}, BLACK},
      {{{3, 3, OPP}, {5, 5, MARK}}, WHITE},
      {{{1, 1, OWN}, {2, 1, OWN}, {9, 9, OPP}}, BLACK},
      {{{1, 1, OWN}, {9, 9, OPP}, {9, 8, OPP}, {3, 3, OWN}}, BLACK}};
  for (const auto& [stones, side] : boards) {
    board(15, 15, stones);
    play();
    EXPECT_EQ(session->record.sideToMove, side);
    for (const auto& [x, y, value] : stones) {
      const int32_t colour = value == MARK ? NEUTRAL : value == OWN ? side : opponentOf(side);
      EXPECT_EQ(session->record.position.cells[y * 15 + x].stone, colour);
    }
  }
}

TEST_F(MoveChoice, EveryMoveTakesAnEmptyCellUntilNoneIsLeft) {
  // Opening, searched and fallback moves alike, to the last cell.
  board(5, 5, {});
  for (int move = 0; move < 25; ++move) {
    ASSERT_NE(play(), "none");
    ASSERT_EQ(session->board.count(CELL_OWN), move + 1);
    ASSERT_EQ(session->board.count(CELL_EMPTY), 24 - move);
  }
  EXPECT_EQ(play(), "none");
}

}  // namespace
}  // namespace kestrix
