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
// classes, all read from the line table of q at s's codes in slot q. A new
// or removed stone changes the codes of the cells on its four lines only in
// that one line, so a neighbouring stone's contribution is corrected from
// the one line table entry that changed; its threat class is looked up
// again only when that line's class changes. A NEUTRAL stone blocks lines
// but scores for no one.
//
// Neither touches the Zobrist key: the search folds keys itself. The
// definitions live here so that each search family can inline its own
// rule's pair.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "position/pattern_tables.h"
#include "position/position.h"
#include "position/rule.h"
#include "position/types.h"
#include "threats/line_codes.h"
#include "threats/search_record.h"

namespace kestrix {

// Codes fit the 16-bit slots, and a cell stays small enough that the cells
// a stone touches share few cache lines.
static_assert(LINE_CODE_COUNT <= 65536);
static_assert(sizeof(ThreatCell) == 24);

namespace stones_detail {

// Adds (sign +1) or subtracts (sign -1) the contribution of the stone q
// (BLACK or WHITE) standing on this cell to the tallies. With Commit false
// the cell is only read.
template <RuleIndex R, bool Commit>
inline void scoreStone(PlayerThreats* tallies, ThreatCell& cell, int32_t q, int32_t sign) {
  const LineEntry* table = lineTableFor<R>(q);
  const uint16_t* codes = cell.lineCode[q - BLACK];
  const LineEntry e0 = table[codes[0]];
  const LineEntry e1 = table[codes[1]];
  const LineEntry e2 = table[codes[2]];
  const LineEntry e3 = table[codes[3]];
  PlayerThreats& threats = tallies[q];
  threats.patternScore += sign * (e0.lineWeight + e1.lineWeight + e2.lineWeight + e3.lineWeight);
  const int32_t combo = sign > 0 ? comboStride[0][e0.lineClass] + comboStride[1][e1.lineClass] +
                                       comboStride[2][e2.lineClass] + comboStride[3][e3.lineClass]
                                 : cell.comboIndex;
  threats.classCount[threatClassTable[combo]] += sign;
  if constexpr (Commit) cell.comboIndex = sign > 0 ? combo : 0;
}

// Changes line d of one cell near the placed or removed stone by the given
// amounts in BLACK's and WHITE's views, and moves the contribution of the
// cell's own stone along with it. With Commit false only the tallies
// change.
template <RuleIndex R, bool Commit>
inline void shiftRayCell(PlayerThreats* tallies, ThreatCell& cell, int32_t d, int32_t blackDelta,
                         int32_t whiteDelta) {
  const int32_t blackCode = cell.lineCode[0][d];
  const int32_t whiteCode = cell.lineCode[1][d];
  if constexpr (Commit) {
    cell.lineCode[0][d] = static_cast<uint16_t>(blackCode + blackDelta);
    cell.lineCode[1][d] = static_cast<uint16_t>(whiteCode + whiteDelta);
  }
  // Empty squares, NEUTRAL marks and the border score nothing.
  const int32_t q = cell.stone;
  if (q != BLACK && q != WHITE) return;
  const int32_t oldCode = q == BLACK ? blackCode : whiteCode;
  const LineEntry* table = lineTableFor<R>(q);
  const LineEntry before = table[oldCode];
  const LineEntry after = table[oldCode + (q == BLACK ? blackDelta : whiteDelta)];
  PlayerThreats& threats = tallies[q];
  threats.patternScore += after.lineWeight - before.lineWeight;
  if (before.lineClass == after.lineClass) return;
  const int32_t comboBefore = cell.comboIndex;
  const int32_t combo =
      comboBefore + comboStride[d][after.lineClass] - comboStride[d][before.lineClass];
  if constexpr (Commit) cell.comboIndex = combo;
  --threats.classCount[threatClassTable[comboBefore]];
  ++threats.classCount[threatClassTable[combo]];
}

// The walk shared by placeStone (sign +1), removeStone (sign -1) and
// tallyAfterPlacing for a stone of player p on s: every cell within five on
// the four lines.
template <RuleIndex R, int32_t Sign, bool Commit>
inline void shiftLines(SearchRecord& record, PlayerThreats* tallies, int32_t c, int32_t p) {
  const int32_t black = Sign * SLOT_DIGIT[p][BLACK];
  const int32_t white = Sign * SLOT_DIGIT[p][WHITE];
  forEachLineNeighbour(c, [&](int32_t r, int32_t d, int32_t weight) {
    shiftRayCell<R, Commit>(tallies, record.threatBoard[r], d, black * weight, white * weight);
  });
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

inline bool scores(int32_t stone) {
  return stone == BLACK || stone == WHITE;
}

}  // namespace stones_detail

// Puts a stone of `player` (BLACK, WHITE or NEUTRAL) on the empty square s.
template <RuleIndex R>
inline void placeStone(SearchRecord& record, Square s, int32_t player) {
  const int32_t c = record.cellOfSquare[s];
  ThreatCell& cell = record.threatBoard[c];
  cell.stone = static_cast<uint8_t>(player);
  markNearEmpty(record, c, false);
  stones_detail::countNeighbours(record, c, [](ThreatCell& near) {
    ++near.nearStones;
    return near.stone == EMPTY;
  });
  // s's own codes describe the other stones only, so they are already final.
  if (stones_detail::scores(player)) {
    stones_detail::scoreStone<R, true>(record.playerThreats, cell, player, +1);
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
    stones_detail::scoreStone<R, true>(record.playerThreats, cell, player, -1);
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
    stones_detail::scoreStone<R, false>(tallies, record.threatBoard[c], player, +1);
  }
  stones_detail::shiftLines<R, +1, false>(record, tallies, c, player);
}

}  // namespace kestrix
