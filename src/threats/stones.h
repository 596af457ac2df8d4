// Kestrix: placing and removing stones on the threat board.
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
// The search itself uses pushStone and popStone, the same pair for stones
// that come off in the reverse order: popStone restores the tallies and
// the changed threat classes from what pushStone kept, instead of scoring
// the stones around again.
//
// None touches the Zobrist key: the search folds keys itself. The
// definitions live here so that each search family can inline its own
// rule's pair.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "position/pattern_tables.h"
#include "position/position.h"
#include "position/rule.h"
#include "position/types.h"
#include "threats/line_codes.h"
#include "threats/threat_board.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrix {

// Codes fit the 16-bit slots.
static_assert(LINE_CODE_COUNT <= 65536);
static_assert(sizeof(ThreatCell) == 16);

namespace stones_detail {

inline bool scores(int32_t stone) {
  return stone == BLACK || stone == WHITE;
}

// The board as the stone work below takes it: to change when it commits
// what it works out, only to read when it reckons tallies alone.
template <bool Commit>
using BoardFor = std::conditional_t<Commit, ThreatBoard, const ThreatBoard>;

// Adds (sign +1) or subtracts (sign -1) the contribution of the stone q
// (BLACK or WHITE) standing on cell c to the tallies. With Commit false the
// board is only read.
template <RuleIndex R, bool Commit>
inline void scoreStone(BoardFor<Commit>& board, PlayerThreats* tallies, CellIndex c, int32_t q,
                       int32_t sign) {
  auto& cell = board.cells[c];
  const LineEntry* table = lineTableFor<R>(q);
  const int32_t view = q - BLACK;
  const LineEntry e0 = table[board.lineCode[0][cell.lineSlot[0]][view]];
  const LineEntry e1 = table[board.lineCode[1][cell.lineSlot[1]][view]];
  const LineEntry e2 = table[board.lineCode[2][cell.lineSlot[2]][view]];
  const LineEntry e3 = table[board.lineCode[3][cell.lineSlot[3]][view]];
  PlayerThreats& threats = tallies[q];
  threats.patternScore += sign * (e0.lineWeight + e1.lineWeight + e2.lineWeight + e3.lineWeight);
  const int32_t combo = sign > 0 ? RANK_PLACE[0] * e0.lineRank + RANK_PLACE[1] * e1.lineRank +
                                       RANK_PLACE[2] * e2.lineRank + RANK_PLACE[3] * e3.lineRank
                                 : cell.comboIndex;
  threats.classCount[rankThreatClassTable[combo]] += sign;
  if constexpr (Commit) cell.comboIndex = sign > 0 ? combo : 0;
}

// Moves the contributions of Q's stones within five of cell c on line d
// along with the change that a stone of code s put on c (Sign +1) or taken
// from it (Sign -1) makes to their codes. `codes` and `stones` point at c's
// slot in line d's arrays; the codes are read as they were before the
// change. With Commit false only the tallies change; with Trail, every
// comboIndex changed is first saved on the board's comboTrail. Visiting
// the stones in slot order instead of walking out from c changes no sum.
template <RuleIndex R, int32_t Sign, bool Commit, bool Trail, int32_t Q>
inline void shiftStones(BoardFor<Commit>& board, PlayerThreats* tallies, CellIndex c, int32_t d,
                        const uint16_t (*codes)[2], const uint8_t* stones, int32_t s) {
  static_assert(Commit || !Trail, "a trail records changes made to the board");
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
    auto& cell = board.cells[c + k * LINE_STEP[d]];
    const int32_t comboBefore = cell.comboIndex;
    const int32_t combo = comboBefore + RANK_PLACE[d] * (after.lineRank - before.lineRank);
    if constexpr (Trail) {
      board.comboTrail[board.comboTrailCount++] = ComboChange{c + k * LINE_STEP[d], comboBefore};
    }
    if constexpr (Commit) cell.comboIndex = combo;
    --threats.classCount[rankThreatClassTable[comboBefore]];
    ++threats.classCount[rankThreatClassTable[combo]];
  }
}

