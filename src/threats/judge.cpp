#include "threats/judge.h"

#include <cstring>

#include "position/pattern_tables.h"
#include "threats/forbidden.h"
#include "threats/stones.h"

namespace kestrix {

namespace {

// Stones of `colour` in a row through (x, y) along d, the square itself
// counted as one of them; `five` gets the row's end squares.
int32_t rowThrough(const ThreatBoard& board, int32_t x, int32_t y, int32_t d, int32_t colour,
                   FiveLine& five) {
  int32_t ends[2][2] = {{x, y}, {x, y}};
  int32_t length = 1;
  for (int32_t side = 0; side < 2; ++side) {
    const int32_t step = side == 0 ? -1 : 1;
    int32_t cx = x + step * DIRECTION_DX[d];
    int32_t cy = y + step * DIRECTION_DY[d];
    while (onBoard(cx, cy, board.width, board.height) &&
           threatCellOf(board, static_cast<Square>(cy * board.width + cx)).stone == colour) {
      ends[side][0] = cx;
      ends[side][1] = cy;
      ++length;
      cx += step * DIRECTION_DX[d];
      cy += step * DIRECTION_DY[d];
    }
  }
  five = {ends[0][0], ends[0][1], ends[1][0], ends[1][1]};
  return length;
}

template <RuleIndex R>
MoveVerdict judge(ThreatBoard& board, int32_t x, int32_t y, int32_t colour, FiveLine& five) {
  if (!onBoard(x, y, board.width, board.height)) return MOVE_TAKEN;
  const Square s = static_cast<Square>(y * board.width + x);
  if (threatCellOf(board, s).stone != EMPTY) return MOVE_TAKEN;
  const LineEntry* table = lineTableFor<R>(colour);
  uint8_t classes[DIRECTION_COUNT];
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    classes[d] = table[lineCodeOf(board, s, d, colour)].lineClass;
    if (classes[d] == LINE_FIVE) {
      rowThrough(board, x, y, d, colour, five);
      return MOVE_FIVE;
    }
  }
  if (R != RULE_RENJU || colour != BLACK || !isForbidden(board, s)) return MOVE_ALLOWED;
  // Forbidden: say why, from the lines the test itself read first.
  int32_t fours = 0;
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    FiveLine row;
    if (classes[d] == LINE_FORBIDDEN) {
      return rowThrough(board, x, y, d, colour, row) >= 6 ? MOVE_OVERLINE : MOVE_DOUBLE_FOUR;
    }
    fours += isFourClass(classes[d]);
  }
  return fours >= 2 ? MOVE_DOUBLE_FOUR : MOVE_DOUBLE_THREE;
}

}  // namespace

void judgeLoad(ThreatBoard& board, RuleIndex rule, int32_t width, int32_t height,
               const uint8_t* cells) {
  initPatternTables();
  const bool fits = width >= MIN_BOARD_SIDE && width <= MAX_BOARD_SIDE &&
                    height >= MIN_BOARD_SIDE && height <= MAX_BOARD_SIDE;
  initThreatBoard(board, fits ? width : MIN_BOARD_SIDE, fits ? height : MIN_BOARD_SIDE);
  if (!fits) return;
  withRule(rule, [&](auto tag) {
    for (int32_t s = 0; s < width * height; ++s) {
      if (cells[s] == BLACK || cells[s] == WHITE) {
        placeStone<tag.rule>(board, static_cast<Square>(s), cells[s]);
      }
    }
  });
}

MoveVerdict judgeMove(ThreatBoard& board, RuleIndex rule, int32_t x, int32_t y, int32_t colour,
                      FiveLine& five) {
  if (colour != BLACK && colour != WHITE) return MOVE_TAKEN;
  return withRule(rule, [&](auto tag) { return judge<tag.rule>(board, x, y, colour, five); });
}

}  // namespace kestrix
