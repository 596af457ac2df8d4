// Kestrix: the threats layer's board, one record that judges a position.
//
// A ThreatBoard is built for a board size (initThreatBoard), then filled
// stone by stone (placeStone, in stones.h, or fillThreatBoard from a
// Position). It keeps, exactly up to date as stones go down and come off,
// everything the threats layer reads: the cells and their stones, both
// players' line codes, the count of stones near every cell with the bits of
// the empty squares among them, both players' threat tallies, the undo log
// of the stones pushed in stack order, and the forbidden-move test's memo.
// With it alone one can ask whether a square makes five (makesFive) and
// whether a black stone there is forbidden under Renju (isForbidden, in
// forbidden.h). It knows nothing of the search that plays on it.
//
// The grid of cells has a fixed row stride of BOARD_STRIDE, whatever the
// board's size: the squares of the board in play, and around them a border
// of OFF_BOARD cells at least five deep on every side (the columns past the
// board's right edge double as the border left of the next row). The
// sixteen cells near a square are thus the same offsets on every board,
// with no bounds to check. A cell is a CellIndex into that grid; a Square
// (y * width + x) is what moves, keys and lists are made of. cellOfSquare
// and squareOfCell translate, and a function that takes a cell says so in
// its parameter's type.
//
// The line codes live apart from the cells, one array per direction, laid
// out line by line (lineSlot): the eleven cells around a square on line d
// are eleven consecutive slots of lineCode[d] and lineStone[d], so a stone
// changes their codes with a few vector additions and finds the stones among
// them with one comparison. lineCode[d][slot][p - BLACK] is the base-3 code
// of the ten cells around the slot's square on line d as player p sees
// them; codes are below 3^10, so 16 bits hold them. lineStone[d] repeats the
// cells' stones in the same order. nearStones counts, per cell, the stones
// near it, and nearEmpty marks the empty squares with any.
#pragma once

#include <bit>
#include <cstdint>

#include "position/pattern_tables.h"
#include "position/rule.h"
#include "position/types.h"

