#include "threats/forbidden.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/board_picture.h"

namespace kestrix {
namespace {

// A Renju board drawn as text, one string a row (see board_picture.h);
// digits mark empty squares asked about.
struct Picture {
  std::vector<std::string> rows;
  std::unique_ptr<SearchRecord> record;

  Picture(std::initializer_list<std::string_view> picture)
      : Picture(std::vector<std::string>(picture.begin(), picture.end())) {}
  explicit Picture(std::vector<std::string> picture) : rows(std::move(picture)) {
    std::string text;
    for (const std::string& row : rows) text += row + "\n";
    record = testing::recordFromPicture(text);
    testing::buildSearchBoard<RULE_RENJU>(*record);
  }

  // The test's answer for (x, y), after checking that asking changed nothing.
  bool forbidden(int32_t x, int32_t y) const {
    testing::Snapshot before;
    before.take(*record);
    const bool answer = isForbidden(*record, testing::squareAt(*record, x, y));
    EXPECT_TRUE(before.matches(*record)) << "changed by the test of " << x << "," << y;
    return answer;
  }
  bool forbidden(char mark) const {
    for (size_t y = 0; y < rows.size(); ++y) {
      const size_t x = rows[y].find(mark);
      if (x != std::string::npos)
        return forbidden(static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
    ADD_FAILURE() << "no square marked " << mark;
    return false;
  }
};

TEST(Forbidden, OverlinesAndDoubleFours) {
  // clang-format off
  const Picture board = {
      ".............",
      ".xxx1xx..xxx.",  // 1: six in a row
      ".............",
      ".xxxxxx......",  // a standing overline
      ".............",
      "...x.x2x.x...",  // 2: x.xxx.x, two fours in one line
      ".............",
      ".xxx3........",  // 3: two open fours
      "....x........",
      "....x........",
      "....x........",
      ".xxx4o.......",  // 4: a four and an open four
      ".............",
      ".xxxoxx......",  // white and neutral stones where black would overline
      ".............",
      ".xxx#xx......",
  };
  // clang-format on
  for (char mark : {'1', '2', '3', '4'}) EXPECT_TRUE(board.forbidden(mark)) << mark;
  EXPECT_TRUE(board.forbidden(3, 3));
  // One four at a time is allowed, and only black is ever forbidden.
  EXPECT_FALSE(board.forbidden(4, 13));
  EXPECT_FALSE(board.forbidden(4, 15));
  EXPECT_FALSE(board.forbidden(8, 1));
  EXPECT_FALSE(board.forbidden(12, 1));
  EXPECT_FALSE(board.forbidden(0, 7));
}

TEST(Forbidden, FiveOutweighsEveryProhibition) {
  // 1 makes an overline in its column and fours on both diagonals, and
  // either a five in its row or, with the row capped, nothing that saves it.
  for (const std::string_view row : {"xxxx1....", "oxxx1...."}) {
    // clang-format off
    const Picture board = {
        "....x..x.",
        "....x.x..",
        "....xx...",
        row,
        "....xx...",
        "....x.x..",
        "....x..x.",
    };
    // clang-format on
    EXPECT_EQ(board.forbidden('1'), row[0] == 'o') << row;
  }
}

TEST(Forbidden, WhiteStonesAndMarksCapThrees) {
  // 1 makes a three in its column and, unless capped, an open three in its row.
  for (const std::string_view row : {"..xx1....", ".oxx1....", ".#xx1...."}) {
    // clang-format off
    const Picture board = {
        ".........",
        "....x....",
        "....x....",
        row,
        ".........",
        ".........",
    };
    // clang-format on
    EXPECT_EQ(board.forbidden('1'), row[1] == '.') << row;
  }
}

TEST(Forbidden, DoubleThreeCountsOnlyThreesThatCanOpen) {
  // 1 makes a three in its column and, capped by the white stone, a three in
  // its row whose only open-four square is 2. On the right-hand board 2 is a
  // double four, so that three can never open.
  // clang-format off
  const Picture board = {
      "........................",
      "........................",
      "..................x.....",
      "..................x..x..",
      ".....x...........xx.x...",
      ".....x...........x.x....",
      ".o.xx12......o.xx34.....",
      "........................",
      "........................",
      "........................",
  };
  // clang-format on
  EXPECT_TRUE(board.forbidden('1'));
  EXPECT_FALSE(board.forbidden('2'));
  EXPECT_FALSE(board.forbidden('3'));
  EXPECT_TRUE(board.forbidden('4'));
}

TEST(Forbidden, GivesUpWhereTheRecursionWouldRunForSeconds) {
  // Diagonal chains of black stones over a whole 32 x 32 board: every empty
  // square holds threes whose open-four squares hold threes again, and so on.
  const std::string_view tile[2] = {"..xx..", ".x..x."};
  std::vector<std::string> rows(32, std::string(32, '.'));
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 32; ++x) rows[y][x] = tile[y % 2][(x + y / 2 * 2) % 6];
  }
  const Picture board(rows);
  // Settling (26, 29) takes some fourteen million calls. The test stops
  // within its budget and assumes the worse for the engine: forbidden when
  // it plays black, allowed when it plays white.
  board.record->sideToMove = BLACK;
  EXPECT_TRUE(board.forbidden(26, 29));
  board.record->sideToMove = WHITE;
  EXPECT_FALSE(board.forbidden(26, 29));
  // Squares settled within the budget keep their answers, some of them after
  // a dozen levels of recursion.
  EXPECT_TRUE(board.forbidden(27, 3));
  EXPECT_FALSE(board.forbidden(24, 1));
}

}  // namespace
}  // namespace kestrix
