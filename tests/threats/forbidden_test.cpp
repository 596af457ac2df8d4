#include "threats/forbidden.h"

#include <gtest/gtest.h>

#include <random>
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

// The recursion in its plain form, depth first, without memo or guard, on
// an empty square: the answer the test must give. Past `callsLeft` calls it
// gives up.
struct PlainRecursion {
  SearchRecord& record;
  int64_t callsLeft;

  // How many lines through s are of a class from `first` to `last`.
  int32_t lines(Square s, uint8_t first, uint8_t last) const {
    int32_t count = 0;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
      const uint8_t c = renjuLineTable[lineCodeOf(record, s, d, BLACK)].lineClass;
      count += c >= first && c <= last;
    }
    return count;
  }
  bool forbidden(Square s) {
    if (--callsLeft < 0 || lines(s, LINE_FIVE, LINE_FIVE) > 0) return false;
    if (lines(s, LINE_FORBIDDEN, LINE_FORBIDDEN) > 0 || lines(s, LINE_OPEN_FOUR, LINE_FOUR) >= 2) {
      return true;  // an overline or a double four
    }
    if (lines(s, LINE_OPEN_THREE, LINE_THREE) < 2) return false;
    threatCell(record, s).stone = BLACK;
    addStoneCodes(record, s, BLACK);
    int32_t real = 0;
    for (int32_t d = 0; d < DIRECTION_COUNT && real < 2; ++d) {
      const LineEntry line = renjuLineTable[lineCodeOf(record, s, d, BLACK)];
      if (line.lineClass != LINE_OPEN_THREE && line.lineClass != LINE_THREE) continue;
      for (const int32_t window : {line.keySquares & 15, line.keySquares >> 4}) {
        const Square key = static_cast<Square>(s + record.position.lineOffset[d][window]);
        if (key != s && lines(key, LINE_FIVE, LINE_FIVE) == 0 && !forbidden(key)) {
          ++real;
          break;
        }
      }
    }
    takeStoneCodes(record, s, BLACK);
    threatCell(record, s).stone = EMPTY;
    return real >= 2;
  }
};

// Every empty square, asked with either side to move, must be settled the
// same way for both, and as the plain recursion settles it within `cap`
// calls. Returns how many squares took the recursion more than the 4096
// calls the test once allowed itself.
int32_t expectPlainAnswers(const Picture& board, int64_t cap) {
  SearchRecord& record = *board.record;
  int32_t hard = 0;
  for (Square s = 0; s < record.position.cellCount; ++s) {
    if (threatCell(record, s).stone != EMPTY) continue;
    const int32_t x = s % record.position.width, y = s / record.position.width;
    record.sideToMove = BLACK;
    const bool answer = board.forbidden(x, y);
    record.sideToMove = WHITE;
    EXPECT_EQ(board.forbidden(x, y), answer) << "unsettled at " << x << "," << y;
    PlainRecursion plain{record, cap};
    const bool expected = plain.forbidden(s);
    if (plain.callsLeft < 0) continue;
    EXPECT_EQ(answer, expected) << "at " << x << "," << y;
    hard += cap - plain.callsLeft > 4096;
  }
  return hard;
}

TEST(Forbidden, SettlesEverySquareAsThePlainRecursionDoes) {
  // Chains of black stones over a whole 32 x 32 board: every empty square
  // holds threes whose open-four squares hold threes again, and so on.
  // Depth first, the recursion takes up to fourteen million calls on a
  // square of the first board and follows chains thirty stones long on the
  // third; the last needs the deepest search. Each band of rows shifts the
  // tile by `shift` columns.
  const struct {
    std::vector<std::string_view> tile;
    size_t shift;
    int64_t cap;
  } tilings[] = {{{"..xx..", ".x..x."}, 2, 10000},
                 {{"x..x..", "xx...."}, 4, 10000},
                 {{"xxxxx", ".....", "....."}, 2, 20000},
                 {{"...xx.", "...xx."}, 0, 2000}};
  int32_t hard = 0;
  for (const auto& tiling : tilings) {
    const size_t height = tiling.tile.size(), width = tiling.tile[0].size();
    std::vector<std::string> rows(32, std::string(32, '.'));
    for (size_t y = 0; y < 32; ++y) {
      for (size_t x = 0; x < 32; ++x) {
        rows[y][x] = tiling.tile[y % height][(x + y / height * tiling.shift) % width];
      }
    }
    const Picture board(rows);
    hard += expectPlainAnswers(board, tiling.cap);
    if (&tiling == tilings) {  // settled by the recursion after 14 million and 342 thousand calls
      EXPECT_TRUE(board.forbidden(26, 29));
      EXPECT_FALSE(board.forbidden(6, 1));
    }
  }
  EXPECT_GT(hard, 200);

  // Random boards, 15 x 15 and 20 x 20, a fifth to two thirds full, three
  // stones in five black.
  std::mt19937 random(13);
  for (int32_t board = 0; board < 24; ++board) {
    const uint32_t percent = 20 + board % 4 * 15;
    std::vector<std::string> rows(board % 2 == 0 ? 15 : 20,
                                  std::string(board % 2 == 0 ? 15 : 20, '.'));
    for (std::string& row : rows) {
      for (char& c : row) {
        const uint32_t r = random() % 100;
        c = r < percent * 3 / 5 ? 'x' : r < percent ? 'o' : '.';
      }
    }
    expectPlainAnswers(Picture(rows), 1 << 20);
  }
}

}  // namespace
}  // namespace kestrix
