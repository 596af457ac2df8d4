// Kestrix: the pattern tables that turn line codes into judgements.
//
// A line code is the base-3 number of the ten cells around a square on one
// line, as one player sees them: digit 0 empty, 1 the player's own stone, 2
// blocked (the other player, a winning-line mark or off the board). The
// cell at distance -j weighs 3^(2j-2) and the one at +j weighs 3^(2j-1), so
// near cells take the low digits and the two sides interleave; the square
// itself weighs 0.
//
// Line tables (one per rule family, 59049 entries of 4 bytes, indexed by a
// line code): the class of the line through a square for the player who has
// a stone there, its weight, the window positions of its key squares (low
// nibble first, 5 = none), and its rank. Four-line tables (234256 bytes
// each, indexed by the base-22 number of the four line classes, built with
// comboStride): the square's threat class and its move-ordering value.
//
// Classes that every four-line table treats alike share a rank (LINE_RANK),
// and the search reads the same four-line tables indexed by ranks instead
// (14641 bytes each, indexed by RANK_PLACE), with the ranks of a line code
// in a table of one byte per code: a sixteenth and a quarter of the memory,
// and the same answers.
//
// All tables are generated at start-up by initPatternTables and never change
// afterwards.
#pragma once

#include <cstdint>

#include "position/rule.h"
#include "position/types.h"

