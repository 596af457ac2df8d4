// Kestrix: the line codes of the search's board, and how a stone changes
// them.
//
// Every square carries, per direction and player slot, the line code of the
// ten cells around it on that line (the digits and their weights are those
// of the pattern tables): digit 0 empty, 1 the slot's own stone, 2 blocked
// (the other player, a NEUTRAL mark or off the board).
//
// Only slots 1 (BLACK) and 2 (WHITE) follow the stones; slots 0 and 3 keep
// the off-board digits they were given, so that a NEUTRAL stone can be
// scored through its own slot like any other stone.
//
// A stone on q changes the codes of at most 40 cells: five on each side of
// q along the four lines, each walk ending where the board ends. From a cell
// at distance k on the positive side, q lies at -k (weight 3^(2k-2)); from a
// cell on the negative side it lies at +k (weight 3^(2k-1)).
#pragma once

#include <cstdint>

#include "position/pattern_tables.h"
#include "position/position.h"
#include "position/types.h"
#include "threats/search_record.h"

namespace kestrix {

// Digit that a stone of code s (row) writes into slot p (column): 1 for its
// own slot, 2 for the other player's; slots 0 and 3 never change.
inline constexpr int32_t SLOT_DIGIT[4][4] = {
    {0, 0, 0, 0}, {0, 1, 2, 0}, {0, 2, 1, 0}, {0, 2, 2, 0}};

// Calls visit(cell, d, weight) for every cell whose line-d window holds q,
// with the digit weight of q in that window: per direction the positive
// side first, then the negative side, nearest cell first.
template <typename Visit>
inline void forEachLineNeighbour(const Position& position, Square q, Visit&& visit) {
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    const int32_t step = position.lineOffset[d][6];
    const int32_t ahead = rayLength(position, q, d, true);
    for (int32_t k = 1; k <= ahead; ++k) {
      visit(static_cast<Square>(q + k * step), d, DIGIT_WEIGHT[5 - k]);
    }
    const int32_t behind = rayLength(position, q, d, false);
    for (int32_t k = 1; k <= behind; ++k) {
      visit(static_cast<Square>(q - k * step), d, DIGIT_WEIGHT[5 + k]);
    }
  }
}

// Sets every code of the record's board (record.position gives the size) to
// its off-board part alone.
void initLineCodes(SearchRecord& record);

// Change of every code within five cells of q when a stone of code s
// (BLACK, WHITE or NEUTRAL) is put on q or taken from it. The stone fields
// are the caller's business.
void addStoneCodes(SearchRecord& record, Square q, int32_t s);
void takeStoneCodes(SearchRecord& record, Square q, int32_t s);

}  // namespace kestrix
