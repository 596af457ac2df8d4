// Kestrix: the one record every search works on.
//
// Layout: the side to move and the Position (filled by the move choice), and
// the search's clock-check counters, then the search state, which
// prepareSearch zeroes and rebuilds from the Position before every search:
// best move, Zobrist key, the search's own board (threatBoard) with both
// players' threat tallies (playerThreats), the root move lists, the move
// generators' scratch, the iteration's clock and depth, and the
// forbidden-move test's memo.
//
// The search's board is a grid of cells with a fixed row stride of
// BOARD_STRIDE, whatever the board's size: the squares of the board in play,
// and around them a border of OFF_BOARD cells at least five deep on every
// side (the columns past the board's right edge double as the border left of
// the next row). The sixteen cells near a square are thus the same offsets
// on every board, with no bounds to check. Squares (y * width + x) stay what
// moves, keys and the table's lists are made of; cellOfSquare and
// squareOfCell translate.
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
#include "position/position.h"
#include "position/rule.h"
#include "position/types.h"

namespace kestrix {

// The code of the border cells' stone field: blocked for both players, like
// a NEUTRAL mark, but never a stone of the game.
inline constexpr int32_t OFF_BOARD = 4;

inline constexpr int32_t BOARD_BORDER = 5;
inline constexpr int32_t BOARD_STRIDE = MAX_BOARD_SIDE + BOARD_BORDER;
inline constexpr int32_t BOARD_CELLS =
    (MAX_BOARD_SIDE + 2 * BOARD_BORDER) * BOARD_STRIDE + BOARD_BORDER;

// The cell of square (x, y).
inline constexpr int32_t boardCell(int32_t x, int32_t y) {
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

// 2 * MAX_BOARD_SIDE - 1 diagonals, and room for a vector read of sixteen
// slots from the highest slot of a square.
inline constexpr int32_t LINE_SLOTS = 2 * MAX_BOARD_SIDE * BOARD_STRIDE;
static_assert(lineSlot(DIR_ANTIDIAGONAL, MAX_BOARD_SIDE - 1, MAX_BOARD_SIDE - 1) + 16 <=
              LINE_SLOTS);
static_assert(lineSlot(DIR_DIAGONAL, MAX_BOARD_SIDE - 1, 0) + 16 <= LINE_SLOTS);
static_assert(lineSlot(DIR_HORIZONTAL, 3, 4) == boardCell(3, 4));
static_assert(BOARD_CELLS + 16 <= LINE_SLOTS);

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

struct Candidate {
  int16_t score;
  Square square;
};

inline constexpr int32_t MAX_ROOT_MOVES = 200;

// The search's stones go down and come off in stack order, at most this many
// at once (one per ply of the deepest search).
inline constexpr int32_t MAX_PUSHED_STONES = 100;

// What pushStone changed beyond what popStone can work out again: BLACK's
// and WHITE's tallies before the stone, and where the stone's combo changes
// begin in comboTrail.
struct PushedStone {
  PlayerThreats threats[2];
  int32_t trailStart;
};

// A stone's comboIndex as it was before a pushed stone changed it.
struct ComboChange {
  int32_t cell;
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

struct SearchRecord {
  int32_t sideToMove;
  // Nodes since the clock was last read, per rule. Kept across searches, so
  // that the clock is read once every so many nodes however short each
  // search is.
  uint32_t clockCheckCounter[RULE_COUNT];
  Position position;

  // Search state, from bestMove to the end.
  Square bestMove;
  uint64_t searchKey;
  ThreatCell threatBoard[BOARD_CELLS];
  uint16_t lineCode[DIRECTION_COUNT][LINE_SLOTS][2];  // BLACK's view, then WHITE's
  uint8_t lineStone[DIRECTION_COUNT][LINE_SLOTS];
  // Per cell, the stones within distance 2 on the eight rays; sixteen more
  // for the vector steps that update a row of five.
  uint8_t nearStones[BOARD_CELLS + 16];
  // One bit per cell: an empty square with a stone within distance 2. The
  // inner move generator walks these bits in cell order, which is square
  // order, instead of testing every cell of the board. One word more than
  // the cells need: a run of bits reaching past the last word writes it
  // unchanged.
  uint64_t nearEmpty[(BOARD_CELLS + 63) / 64 + 1];
  uint16_t cellOfSquare[MAX_CELLS];
  Square squareOfCell[BOARD_CELLS];  // NO_SQUARE on the border
  PlayerThreats playerThreats[4];
  // The stones that pushStone put down and popStone has yet to take off,
  // and the comboIndex values they changed: a stone changes those of the
  // stones on its four lines, at most forty.
  int32_t pushedCount;
  PushedStone pushed[MAX_PUSHED_STONES];
  int32_t comboTrailCount;
  ComboChange comboTrail[MAX_PUSHED_STONES * 4 * 10];
  int32_t rootMoveCount;
  Square rootMoves[MAX_ROOT_MOVES];
  int32_t nextRootMoveCount;
  Square nextRootMoves[MAX_ROOT_MOVES];
  int32_t candidateCount;
  // Eight more than a board can have: the sort's vector steps read up to
  // seven entries past the ones in use.
  Candidate candidates[MAX_CELLS + 8];
  int64_t iterationStartTime;
  int32_t iterationDepth;
  int64_t nodeCount;  // alphaBeta calls of this search: the benchmark's measure
  ForbiddenMemo forbiddenMemo;
};

inline ThreatCell& threatCell(SearchRecord& record, Square s) {
  return record.threatBoard[record.cellOfSquare[s]];
}
inline const ThreatCell& threatCell(const SearchRecord& record, Square s) {
  return record.threatBoard[record.cellOfSquare[s]];
}

inline int32_t nearStonesAt(const SearchRecord& record, Square s) {
  return record.nearStones[record.cellOfSquare[s]];
}

// The code of line d at square s as player (BLACK or WHITE) sees it.
inline uint16_t lineCodeOf(const SearchRecord& record, Square s, int32_t d, int32_t player) {
  return record.lineCode[d][threatCell(record, s).lineSlot[d]][player - BLACK];
}

// Calls visit(c) for the cell of every empty square near stones, in
// increasing order, until visit returns true.
template <typename Visit>
inline void forEachNearEmpty(const SearchRecord& record, Visit&& visit) {
  const int32_t last = boardCell(record.position.width - 1, record.position.height - 1);
  for (int32_t w = 0; w <= last >> 6; ++w) {
    for (uint64_t bits = record.nearEmpty[w]; bits != 0; bits &= bits - 1) {
      if (visit((w << 6) + std::countr_zero(bits))) return;
    }
  }
}

}  // namespace kestrix
