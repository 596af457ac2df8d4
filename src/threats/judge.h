// Kestrix: the rules' verdict on one move, for a player who is not the
// engine (the browser page).
//
// The verdict comes from the same line tables and the same forbidden-move
// test as the search's, on a record loaded with the board as it stands, so
// that the page and the engine cannot judge a move differently.
#pragma once

#include <cstdint>

#include "position/rule.h"
#include "threats/threat_board.h"

namespace kestrix {

enum MoveVerdict : uint8_t {
  MOVE_ALLOWED = 0,
  MOVE_FIVE = 1,          // the stone wins: a five under the rule
  MOVE_OVERLINE = 2,      // Renju, black: six or more in a row
  MOVE_DOUBLE_FOUR = 3,   // Renju, black: two fours
  MOVE_DOUBLE_THREE = 4,  // Renju, black: two real threes
  MOVE_TAKEN = 5,         // off the board, or not empty
};

// The two end stones of a five (or of a longer row where it wins).
struct FiveLine {
  int32_t x0, y0, x1, y1;
};

// Lays out a width x height board and puts its stones down under the rule:
// cells[y * width + x] is EMPTY, BLACK or WHITE. A size outside 5..32 leaves
// an empty 5 x 5 board.
void judgeLoad(ThreatBoard& board, RuleIndex rule, int32_t width, int32_t height,
               const uint8_t* cells);

// The verdict on a stone of `colour` (BLACK or WHITE) on (x, y) of the loaded
// board; for MOVE_FIVE, `five` is where the row lies. The board is left as
// it was, but for the forbidden-move test's memo.
MoveVerdict judgeMove(ThreatBoard& board, RuleIndex rule, int32_t x, int32_t y, int32_t colour,
                      FiveLine& five);

}  // namespace kestrix