// The work shared by placeStone (Sign +1), removeStone (Sign -1) and
// tallyAfterPlacing for a stone of code s on cell c, line by line: the
// stones of both players around c rescored, then (with Commit) the codes
// shifted and c's own slot given its new stone.
template <RuleIndex R, int32_t Sign, bool Commit, bool Trail = false>
inline void shiftLines(BoardFor<Commit>& board, PlayerThreats* tallies, CellIndex c, int32_t s) {
  const ThreatCell& cell = board.cells[c];
  // Laid out once per direction, so that each line's step and strides are
  // constants.
#pragma GCC unroll 4
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    const int32_t slot = cell.lineSlot[d];
    auto* codes = board.lineCode[d] + slot;
    auto* stones = board.lineStone[d] + slot;
    shiftStones<R, Sign, Commit, Trail, BLACK>(board, tallies, c, d, codes, stones, s);
    shiftStones<R, Sign, Commit, Trail, WHITE>(board, tallies, c, d, codes, stones, s);
    if constexpr (Commit) {
      shiftLineCodes<Sign>(codes, s);
      *stones = static_cast<uint8_t>(Sign > 0 ? s : EMPTY);
    }
  }
}

// The cells near a cell (distance 1 and 2 along the eight rays) lie in the
// five rows around it, in the five columns around it: NEAR_IN_ROW[row + 2][i]
// is 1 where column i - 2 of that row holds one of them.
inline constexpr auto NEAR_IN_ROW = [] {
  std::array<std::array<uint8_t, 16>, 5> rows{};
  for (const NeighbourOffset& offset : NEIGHBOUR_OFFSETS) rows[offset.dy + 2][offset.dx + 2] = 1;
  return rows;
}();

// Sets the near-empty bits of cells first .. first + 4 to the five low bits
// of `bits`. The run may reach into the next word; the shifts by 63 - shift
// and one more give that word's part, nothing when the run ends in the
// first word.
inline void setNearEmptyRun(ThreatBoard& board, CellIndex first, uint64_t bits) {
  uint64_t* word = board.nearEmpty + (first >> 6);
  const int32_t shift = first & 63;
  word[0] = (word[0] & ~(uint64_t{0x1f} << shift)) | bits << shift;
  word[1] = (word[1] & ~((uint64_t{0x1f} >> 1) >> (63 - shift))) | (bits >> 1) >> (63 - shift);
}

// Adds Sign to the near-stone count of every cell near cell c, and sets the
// near-empty bits of the five rows of five cells around c, c included, from
// their stones and counts: the same bits as setting each counted cell's bit
// and c's own, since the others in those rows keep theirs. c's stone in
// lineStone[0] must be final.
template <int32_t Sign>
inline void countNeighbours(ThreatBoard& board, CellIndex c) {
#pragma GCC unroll 5
  for (int32_t row = -2; row <= 2; ++row) {
    const CellIndex first = c + row * BOARD_STRIDE - 2;
    uint8_t* counts = board.nearStones + first;
    const uint8_t* stones = board.lineStone[DIR_HORIZONTAL] + first;
    const uint8_t* change = NEAR_IN_ROW[row + 2].data();
    uint32_t bits = 0;
#if defined(__SSE2__)
    // Sixteen counts at a time; the eleven past the row change by 0.
    const __m128i amount = _mm_loadu_si128(reinterpret_cast<const __m128i*>(change));
    __m128i now = _mm_loadu_si128(reinterpret_cast<const __m128i*>(counts));
    now = Sign > 0 ? _mm_add_epi8(now, amount) : _mm_sub_epi8(now, amount);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(counts), now);
    const __m128i zero = _mm_setzero_si128();
    const __m128i empty =
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(stones)), zero);
    const __m128i alone = _mm_cmpeq_epi8(now, zero);
    bits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_andnot_si128(alone, empty))) & 0x1f;
#else
    for (int32_t i = 0; i < 5; ++i) {
      counts[i] = static_cast<uint8_t>(counts[i] + Sign * change[i]);
      bits |= uint32_t{stones[i] == EMPTY && counts[i] != 0} << i;
    }
#endif
    setNearEmptyRun(board, first, bits);
  }
}

// placeStone on cell c; with Trail, the comboIndex values it changes are
// saved on the comboTrail first.
template <RuleIndex R, bool Trail>
inline void putStone(ThreatBoard& board, CellIndex c, int32_t player) {
  board.cells[c].stone = static_cast<uint8_t>(player);
  // c's own codes describe the other stones only, so they are already final.
  if (scores(player)) scoreStone<R, true>(board, board.playerThreats, c, player, +1);
  shiftLines<R, +1, true, Trail>(board, board.playerThreats, c, player);
  countNeighbours<+1>(board, c);
}

}  // namespace stones_detail

