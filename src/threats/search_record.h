// Kestrix: the one record every search works on.
//
// Layout: the side to move and the Position (filled by the move choice), and
// the search's clock-check counters, then the search state, which
// prepareSearch zeroes and rebuilds from the Position before every search:
// best move, Zobrist key, the search's own board (threatCells) with both
// players' threat tallies (playerThreats), the root move lists, the move
// generators' scratch, the iteration's clock and depth, and the
// forbidden-move test's memo.
//
// threatCells[s].lineCode[d][p] is the base-3 code of the ten cells around s
// on line d as player slot p sees them (slots 1 and 2 follow the stones,
// slots 0 and 3 keep only the off-board digits). Codes are below 3^10, so 16
// bits hold them; keeping the cell small keeps the innermost loop in cache.
#pragma once

#include <bit>
#include <cstdint>

#include "position/pattern_tables.h"
#include "position/position.h"
#include "position/rule.h"
#include "position/types.h"

namespace kestrix {

struct ThreatCell {
  uint8_t stone;
  uint8_t nearStones;  // stones within distance 2 on the eight rays
  uint16_t lineCode[DIRECTION_COUNT][4];
  // For a stone, the four-line table index of its line classes; 0 on an
  // empty square. Kept so that a change in one line finds the stone's old
  // and new threat class without looking up the other three lines again.
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
  ThreatCell threatCells[MAX_CELLS];
  // One bit per square: empty, with a stone within distance 2. The inner
  // move generator walks these bits in square order instead of testing
  // every cell of the board.
  uint64_t nearEmpty[MAX_CELLS / 64];
  PlayerThreats playerThreats[4];
  int32_t rootMoveCount;
  Square rootMoves[MAX_ROOT_MOVES];
  int32_t nextRootMoveCount;
  Square nextRootMoves[MAX_ROOT_MOVES];
  int32_t candidateCount;
  Candidate candidates[MAX_CELLS];
  int64_t iterationStartTime;
  int32_t iterationDepth;
  int64_t nodeCount;  // alphaBeta calls of this search: the benchmark's measure
  ForbiddenMemo forbiddenMemo;
};

inline void markNearEmpty(SearchRecord& record, int32_t s, bool nearEmpty) {
  uint64_t& word = record.nearEmpty[s >> 6];
  const uint64_t bit = uint64_t{1} << (s & 63);
  word = (word & ~bit) | ((uint64_t{0} - uint64_t{nearEmpty}) & bit);
}

// Calls visit(s) for every empty square near stones, in increasing order,
// until visit returns true.
template <typename Visit>
inline void forEachNearEmpty(const SearchRecord& record, Visit&& visit) {
  const int32_t words = (record.position.cellCount + 63) >> 6;
  for (int32_t w = 0; w < words; ++w) {
    for (uint64_t bits = record.nearEmpty[w]; bits != 0; bits &= bits - 1) {
      if (visit(static_cast<Square>((w << 6) + std::countr_zero(bits)))) return;
    }
  }
}

}  // namespace kestrix