namespace kestrix {

// An index into the grid of cells, as opposed to a Square.
using CellIndex = int32_t;

// The code of the border cells' stone field: blocked for both players, like
// a NEUTRAL mark, but never a stone of the game.
inline constexpr int32_t OFF_BOARD = 4;

inline constexpr int32_t BOARD_BORDER = 5;
inline constexpr int32_t BOARD_STRIDE = MAX_BOARD_SIDE + BOARD_BORDER;
inline constexpr int32_t BOARD_CELLS =
    (MAX_BOARD_SIDE + 2 * BOARD_BORDER) * BOARD_STRIDE + BOARD_BORDER;

// The cell of square (x, y).
inline constexpr CellIndex boardCell(int32_t x, int32_t y) {
  return (y + BOARD_BORDER) * BOARD_STRIDE + x + BOARD_BORDER;
}

// Cells between neighbours along each line direction.
inline constexpr int32_t LINE_STEP[DIRECTION_COUNT] = {
    DIRECTION_DX[0] + DIRECTION_DY[0] * BOARD_STRIDE,
    DIRECTION_DX[1] + DIRECTION_DY[1] * BOARD_STRIDE,
    DIRECTION_DX[2] + DIRECTION_DY[2] * BOARD_STRIDE,
    DIRECTION_DX[3] + DIRECTION_DY[3] * BOARD_STRIDE};

// The slot of square (x, y) in the line arrays of direction d: its line
// (row, column, or diagonal, at most 63 of them) times BOARD_STRIDE, plus
// its place along the line and a border of five slots. A step along the line
// is a step of one slot; the five slots on either side of a square's line
// segment belong to no square of any line. The rows come after five empty
// ones, so that a square's slot on its row is its cell, and lineStone[0]
// doubles as the grid of the cells' stones.
inline constexpr int32_t lineSlot(int32_t d, int32_t x, int32_t y) {
  const int32_t line = d == DIR_HORIZONTAL     ? y + BOARD_BORDER
                       : d == DIR_VERTICAL     ? x
                       : d == DIR_ANTIDIAGONAL ? x + y
                                               : x - y + MAX_BOARD_SIDE - 1;
  const int32_t along = d == DIR_HORIZONTAL ? x : y;
  return line * BOARD_STRIDE + along + BOARD_BORDER;
}

// The vector steps over the line arrays and the near-stone counts read and
// write sixteen slots from the first one they touch.
inline constexpr int32_t VECTOR_SLOTS = 16;

// 2 * MAX_BOARD_SIDE - 1 diagonals, and room for a vector read of sixteen
// slots from the highest slot of a square.
inline constexpr int32_t LINE_SLOTS = 2 * MAX_BOARD_SIDE * BOARD_STRIDE;
static_assert(lineSlot(DIR_ANTIDIAGONAL, MAX_BOARD_SIDE - 1, MAX_BOARD_SIDE - 1) + VECTOR_SLOTS <=
              LINE_SLOTS);
static_assert(lineSlot(DIR_DIAGONAL, MAX_BOARD_SIDE - 1, 0) + VECTOR_SLOTS <= LINE_SLOTS);
static_assert(lineSlot(DIR_HORIZONTAL, 3, 4) == boardCell(3, 4));
static_assert(BOARD_CELLS + VECTOR_SLOTS <= LINE_SLOTS);

struct ThreatCell {
  uint8_t stone;  // a stone code, or OFF_BOARD
  uint16_t lineSlot[DIRECTION_COUNT];
  // For a stone of BLACK or WHITE, the four-line table index of its line
  // ranks (RANK_PLACE); 0 elsewhere. Kept so that a change in one line
  // finds the stone's old and new threat class without looking up the other
  // three lines again.
  int32_t comboIndex;
};

struct PlayerThreats {
  int32_t patternScore;                    // sum of the line weights of all stones
  int32_t classCount[THREAT_CLASS_COUNT];  // stones per threat class
};

// The player's stones that stand in a four of any kind: while there is one,
// a five is the player's to make on the next move.
inline int32_t fourStones(const PlayerThreats& threats) {
  return threats.classCount[THREAT_OPEN_FOUR] + threats.classCount[THREAT_FOUR_THREE] +
         threats.classCount[THREAT_FOUR];
}

// Stones go down and come off in stack order (pushStone, popStone), at most
// this many at once: one per ply of the deepest search.
inline constexpr int32_t MAX_PUSHED_STONES = 100;

// A stone changes the comboIndex of the stones on its four lines within
// five cells either side: at most ten a line.
inline constexpr int32_t MAX_COMBO_CHANGES_PER_STONE = DIRECTION_COUNT * 2 * 5;

// What pushStone changed beyond what popStone can work out again: BLACK's
// and WHITE's tallies before the stone, and where the stone's combo changes
// begin in comboTrail.
struct PushedStone {
  PlayerThreats threats[2];
  int32_t trailStart;
};

// A stone's comboIndex as it was before a pushed stone changed it.
struct ComboChange {
  CellIndex cell;
  int32_t comboIndex;
};

// Settled answers of the Renju forbidden-move test, kept only within one
// test: an entry counts while its stamp is the memo's. A test that must
// recurse takes the next stamp, so nothing needs clearing between tests.
// Buckets of two entries; threats/forbidden.cpp says how they are keyed and
// replaced.
struct ForbiddenMemoEntry {
  uint64_t stones;  // hash of the temporary stones on the board
  uint32_t stamp;
  Square square;
  uint8_t forbidden;
  uint8_t work;  // bit width of the count of stones put down to settle it
};
// Four entries for every temporary stone a test may put down, so that few
// settled verdicts are pushed out.
inline constexpr int32_t FORBIDDEN_MEMO_BITS = 12;
struct ForbiddenMemo {
  uint32_t stamp;
  ForbiddenMemoEntry entries[1 << FORBIDDEN_MEMO_BITS];
};

struct ThreatBoard {
  int32_t width;
  int32_t height;
  int32_t cellCount;  // squares on the board in play
  ThreatCell cells[BOARD_CELLS];
  uint16_t lineCode[DIRECTION_COUNT][LINE_SLOTS][2];  // BLACK's view, then WHITE's
  uint8_t lineStone[DIRECTION_COUNT][LINE_SLOTS];
  // Per cell, the stones within distance 2 on the eight rays; a vector step
  // more for the steps that update a row of five.
  uint8_t nearStones[BOARD_CELLS + VECTOR_SLOTS];
  // One bit per cell: an empty square with a stone within distance 2. The
  // inner move generator walks these bits in cell order, which is square
  // order, instead of testing every cell of the board. One word more than
  // the cells need: a run of bits reaching past the last word writes it
  // unchanged.
  uint64_t nearEmpty[(BOARD_CELLS + 63) / 64 + 1];
  uint16_t cellOfSquare[MAX_CELLS];
  Square squareOfCell[BOARD_CELLS];  // NO_SQUARE on the border
  PlayerThreats playerThreats[4];    // indexed by player; 0 and NEUTRAL stay zero
  // The stones that pushStone put down and popStone has yet to take off,
  // and the comboIndex values they changed.
  int32_t pushedCount;
  PushedStone pushed[MAX_PUSHED_STONES];
  int32_t comboTrailCount;
  ComboChange comboTrail[MAX_PUSHED_STONES * MAX_COMBO_CHANGES_PER_STONE];
  ForbiddenMemo forbiddenMemo;
};

// Lays the board out for a board of this size, without stones: the border,
// the translation between squares and cells, the line slots, every code set
// to its off-board part alone, no tallies, an empty undo log and memo.
void initThreatBoard(ThreatBoard& board, int32_t width, int32_t height);

inline ThreatCell& threatCellOf(ThreatBoard& board, Square s) {
  return board.cells[board.cellOfSquare[s]];
}
inline const ThreatCell& threatCellOf(const ThreatBoard& board, Square s) {
  return board.cells[board.cellOfSquare[s]];
}

inline int32_t nearStonesAt(const ThreatBoard& board, Square s) {
  return board.nearStones[board.cellOfSquare[s]];
}

// The code of line d at square s as player (BLACK or WHITE) sees it.
inline uint16_t lineCodeOf(const ThreatBoard& board, Square s, int32_t d, int32_t player) {
  return board.lineCode[d][threatCellOf(board, s).lineSlot[d]][player - BLACK];
}

// Whether a stone of player on the empty square s completes a five under
// rule R (an overline counts where the rule lets it win).
template <RuleIndex R>
inline bool makesFive(const ThreatBoard& board, Square s, int32_t player) {
  const LineEntry* table = lineTableFor<R>(player);
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    if (table[lineCodeOf(board, s, d, player)].lineClass == LINE_FIVE) return true;
  }
  return false;
}

// Calls visit(cell) for the cell of every empty square near stones, in
// increasing order, until visit returns true.
template <typename Visit>
inline void forEachNearEmpty(const ThreatBoard& board, Visit&& visit) {
  const CellIndex last = boardCell(board.width - 1, board.height - 1);
  for (int32_t w = 0; w <= last >> 6; ++w) {
    for (uint64_t bits = board.nearEmpty[w]; bits != 0; bits &= bits - 1) {
      if (visit(CellIndex{(w << 6) + std::countr_zero(bits)})) return;
    }
  }
}

}  // namespace kestrix
