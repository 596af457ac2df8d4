// Kestrix: placing and removing stones on the search's own board.
//
// placeStone and removeStone keep, for every square, the line codes of both
// players and the count of stones nearby, and for every player the threat
// tallies (patternScore, classCount), exactly up to date. They are the
// engine's innermost loop. One template serves all rules; the rule only
// chooses the line table that scores a stone (lineTableFor).
//
// A stone of player q on s contributes to playerThreats[q] the weights of
// its four lines and one count in the threat class of its four line
// classes, all read from the line table of q at s's codes in q's view. A
// new or removed stone changes the codes of the cells on its four lines
// only in that one line, so a neighbouring stone's contribution is
// corrected from the one line table entry that changed; its threat class is
// looked up again only when that line's rank changes. Empty cells within
// reach only have their codes shifted, a few vector additions per line. A
// NEUTRAL stone blocks lines but scores for no one.
//
// Neither touches the Zobrist key: the search folds keys itself. The
// definitions live here so that each search family can inline its own
// rule's pair.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "position/pattern_tables.h"
#include "position/position.h"
#include "position/rule.h"
#include "position/types.h"
#include "threats/line_codes.h"
#include "threats/search_record.h"

namespace kestrix {

// Codes fit the 16-bit slots.
static_assert(LINE_CODE_COUNT <= 65536);
static_assert(sizeof(ThreatCell) == 16);

namespace stones_detail {

inline bool scores(int32_t stone) {
  return stone == BLACK || stone == WHITE;
}

// Adds (sign +1) or subtracts (sign -1) the contribution of the stone q
// (BLACK or WHITE) standing on cell c to the tallies. With Commit false the
// record is only read.
template <RuleIndex R, bool Commit>
inline void scoreStone(SearchRecord& record, PlayerThreats* tallies, int32_t c, int32_t q,
                       int32_t sign) {
  ThreatCell& cell = record.threatBoard[c];
  const LineEntry* table = lineTableFor<R>(q);
  const int32_t view = q - BLACK;
  const LineEntry e0 = table[record.lineCode[0][cell.lineSlot[0]][view]];
  const LineEntry e1 = table[record.lineCode[1][cell.lineSlot[1]][view]];
  const LineEntry e2 = table[record.lineCode[2][cell.lineSlot[2]][view]];
  const LineEntry e3 = table[record.lineCode[3][cell.lineSlot[3]][view]];
  PlayerThreats& threats = tallies[q];
  threats.patternScore += sign * (e0.lineWeight + e1.lineWeight + e2.lineWeight + e3.lineWeight);
  const int32_t combo = sign > 0 ? rankStride[0][e0.lineRank] + rankStride[1][e1.lineRank] +
                                       rankStride[2][e2.lineRank] + rankStride[3][e3.lineRank]
                                 : cell.comboIndex;
  threats.classCount[rankThreatClassTable[combo]] += sign;
  if constexpr (Commit) cell.comboIndex = sign > 0 ? combo : 0;
}

// Moves the contributions of Q's stones within five of cell c on line d
// along with the change that a stone of code s put on c (Sign +1) or taken
// from it (Sign -1) makes to their codes. `codes` and `stones` point at c's
// slot in line d's arrays; the codes are read as they were before the
// change. With Commit false only the tallies change. Visiting the stones in
// slot order instead of walking out from c changes no sum.
template <RuleIndex R, int32_t Sign, bool Commit, int32_t Q>
inline void shiftStones(SearchRecord& record, PlayerThreats* tallies, int32_t c, int32_t d,
                        const uint16_t (*codes)[2], const uint8_t* stones, int32_t s) {
  const LineEntry* table = lineTableFor<R>(Q);
  const uint16_t* shift = CODE_SHIFT[s].lanes;
  PlayerThreats& threats = tallies[Q];
  for (uint32_t bits = stonesAround(stones, Q); bits != 0; bits &= bits - 1) {
    const int32_t k = std::countr_zero(bits) - 5;
    const int32_t oldCode = codes[k][Q - BLACK];
    const int32_t newCode = oldCode + Sign * shift[2 * (k + 5) + Q - BLACK];
    const LineEntry before = table[oldCode];
    const LineEntry after = table[newCode];
    threats.patternScore += after.lineWeight - before.lineWeight;
    if (before.lineRank == after.lineRank) continue;
    ThreatCell& cell = record.threatBoard[c + k * LINE_STEP[d]];
    const int32_t comboBefore = cell.comboIndex;
    const int32_t combo =
        comboBefore + rankStride[d][after.lineRank] - rankStride[d][before.lineRank];
    if constexpr (Commit) cell.comboIndex = combo;
    --threats.classCount[rankThreatClassTable[comboBefore]];
    ++threats.classCount[rankThreatClassTable[combo]];
  }
}

// The work shared by placeStone (Sign +1), removeStone (Sign -1) and
// tallyAfterPlacing for a stone of code s on cell c, line by line: the
// stones of both players around c rescored, then (with Commit) the codes
// shifted and c's own slot given its new stone.
template <RuleIndex R, int32_t Sign, bool Commit>
inline void shiftLines(SearchRecord& record, PlayerThreats* tallies, int32_t c, int32_t s) {
  const ThreatCell& cell = record.threatBoard[c];
  // Laid out once per direction, so that each line's step and strides are
  // constants.
#pragma GCC unroll 4
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    const int32_t slot = cell.lineSlot[d];
    uint16_t(*codes)[2] = record.lineCode[d] + slot;
    uint8_t* stones = record.lineStone[d] + slot;
    shiftStones<R, Sign, Commit, BLACK>(record, tallies, c, d, codes, stones, s);
    shiftStones<R, Sign, Commit, WHITE>(record, tallies, c, d, codes, stones, s);
    if constexpr (Commit) {
      shiftLineCodes<Sign>(codes, s);
      *stones = static_cast<uint8_t>(Sign > 0 ? s : EMPTY);
    }
  }
}

// The cells at distance 1 and 2 along the eight rays, in increasing order.
inline constexpr auto NEAR_CELL_OFFSETS = [] {
  std::array<int32_t, 16> offsets{};
  for (int32_t i = 0; i < 16; ++i) {
    offsets[i] = NEIGHBOUR_OFFSETS[i].dy * BOARD_STRIDE + NEIGHBOUR_OFFSETS[i].dx;
  }
  return offsets;
}();

// Applies count to every cell near cell c and sets the cell's near-empty
// bit to its answer (count must answer false on the border). The cells
// come in increasing order, so a word of bits is loaded once for each run
// of them that falls into it and kept in a register meanwhile.
template <typename Count>
inline void countNeighbours(SearchRecord& record, int32_t c, Count&& count) {
  int32_t index = (c + NEAR_CELL_OFFSETS[0]) >> 6;
  uint64_t word = record.nearEmpty[index];
  for (const int32_t offset : NEAR_CELL_OFFSETS) {
    const int32_t n = c + offset;
    if ((n >> 6) != index) {
      record.nearEmpty[index] = word;
      index = n >> 6;
      word = record.nearEmpty[index];
    }
    const uint64_t bit = uint64_t{1} << (n & 63);
    word = (word & ~bit) | ((uint64_t{0} - uint64_t{count(record.threatBoard[n])}) & bit);
  }
  record.nearEmpty[index] = word;
}

}  // namespace stones_detail

