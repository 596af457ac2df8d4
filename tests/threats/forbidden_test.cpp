#include "threats/forbidden.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/board_picture.h"

namespace kestrix {
namespace {

using testing::squareName;

// The answer for s, which must change nothing and agree with the square's lines.
bool forbiddenAt(ThreatBoard& board, Square s) {
  static std::string before, after;
  testing::snapshot(board, before);
  const bool answer = isForbidden(board, s);
  EXPECT_FALSE(answer && allowedByItsLines(board, s)) << squareName(board, s);
  testing::snapshot(board, after);
  EXPECT_TRUE(before == after) << "changed by the test of " << squareName(board, s);
  return answer;
}

// F forbidden, A allowed on an empty square; X forbidden, O allowed on a stone.
TEST(Forbidden, Pictures) {
  const struct {
    int32_t width, height;
    const char* picture;
  } boards[] = {
      // clang-format off
      // Overlines, x.xxx.x, fours and open fours, a white stone against a six.
      {13, 16, ".\n.xxxFxx.AxxxA\n.\n.xxXxxx\n.\n...x.xFx.x\n.\nAxxxF\n....x\n....x\n....x\n"
               ".xxxFo\n.\n.xxxOxx"},
      // A five outweighs an overline and two fours; with the row capped, none.
      {9, 7, "....x..x\n....x.x\n....xx\nxxxxA\n....xx\n....x.x\n....x..x"},
      {9, 7, "....x..x\n....x.x\n....xx\noxxxF\n....xx\n....x.x\n....x..x"},
      // Two threes; capped by a white stone or a mark, the row holds none.
      {9, 6, ".\n....x\n....x\n..xxF"},
      {9, 6, ".\n....x\n....x\n.oxxA"},
      {9, 6, ".\n....x\n....x\n.#xxA"},
      // F makes a three in its column and, capped, one in its row whose only
      // open-four square is A; on the right that square is a double four.
      {24, 10, ".\n.\n..................x\n..................x..x\n.....x...........xx.x\n"
               ".....x...........x.x\n.o.xxFA......o.xxAF"},
      // clang-format on
  };
  for (const auto& board : boards) {
    std::string stones = board.picture;
    for (char& c : stones) c = c == 'X' ? 'x' : c == 'O' ? 'o' : c == 'F' || c == 'A' ? '.' : c;
    auto threats = testing::boardFromPicture<RULE_RENJU>(stones, board.width, board.height);
    int32_t x = 0, y = 0;
    for (const char c : std::string_view(board.picture)) {
      if (c == 'F' || c == 'A' || c == 'X' || c == 'O') {
        EXPECT_EQ(forbiddenAt(*threats, Square(y * board.width + x)), c == 'F' || c == 'X')
            << x << "," << y << " on\n"
            << board.picture;
      }
      x = c == '\n' ? 0 : x + 1;
      y += c == '\n';
    }
  }
}

// The plain recursion, depth first, without memo: the answer the test must
// give on an empty square. Past `callsLeft` calls it gives up.
struct PlainRecursion {
  ThreatBoard& board;
  int64_t callsLeft;

  // How many lines through s are of a class from `first` to `last`.
  int32_t lines(Square s, uint8_t first, uint8_t last) const {
    int32_t count = 0;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
      const uint8_t c = renjuLineTable[lineCodeOf(board, s, d, BLACK)].lineClass;
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
    threatCellOf(board, s).stone = BLACK;
    addStoneCodes(board, s, BLACK);
    int32_t real = 0;
    for (int32_t d = 0; d < DIRECTION_COUNT && real < 2; ++d) {
      const LineEntry line = renjuLineTable[lineCodeOf(board, s, d, BLACK)];
      if (line.lineClass != LINE_OPEN_THREE && line.lineClass != LINE_THREE) continue;
      for (const int32_t window : {line.keySquares & 15, line.keySquares >> 4}) {
        const Square key =
            board.squareOfCell[board.cellOfSquare[s] + (window - WINDOW_CENTRE) * LINE_STEP[d]];
        if (key != s && lines(key, LINE_FIVE, LINE_FIVE) == 0 && !forbidden(key)) {
          ++real;
          break;
        }
      }
    }
    takeStoneCodes(board, s, BLACK);
    threatCellOf(board, s).stone = EMPTY;
    return real >= 2;
  }
};

// Every empty square settled as by the plain recursion within `cap` calls.
void expectPlainAnswers(const std::string& picture, int32_t width, int32_t height, int64_t cap) {
  auto board = testing::boardFromPicture<RULE_RENJU>(picture, width, height);
  for (Square s = 0; s < board->cellCount; ++s) {
    if (threatCellOf(*board, s).stone != EMPTY) continue;
    const bool answer = forbiddenAt(*board, s);
    PlainRecursion plain{*board, cap};
    const bool expected = plain.forbidden(s);
    if (plain.callsLeft < 0) continue;  // beyond the cap
    EXPECT_EQ(answer, expected) << squareName(*board, s) << " on\n" << picture;
  }
}

// Columns of black pairs: threes whose open-four squares lead from row to row.
const std::vector<std::string_view> COLUMNS_OF_PAIRS = {"..xx.x...xx.....", "x.xxx....xx...x.",
                                                        ".x.xxx...xx.....", "x...x....xx...xx",
                                                        "x...x....xx.....", ".........xx...xx"};

TEST(Forbidden, SettlesEverySquareAsThePlainRecursionDoes) {
  // Black chains tiled over crowded boards, bands of rows shifted by `shift`: threes
  // whose open-four squares hold threes again, up to 2,100 temporary stones deep.
  const struct {
    std::vector<std::string_view> tile;
    size_t shift;
    int32_t width, height;
    int64_t cap;
  } tilings[] = {
      // clang-format off
      {{"..xx..", ".x..x."}, 2, 32, 32, 10000},
      {{"x..x..", "xx...."}, 4, 32, 32, 10000},
      {{"xxxxx", ".....", "....."}, 2, 32, 32, 20000},
      {{"...xx.", "...xx."}, 0, 32, 32, 2000},
      {{"x..xx....", "...xx...x", "x..xx....", "...xx...x", "...xx....", "...xx...x"}, 0, 9, 31, INT64_MAX},
      {{"x..xx....xx", "...xx...xxx", "x..xx......", "...xx....x.", "...xx.....x", "...xx...x.x"}, 0, 11, 31, INT64_MAX},
      {COLUMNS_OF_PAIRS, 0, 16, 30, INT64_MAX},
      {COLUMNS_OF_PAIRS, 0, 32, 27, INT64_MAX},
      // clang-format on
  };
  for (const auto& t : tilings) {
    const std::string picture = testing::tiledPicture(t.width, t.height, t.tile, t.shift);
    expectPlainAnswers(picture, t.width, t.height, t.cap);
    if (&t == tilings) {  // too deep for the plain recursion: 14 million calls on (26,29)
      auto board = testing::boardFromPicture<RULE_RENJU>(picture);
      EXPECT_TRUE(forbiddenAt(*board, Square(29 * 32 + 26)));
      EXPECT_FALSE(forbiddenAt(*board, Square(32 + 6)));
    }
  }
}

}  // namespace
}  // namespace kestrix
