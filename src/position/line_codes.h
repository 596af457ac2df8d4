// Kestrix: base-3 line codes and how a stone changes them.
//
// Every square carries, per direction and player slot, the code of the ten
// cells around it on that line: digit 0 empty, 1 the slot's own stone, 2
// blocked (the other player, a NEUTRAL mark or off the board). The cell at
// distance -j weighs 3^(2j-2) and the one at +j weighs 3^(2j-1), so near
// cells take the low digits and the two sides interleave; the square itself
// weighs 0. A code is the index of the line tables.
#pragma once

#include <cstdint>

#include "position/types.h"
#include "threats/search_record.h"

namespace kestrix {

// Weight of window position p = k + 5 (distance k = -5..5).
inline constexpr int32_t DIGIT_WEIGHT[11] = {6561, 729, 81, 9, 1, 0, 3, 27, 243, 2187, 19683};

// Sets every code of the record's board (record.position gives the size) to
// its off-board part alone.
void initLineCodes(SearchRecord& record);

// Change of every code within five cells of q when a stone of code s
// (BLACK, WHITE or NEUTRAL) is put on q or taken from it. The stone fields
// are the caller's business.
void addStoneCodes(SearchRecord& record, Square q, int32_t s);
void takeStoneCodes(SearchRecord& record, Square q, int32_t s);

}  // namespace kestrix
