// Kestrix: the line codes of the search's board, and how a stone changes
// them.
//
// Every square carries, per direction and player, the line code of the ten
// cells around it on that line (the digits and their weights are those of
// the pattern tables): digit 0 empty, 1 the player's own stone, 2 blocked
// (the other player, a NEUTRAL mark or off the board).
//
// A stone on q changes the codes of the 40 cells within five of q along the
// four lines. From a cell at distance k on the positive side, q lies at -k
// (weight 3^(2k-2)); from a cell on the negative side it lies at +k (weight
// 3^(2k-1)). Cells of the border take the change like any other; nothing
// reads their codes.
#pragma once

#include <cstdint>

#include "position/pattern_tables.h"
#include "position/position.h"
#include "position/types.h"
#include "threats/search_record.h"

namespace kestrix {

// Digit that a stone of code s (row) writes into the view of player p
// (column, BLACK or WHITE).
inline constexpr int32_t SLOT_DIGIT[4][4] = {
    {0, 0, 0, 0}, {0, 1, 2, 0}, {0, 2, 1, 0}, {0, 2, 2, 0}};

// Calls visit(cell, d, weight) for every cell whose line-d window holds cell
// q, with the digit weight of q in that window: per direction the positive
// side first, then the negative side, nearest cell first. The steps and
// weights are constants, so the compiler lays the forty visits out in line.
template <typename Visit>
inline void forEachLineNeighbour(int32_t q, Visit&& visit) {
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    for (int32_t k = 1; k <= 5; ++k) visit(q + k * LINE_STEP[d], d, DIGIT_WEIGHT[5 - k]);
    for (int32_t k = 1; k <= 5; ++k) visit(q - k * LINE_STEP[d], d, DIGIT_WEIGHT[5 + k]);
  }
}

// Lays out the record's board for record.position's size, without stones:
// the border, the translation between squares and cells, and every code set
// to its off-board part alone.
void initLineCodes(SearchRecord& record);

// Change of every code within five cells of q when a stone of code s
// (BLACK, WHITE or NEUTRAL) is put on q or taken from it. The stone fields
// are the caller's business.
void addStoneCodes(SearchRecord& record, Square q, int32_t s);
void takeStoneCodes(SearchRecord& record, Square q, int32_t s);

}  // namespace kestrix