namespace kestrix {

inline constexpr int32_t LINE_CODE_COUNT = 59049;  // 3^10

// A line window is the eleven cells at distance k = -5..5 from a square
// along a line, at window positions p = k + WINDOW_CENTRE.
inline constexpr int32_t WINDOW_CENTRE = 5;

// Weight of the cell at window position p (distance k = p - WINDOW_CENTRE).
inline constexpr int32_t DIGIT_WEIGHT[11] = {6561, 729, 81, 9, 1, 0, 3, 27, 243, 2187, 19683};

// What a line is worth to the player whose stone stands on the square. Each
// class is named by what one more stone of the player on the line can make
// of it, and on how many squares; the classes are ordered from the
// strongest down, and the tables rank them in this order.
enum LineClass : uint8_t {
  LINE_NONE = 0,               // nothing one more stone improves
  LINE_FORBIDDEN = 1,          // Renju, black only: an overline, or two fours on one line
  LINE_FIVE = 2,               // five in a row (or more, where the rule allows)
  LINE_OPEN_FOUR = 3,          // a five on two squares
  LINE_FOUR = 4,               // a five on one square
  LINE_OPEN_THREE = 5,         // an open four on two squares
  LINE_THREE = 6,              // an open four on one square
  LINE_CLOSED_THREE_WIDE = 7,  // a four on four squares or more
  LINE_CLOSED_THREE = 8,       // a four on one to three squares
  LINE_OPEN_TWO = 9,           // an open three on two squares or more
  LINE_TWO = 10,               // an open three on one square
  LINE_HALF_TWO_WIDE = 11,     // a LINE_THREE on four squares or more
  LINE_HALF_TWO = 12,          // a LINE_THREE on one to three squares
  LINE_CLOSED_TWO_WIDE = 13,   // a LINE_CLOSED_THREE_WIDE
  LINE_CLOSED_TWO_SIX = 14,    // a closed three on six squares or more
  LINE_CLOSED_TWO_FOUR = 15,   // a closed three on four or five squares
  LINE_CLOSED_TWO = 16,        // a closed three on one to three squares
  LINE_OPEN_ONE = 17,          // an open two on two squares or more
  LINE_ONE = 18,               // an open two on one square
  LINE_HALF_ONE = 19,          // a LINE_TWO
  LINE_HALF_ONE_NARROW = 20,   // a LINE_HALF_TWO
  LINE_CLOSED_ONE = 21,        // a closed two
};
inline constexpr int32_t LINE_CLASS_COUNT = 22;

inline constexpr bool isFourClass(uint8_t lineClass) {
  return lineClass == LINE_OPEN_FOUR || lineClass == LINE_FOUR;
}
inline constexpr bool isThreeClass(uint8_t lineClass) {
  return lineClass == LINE_OPEN_THREE || lineClass == LINE_THREE;
}

// Threat class of a stone or a square, from its four line classes.
enum ThreatClass : int32_t {
  THREAT_NONE = 0,
  THREAT_FIVE = 1,
  THREAT_OPEN_FOUR = 2,   // an open four, or fours on two lines
  THREAT_FOUR_THREE = 3,  // a four and a three
  THREAT_FOUR = 4,
  THREAT_DOUBLE_THREE = 5,
  THREAT_OPEN_THREE = 6,
  THREAT_CLOSED_THREE = 7,
};
inline constexpr int32_t THREAT_CLASS_COUNT = 8;

struct LineEntry {
  uint8_t lineClass;   // a LineClass
  uint8_t lineWeight;  // sum of k^2 over usable five-windows
  uint8_t keySquares;  // window positions of the key squares, 0x55 for none
  uint8_t lineRank;    // LINE_RANK[lineClass]
};
static_assert(sizeof(LineEntry) == 4, "line entries are packed four to a word");

inline constexpr int32_t COMBO_COUNT = 234256;  // 22^4

// The move-value tables' byte for a square, in the view of the player who
// would move there: the value of its threat class for the four strongest
// classes, else the sum of its four lines' move weights, which is at most
// MAX_POSITIONAL_VALUE (a four and three closed threes). Anything above
// that is a threat.
inline constexpr int32_t VALUE_FIVE = 255;
inline constexpr int32_t VALUE_OPEN_FOUR = 212;  // or fours on two lines
inline constexpr int32_t VALUE_FOUR_THREE = 210;
inline constexpr int32_t VALUE_DOUBLE_THREE = 202;
inline constexpr int32_t MAX_POSITIONAL_VALUE = 59;

// The four-line tables tell classes apart only by their move weight and by
// whether they are a five, an open four, a four, an open three, a three, a
// closed three of either width, or forbidden; each rank gathers the classes
// that agree in all of these.
inline constexpr int32_t LINE_RANK_COUNT = 11;
inline constexpr uint8_t LINE_RANK[LINE_CLASS_COUNT] = {0, 1, 2,  3,  4,  5,  6,  7,  7,  8, 8,
                                                        9, 9, 10, 10, 10, 10, 10, 10, 10, 0, 0};
inline constexpr int32_t RANK_COMBO_COUNT = 14641;  // 11^4

extern LineEntry freestyleLineTable[LINE_CODE_COUNT];
extern LineEntry standardLineTable[LINE_CODE_COUNT];
extern LineEntry renjuLineTable[LINE_CODE_COUNT];
extern uint8_t threatClassTable[COMBO_COUNT];
extern uint8_t moveValueTable[COMBO_COUNT];
extern uint8_t renjuMoveValueTable[COMBO_COUNT];
extern int32_t comboStride[DIRECTION_COUNT][LINE_CLASS_COUNT];
extern uint8_t freestyleRankTable[LINE_CODE_COUNT];
extern uint8_t standardRankTable[LINE_CODE_COUNT];
extern uint8_t renjuRankTable[LINE_CODE_COUNT];
extern uint8_t rankThreatClassTable[RANK_COMBO_COUNT];
extern uint8_t rankMoveValueTable[RANK_COMBO_COUNT];
extern uint8_t renjuRankMoveValueTable[RANK_COMBO_COUNT];

// The index of the rank tables is the base-11 number of the four lines'
// ranks, the first direction's the highest digit: RANK_PLACE[d] is the
// place of direction d's digit. The search multiplies by it, which costs no
// memory read.
inline constexpr int32_t RANK_PLACE[DIRECTION_COUNT] = {
    LINE_RANK_COUNT * LINE_RANK_COUNT * LINE_RANK_COUNT, (LINE_RANK_COUNT * LINE_RANK_COUNT),
    LINE_RANK_COUNT, 1};

// Builds every table once; later calls return at once. Thread-safe.
void initPatternTables();

// Under Renju only black plays by the Renju table; white and winning-line
// marks use the free-style one. Indexed by stone code, so that choosing the
// table costs no branch.
inline constexpr const LineEntry* RENJU_LINE_TABLE_BY_STONE[4] = {
    freestyleLineTable, renjuLineTable, freestyleLineTable, freestyleLineTable};

// The three choices below name every rule, so that a rule added to
// RuleIndex fails to compile here until it has its tables.
template <RuleIndex R>
inline constexpr bool HAS_TABLES = R == RULE_FREESTYLE || R == RULE_STANDARD || R == RULE_RENJU;

// The line table that judges the lines of a stone of code `stone` (a player,
// or NEUTRAL for a mark) under rule R.
template <RuleIndex R>
inline const LineEntry* lineTableFor(int32_t stone) {
  static_assert(HAS_TABLES<R>, "a new rule needs its line table here");
  if constexpr (R == RULE_FREESTYLE) {
    return freestyleLineTable;
  } else if constexpr (R == RULE_STANDARD) {
    return standardLineTable;
  } else {
    return RENJU_LINE_TABLE_BY_STONE[stone];
  }
}

// The ranks of the lines of `player` (BLACK or WHITE) under rule R.
template <RuleIndex R>
inline const uint8_t* rankTableFor(int32_t player) {
  static_assert(HAS_TABLES<R>, "a new rule needs its rank table here");
  if constexpr (R == RULE_FREESTYLE) {
    return freestyleRankTable;
  } else if constexpr (R == RULE_STANDARD) {
    return standardRankTable;
  } else {
    return player == BLACK ? renjuRankTable : freestyleRankTable;
  }
}

// The move-value table for `player` under rule R, indexed by ranks.
template <RuleIndex R>
inline const uint8_t* moveValueTableFor(int32_t player) {
  static_assert(HAS_TABLES<R>, "a new rule needs its move-value table here");
  if constexpr (R == RULE_RENJU) {
    return player == BLACK ? renjuRankMoveValueTable : rankMoveValueTable;
  } else {
    return rankMoveValueTable;
  }
}

}  // namespace kestrix
