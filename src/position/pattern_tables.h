// Kestrix: the pattern tables that turn line codes into judgements.
//
// Line tables (one per rule family, 59049 entries of 4 bytes, indexed by a
// line code): the class of the line through a square for the player who has
// a stone there, its weight, and the window positions of its key squares
// (low nibble first, 5 = none). Four-line tables (234256 bytes each, indexed
// by the base-22 number of the four line classes, built with comboStride):
// the square's threat class and its move-ordering value.
//
// All tables are generated at start-up by initPatternTables and never change
// afterwards.
#pragma once

#include <cstdint>

#include "position/types.h"

namespace kestrix {

struct LineEntry {
  uint8_t lineClass;   // 0..21
  uint8_t lineWeight;  // sum of k^2 over usable five-windows
  uint8_t keySquares;  // window positions of the key squares, 0x55 for none
  uint8_t reserved;
};
static_assert(sizeof(LineEntry) == 4, "line entries are packed four to a word");

inline constexpr int32_t LINE_CODE_COUNT = 59049;  // 3^10
inline constexpr int32_t LINE_CLASS_COUNT = 22;
inline constexpr int32_t COMBO_COUNT = 234256;  // 22^4

extern LineEntry freestyleLineTable[LINE_CODE_COUNT];
extern LineEntry standardLineTable[LINE_CODE_COUNT];
extern LineEntry renjuLineTable[LINE_CODE_COUNT];
extern uint8_t threatClassTable[COMBO_COUNT];
extern uint8_t moveValueTable[COMBO_COUNT];
extern uint8_t renjuMoveValueTable[COMBO_COUNT];
extern int32_t comboStride[DIRECTION_COUNT][LINE_CLASS_COUNT];

// Builds every table once; later calls return at once. Thread-safe.
void initPatternTables();

// The line table that judges the lines of `player` under rule R. Under Renju
// only black plays by the Renju table; white and NEUTRAL use free-style.
template <RuleIndex R>
inline const LineEntry* lineTableFor(int32_t player) {
  if constexpr (R == RULE_FREESTYLE) {
    return freestyleLineTable;
  } else if constexpr (R == RULE_STANDARD) {
    return standardLineTable;
  } else {
    return player == BLACK ? renjuLineTable : freestyleLineTable;
  }
}

// The move-value table for `player` under rule R.
template <RuleIndex R>
inline const uint8_t* moveValueTableFor(int32_t player) {
  if constexpr (R == RULE_RENJU) {
    return player == BLACK ? renjuMoveValueTable : moveValueTable;
  } else {
    return moveValueTable;
  }
}

}  // namespace kestrix
