#include "threats/forbidden.h"

#include <gtest/gtest.h>

#include "test_records.h"

namespace kestrix {
namespace {

using testing::boardFromPicture;
using testing::PictureBoard;
using testing::RecordSnapshot;

// The test's answer, after checking that asking changed nothing.
bool forbidden(const PictureBoard& board, Square s) {
  const RecordSnapshot before(*board.record);
  const bool answer = isForbidden(*board.record, s);
  EXPECT_TRUE(before.matches(*board.record)) << "record changed by the test of " << s;
  return answer;
}

Square at(const PictureBoard& board, int32_t x, int32_t y) {
  return static_cast<Square>(y * board.record->position.width + x);
}

TEST(Forbidden, OverlinesAndDoubleFours) {
  const auto board =
      boardFromPicture(RULE_RENJU, {
                                       ".............",
                                       ".xxx1xx..xxx.",  // 1: six in a row
                                       ".............",
                                       ".xxxxxx......",  // a standing overline
                                       ".............",
                                       "...x.x2x.x...",  // 2: x.xxx.x, two fours in one line
                                       ".............",
                                       ".xxx3........",  // 3: open four twice
                                       "....x........",
                                       "....x........",
                                       "....x........",
                                       ".xxx4o.......",  // 4: a four and an open four
                                       ".............",
                                   });
  EXPECT_TRUE(forbidden(board, board.marked[1]));
  EXPECT_TRUE(forbidden(board, at(board, 3, 3)));
  EXPECT_TRUE(forbidden(board, board.marked[2]));
  EXPECT_TRUE(forbidden(board, board.marked[3]));
  EXPECT_TRUE(forbidden(board, board.marked[4]));
  // One four at a time is allowed.
  EXPECT_FALSE(forbidden(board, at(board, 8, 1)));
  EXPECT_FALSE(forbidden(board, at(board, 0, 7)));
  EXPECT_FALSE(forbidden(board, at(board, 12, 1)));
}

TEST(Forbidden, FiveOutweighsEveryProhibition) {
  // 1 makes an overline in its column and fours on both diagonals, and
  // either a five in its row or, with the row capped, nothing that saves it.
  for (const std::string_view row : {"xxxx1....", "oxxx1...."}) {
    const auto board = boardFromPicture(RULE_RENJU, {
                                                        "....x..x.",
                                                        "....x.x..",
                                                        "....xx...",
                                                        row,
                                                        "....xx...",
                                                        "....x.x..",
                                                        "....x..x.",
                                                    });
    EXPECT_EQ(forbidden(board, board.marked[1]), row[0] == 'o') << row;
  }
}

TEST(Forbidden, WhiteAndNeutralStonesAreNeverForbidden) {
  const auto board =
      boardFromPicture(RULE_RENJU, {
                                       "...........",
                                       ".xxxoxx....",
                                       "...........",
                                       ".xxx#xx....",
                                       "...........",
                                       ".xxx1x#....",  // blocked by the mark: a plain four
                                       "...........",
                                   });
  EXPECT_FALSE(forbidden(board, at(board, 4, 1)));
  EXPECT_FALSE(forbidden(board, at(board, 4, 3)));
  EXPECT_FALSE(forbidden(board, board.marked[1]));
}

TEST(Forbidden, DoubleThreeCountsOnlyThreesThatCanOpen) {
  // 1 makes a three in its column and, capped by the white stone, a three in
  // its row whose only open-four square is 2.
  const auto open = boardFromPicture(RULE_RENJU, {
                                                     "............",
                                                     "............",
                                                     "............",
                                                     "............",
                                                     ".....x......",
                                                     ".....x......",
                                                     ".o.xx12.....",
                                                     "............",
                                                     "............",
                                                     "............",
                                                 });
  EXPECT_TRUE(forbidden(open, open.marked[1]));
  EXPECT_FALSE(forbidden(open, open.marked[2]));
  // The same, but 2 is now a double four: the row three can never open.
  const auto closed = boardFromPicture(RULE_RENJU, {
                                                       "............",
                                                       "............",
                                                       "......x.....",
                                                       "......x..x..",
                                                       ".....xx.x...",
                                                       ".....x.x....",
                                                       ".o.xx12.....",
                                                       "............",
                                                       "............",
                                                       "............",
                                                   });
  EXPECT_FALSE(forbidden(closed, closed.marked[1]));
  EXPECT_TRUE(forbidden(closed, closed.marked[2]));
}

TEST(Forbidden, GivesUpWhereTheRecursionWouldRunForSeconds) {
  // Diagonal chains of black stones over a whole 32 x 32 board: every empty
  // square holds threes whose open-four squares hold threes again, and so on.
  auto record = testing::emptyRecord(32, 32);
  const std::string_view rows[2] = {"..xx..", ".x..x."};
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 32; ++x) {
      if (rows[y % 2][(x + 2 * (y / 2)) % 6] == 'x') {
        placeStoneByRule[RULE_RENJU](*record, static_cast<Square>(y * 32 + x), BLACK);
      }
    }
  }
  const PictureBoard board{std::move(record)};
  // Settling (26, 29) takes some fourteen million calls and finds it
  // forbidden; the test stops within its budget and lets the move stand.
  EXPECT_FALSE(forbidden(board, at(board, 26, 29)));
  // Squares settled within the budget keep their answers, some of them after
  // a dozen levels of recursion.
  EXPECT_TRUE(forbidden(board, at(board, 27, 3)));
  EXPECT_FALSE(forbidden(board, at(board, 24, 1)));
}

}  // namespace
}  // namespace kestrix
