// Kestrix: the one record every search works on.
//
// Layout: the side to move and the Position (filled by the move choice), and
// the search's clock-check counters, then the search state, which
// prepareSearch zeroes and rebuilds from the Position before every search:
// best move, Zobrist key, the root move lists, the move generators'
// candidates, the iteration's clock and depth, the node count, and last the
// threat board (threats/threat_board.h), which holds the search's stones
// with both players' line codes and threat tallies. Whatever reads or
// changes only the board takes the ThreatBoard, not this record.
#pragma once

#include <cstdint>

#include "position/position.h"
#include "position/rule.h"
#include "position/types.h"
#include "threats/threat_board.h"

namespace kestrix {

struct Candidate {
  int16_t score;
  Square square;
};

inline constexpr int32_t MAX_ROOT_MOVES = 200;

// The candidate sort compares eight scores in one vector step, and its last
// step may read up to seven entries past the ones in use.
inline constexpr int32_t SORT_LANES = 8;

// The squares a move generator scores, in board order, before the sort.
struct CandidateList {
  int32_t count;
  Candidate entries[MAX_CELLS + SORT_LANES];
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
  int32_t rootMoveCount;
  Square rootMoves[MAX_ROOT_MOVES];
  int32_t nextRootMoveCount;
  Square nextRootMoves[MAX_ROOT_MOVES];
  CandidateList candidates;
  int64_t iterationStartTime;
  int32_t iterationDepth;
  int64_t nodeCount;  // alphaBeta calls of this search: the benchmark's measure
  ThreatBoard board;
};

}  // namespace kestrix
