// Kestrix: move generation and ordering.
//
// Two generators turn the threat board into a short list of empty
// squares, best first. The root generator looks at every empty square and
// keeps up to 200; the inner one looks only at squares with a stone within
// two cells and keeps at most 16, which bounds the branching factor of the
// whole search. Both short-cut forced play: a square that completes five, or
// the one square that stops the opponent's five, comes back alone.
//
// A square's worth for a player is one byte from the move-value tables,
// indexed by the classes of its four lines in that player's view: 255 a five,
// 212 an open four (or fours in two lines), 210 four-three, 202 double
// three, at most 59 otherwise.
#pragma once

#include <cstdint>

#include "position/pattern_tables.h"
#include "position/rule.h"
#include "position/types.h"
#include "search/search_record.h"
#include "search/tt.h"
#include "threats/threat_board.h"

namespace kestrix {

inline constexpr int32_t VALUE_FIVE = 255;
inline constexpr int32_t VALUE_OPEN_FOUR = 212;
inline constexpr int32_t VALUE_THREAT_THRESHOLD = 199;  // above: a real threat

// The worth for player of the empty square on `cell` of the board.
template <RuleIndex R>
inline int32_t moveValueAtCell(const ThreatBoard& board, CellIndex cell, int32_t player) {
  const uint8_t* ranks = rankTableFor<R>(player);
  const uint16_t* slot = board.cells[cell].lineSlot;
  const int32_t view = player - BLACK;
  const int32_t index = RANK_PLACE[0] * ranks[board.lineCode[0][slot[0]][view]] +
                        RANK_PLACE[1] * ranks[board.lineCode[1][slot[1]][view]] +
                        RANK_PLACE[2] * ranks[board.lineCode[2][slot[2]][view]] +
                        RANK_PLACE[3] * ranks[board.lineCode[3][slot[3]][view]];
  return moveValueTableFor<R>(player)[index];
}

// The worths of the empty square on `cell` for both players, indexed by
// player: moveValueAtCell for BLACK and for WHITE, with each player's view
// and tables fixed in the code.
template <RuleIndex R>
inline void moveValuesAtCell(const ThreatBoard& board, CellIndex cell, int32_t (&worth)[3]) {
  const uint16_t* slot = board.cells[cell].lineSlot;
  const uint16_t(&codes0)[2] = board.lineCode[0][slot[0]];
  const uint16_t(&codes1)[2] = board.lineCode[1][slot[1]];
  const uint16_t(&codes2)[2] = board.lineCode[2][slot[2]];
  const uint16_t(&codes3)[2] = board.lineCode[3][slot[3]];
  const uint8_t* ranks = rankTableFor<R>(BLACK);
  worth[BLACK] = moveValueTableFor<R>(
      BLACK)[RANK_PLACE[0] * ranks[codes0[0]] + RANK_PLACE[1] * ranks[codes1[0]] +
             RANK_PLACE[2] * ranks[codes2[0]] + RANK_PLACE[3] * ranks[codes3[0]]];
  ranks = rankTableFor<R>(WHITE);
  worth[WHITE] = moveValueTableFor<R>(
      WHITE)[RANK_PLACE[0] * ranks[codes0[1]] + RANK_PLACE[1] * ranks[codes1[1]] +
             RANK_PLACE[2] * ranks[codes2[1]] + RANK_PLACE[3] * ranks[codes3[1]]];
}

// Fills out with up to capacity root moves for player, best first; returns
// the count (0 when no square is worth anything).
template <RuleIndex R>
int32_t generateRootMoves(SearchRecord& record, int32_t player, Square* out, int32_t capacity);

// The same for an inner node, from the squares near stones only. Given the
// table, it starts loading the entry of the likely first move's position.
template <RuleIndex R>
int32_t generateMoves(SearchRecord& record, int32_t player, Square* out, int32_t capacity,
                      const TranspositionTable* tt = nullptr);

// Orders the candidates by score, highest first. The order among
// equal scores is that of this particular quicksort, and the search depends
// on it, so it must not be replaced by another sort. Only the first `limit`
// entries are guaranteed to be in their final place.
void sortCandidates(CandidateList& candidates, int32_t limit = MAX_CELLS);

}  // namespace kestrix