// Puts a stone of `player` (BLACK, WHITE or NEUTRAL) on the empty square s.
template <RuleIndex R>
inline void placeStone(SearchRecord& record, Square s, int32_t player) {
  const int32_t c = record.cellOfSquare[s];
  record.threatBoard[c].stone = static_cast<uint8_t>(player);
  markNearEmpty(record, c, false);
  stones_detail::countNeighbours(record, c, [](ThreatCell& near) {
    ++near.nearStones;
    return near.stone == EMPTY;
  });
  // s's own codes describe the other stones only, so they are already final.
  if (stones_detail::scores(player)) {
    stones_detail::scoreStone<R, true>(record, record.playerThreats, c, player, +1);
  }
  stones_detail::shiftLines<R, +1, true>(record, record.playerThreats, c, player);
}

// Takes the stone off s; undoes the placeStone on s exactly.
template <RuleIndex R>
inline void removeStone(SearchRecord& record, Square s) {
  const int32_t c = record.cellOfSquare[s];
  ThreatCell& cell = record.threatBoard[c];
  const int32_t player = cell.stone;
  cell.stone = EMPTY;
  markNearEmpty(record, c, cell.nearStones != 0);
  stones_detail::countNeighbours(record, c, [](ThreatCell& near) {
    --near.nearStones;
    return near.stone == EMPTY && near.nearStones != 0;
  });
  if (stones_detail::scores(player)) {
    stones_detail::scoreStone<R, true>(record, record.playerThreats, c, player, -1);
  }
  stones_detail::shiftLines<R, -1, true>(record, record.playerThreats, c, player);
}

// The tallies that placeStone (record, s, player) would leave, written to
// `tallies` while the record stays as it is. The search judges its leaves
// this way: a leaf needs the tallies after its move, never the board.
template <RuleIndex R>
inline void tallyAfterPlacing(SearchRecord& record, Square s, int32_t player,
                              PlayerThreats (&tallies)[4]) {
  std::memcpy(tallies, record.playerThreats, sizeof(tallies));
  const int32_t c = record.cellOfSquare[s];
  if (stones_detail::scores(player)) {
    stones_detail::scoreStone<R, false>(record, tallies, c, player, +1);
  }
  stones_detail::shiftLines<R, +1, false>(record, tallies, c, player);
}

}  // namespace kestrix