// Puts a stone of `player` (BLACK, WHITE or NEUTRAL) on the empty square s.
template <RuleIndex R>
inline void placeStone(ThreatBoard& board, Square s, int32_t player) {
  stones_detail::putStone<R, false>(board, board.cellOfSquare[s], player);
}

// Takes the stone off s; undoes the placeStone on s exactly. The search
// takes its stones off with the quicker popStone; this plain inverse is
// what popStone is checked against, and what the micro bench times.
template <RuleIndex R>
inline void removeStone(ThreatBoard& board, Square s) {
  const CellIndex c = board.cellOfSquare[s];
  ThreatCell& cell = board.cells[c];
  const int32_t player = cell.stone;
  cell.stone = EMPTY;
  if (stones_detail::scores(player)) {
    stones_detail::scoreStone<R, true>(board, board.playerThreats, c, player, -1);
  }
  stones_detail::shiftLines<R, -1, true>(board, board.playerThreats, c, player);
  stones_detail::countNeighbours<-1>(board, c);
}

// placeStone for the search, whose stones come off in the reverse order:
// also keeps what popStone needs to put the board back without rescoring
// the stones around s.
template <RuleIndex R>
inline void pushStone(ThreatBoard& board, Square s, int32_t player) {
  PushedStone& pushed = board.pushed[board.pushedCount++];
  pushed.threats[0] = board.playerThreats[BLACK];
  pushed.threats[1] = board.playerThreats[WHITE];
  pushed.trailStart = board.comboTrailCount;
  stones_detail::putStone<R, true>(board, board.cellOfSquare[s], player);
}

// Takes off s the stone of the latest pushStone still on the board: the
// board ends exactly as removeStone would leave it, with the tallies and
// the changed comboIndex values restored from what pushStone kept instead
// of worked out again; only the codes and near-stone counts are shifted
// back.
template <RuleIndex R>
inline void popStone(ThreatBoard& board, Square s) {
  const PushedStone& pushed = board.pushed[--board.pushedCount];
  const CellIndex c = board.cellOfSquare[s];
  ThreatCell& cell = board.cells[c];
  const int32_t player = cell.stone;
  cell.stone = EMPTY;
  cell.comboIndex = 0;
  board.playerThreats[BLACK] = pushed.threats[0];
  board.playerThreats[WHITE] = pushed.threats[1];
  while (board.comboTrailCount > pushed.trailStart) {
    const ComboChange& change = board.comboTrail[--board.comboTrailCount];
    board.cells[change.cell].comboIndex = change.comboIndex;
  }
#pragma GCC unroll 4
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    const int32_t slot = cell.lineSlot[d];
    shiftLineCodes<-1>(board.lineCode[d] + slot, player);
    board.lineStone[d][slot] = EMPTY;
  }
  stones_detail::countNeighbours<-1>(board, c);
}

// The tallies that placeStone (board, s, player) would leave, written to
// `tallies` while the board stays as it is. The search judges its leaves
// this way: a leaf needs the tallies after its move, never the board.
template <RuleIndex R>
inline void tallyAfterPlacing(const ThreatBoard& board, Square s, int32_t player,
                              PlayerThreats (&tallies)[4]) {
  std::memcpy(tallies, board.playerThreats, sizeof(tallies));
  const CellIndex c = board.cellOfSquare[s];
  if (stones_detail::scores(player)) {
    stones_detail::scoreStone<R, false>(board, tallies, c, player, +1);
  }
  stones_detail::shiftLines<R, +1, false>(board, tallies, c, player);
}

// Lays the board out for the Position's size and puts its stones down under
// rule R, square by square.
template <RuleIndex R>
inline void fillThreatBoard(ThreatBoard& board, const Position& position) {
  initThreatBoard(board, position.width, position.height);
  for (int32_t i = 0; i < position.cellCount; ++i) {
    const int32_t stone = position.cells[i].stone;
    if (stone != EMPTY) placeStone<R>(board, static_cast<Square>(i), stone);
  }
}

}  // namespace kestrix
