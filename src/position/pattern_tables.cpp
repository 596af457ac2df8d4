#include "position/pattern_tables.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <utility>

namespace kestrix {

LineEntry freestyleLineTable[LINE_CODE_COUNT];
LineEntry standardLineTable[LINE_CODE_COUNT];
LineEntry renjuLineTable[LINE_CODE_COUNT];
uint8_t threatClassTable[COMBO_COUNT];
uint8_t moveValueTable[COMBO_COUNT];
uint8_t renjuMoveValueTable[COMBO_COUNT];
int32_t comboStride[DIRECTION_COUNT][LINE_CLASS_COUNT];
uint8_t freestyleRankTable[LINE_CODE_COUNT];
uint8_t standardRankTable[LINE_CODE_COUNT];
uint8_t renjuRankTable[LINE_CODE_COUNT];
uint8_t rankThreatClassTable[RANK_COMBO_COUNT];
uint8_t rankMoveValueTable[RANK_COMBO_COUNT];
uint8_t renjuRankMoveValueTable[RANK_COMBO_COUNT];

static_assert(sizeof(freestyleLineTable) == 4 * LINE_CODE_COUNT);
static_assert(sizeof(threatClassTable) == COMBO_COUNT);
static_assert(LINE_CODE_COUNT == 3 * 3 * 3 * 3 * 3 * 3 * 3 * 3 * 3 * 3);
static_assert(sizeof(comboStride) == DIRECTION_COUNT * LINE_CLASS_COUNT * 4);
static_assert(COMBO_COUNT ==
              LINE_CLASS_COUNT * LINE_CLASS_COUNT * LINE_CLASS_COUNT * LINE_CLASS_COUNT);
static_assert(RANK_COMBO_COUNT ==
              LINE_RANK_COUNT * LINE_RANK_COUNT * LINE_RANK_COUNT * LINE_RANK_COUNT);

namespace {

constexpr int32_t WINDOW_SIZE = 11;
constexpr uint8_t DIGIT_EMPTY = 0;
constexpr uint8_t DIGIT_OWN = 1;
constexpr uint8_t DIGIT_BLOCKED = 2;
constexpr uint8_t NO_KEY_SQUARES = 0x55;

// The eleven cells of a line window as the player sees them, with the
// player's own stone on the centre.
struct Window {
  uint8_t digit[WINDOW_SIZE];
};

// Window positions from the lowest base-3 digit of a code to the highest:
// the nearest cells first, the negative side before the positive one.
constexpr int32_t POSITION_BY_DIGIT[WINDOW_SIZE - 1] = {4, 6, 3, 7, 2, 8, 1, 9, 0, 10};

Window decodeWindow(int32_t code) {
  Window window{};
  window.digit[WINDOW_CENTRE] = DIGIT_OWN;
  for (int32_t p : POSITION_BY_DIGIT) {
    window.digit[p] = static_cast<uint8_t>(code % 3);
    code /= 3;
  }
  return window;
}

// Length of the unbroken run of the player's stones through the centre.
int32_t runThroughCentre(const Window& window) {
  int32_t first = WINDOW_CENTRE;
  int32_t last = WINDOW_CENTRE;
  while (first > 0 && window.digit[first - 1] == DIGIT_OWN) --first;
  while (last < WINDOW_SIZE - 1 && window.digit[last + 1] == DIGIT_OWN) ++last;
  return last - first + 1;
}

// Sum of k^2 over the five-windows through the centre that can still become
// a five, k counting the player's stones in them. Under the exactly-five
// rules a window whose neighbour cell holds the player's stone could only
// become an overline, so it counts for nothing.
int32_t lineWeight(RuleIndex rule, const Window& window) {
  int32_t weight = 0;
  for (int32_t start = WINDOW_CENTRE - 4; start <= WINDOW_CENTRE; ++start) {
    int32_t own = 0;
    bool usable = true;
    for (int32_t p = start; p < start + 5; ++p) {
      usable = usable && window.digit[p] != DIGIT_BLOCKED;
      own += window.digit[p] == DIGIT_OWN;
    }
    if (rule != RULE_FREESTYLE) {
      usable =
          usable && window.digit[start - 1] != DIGIT_OWN && window.digit[start + 5] != DIGIT_OWN;
    }
    if (usable) weight += own * own;
  }
  return weight;
}

// Classifies every line code of one rule. The class of a window follows
// from the classes of the windows with one more stone in an empty cell, so
// the recursion ends after at most ten levels; each code is judged once.
class LineTableBuilder {
 public:
  LineTableBuilder(RuleIndex rule, LineEntry* table) : rule_(rule), table_(table) {}

  void buildAll() {
    for (int32_t code = 0; code < LINE_CODE_COUNT; ++code) table_[code].lineClass = UNJUDGED;
    for (int32_t code = 0; code < LINE_CODE_COUNT; ++code) classOf(code);
  }

 private:
  static constexpr uint8_t UNJUDGED = 0xff;

  uint8_t classOf(int32_t code) {
    if (table_[code].lineClass == UNJUDGED) judge(code);
    return table_[code].lineClass;
  }

  void judge(int32_t code) {
    const Window window = decodeWindow(code);
    LineEntry entry{0, static_cast<uint8_t>(lineWeight(rule_, window)), NO_KEY_SQUARES, 0};

    const int32_t run = runThroughCentre(window);
    if (run >= 5 && (rule_ == RULE_FREESTYLE || run == 5)) {
      entry.lineClass = LINE_FIVE;
    } else if (run >= 6 && rule_ == RULE_RENJU) {
      entry.lineClass = LINE_FORBIDDEN;
    } else {
      // What one more stone in each empty cell would make of the line.
      std::array<int8_t, WINDOW_SIZE> after;
      after.fill(-1);
      std::array<int32_t, LINE_CLASS_COUNT> count{};
      for (int32_t p = 0; p < WINDOW_SIZE; ++p) {
        if (p == WINDOW_CENTRE || window.digit[p] != DIGIT_EMPTY) continue;
        after[p] = static_cast<int8_t>(classOf(code + DIGIT_WEIGHT[p]));
        ++count[after[p]];
      }
      entry.lineClass = classFromCounts(count, after);
      entry.keySquares = keySquares(entry.lineClass, after);
    }
    table_[code] = entry;
  }

  // n[c] counts the empty cells where one more stone makes a line of class
  // c; after[p] is that class for window position p (-1 where no stone can
  // go). The strongest reachable class decides, then how many squares
  // reach it.
  uint8_t classFromCounts(const std::array<int32_t, LINE_CLASS_COUNT>& n,
                          const std::array<int8_t, WINDOW_SIZE>& after) const {
    if (rule_ == RULE_RENJU && n[LINE_FIVE] >= 2) {
      // Two fives in one line are an open four only when they cap the same
      // four from both ends; anything else is two fours, forbidden to black.
      int32_t first = -1;
      int32_t second = -1;
      for (int32_t p = 0; p < WINDOW_SIZE; ++p) {
        if (after[p] != LINE_FIVE) continue;
        (first < 0 ? first : second) = p;
      }
      if (n[LINE_FIVE] > 2 || second - first != 5) return LINE_FORBIDDEN;
    }
    if (n[LINE_FIVE] >= 2) return LINE_OPEN_FOUR;
    if (n[LINE_FIVE] == 1) return LINE_FOUR;
    if (n[LINE_OPEN_FOUR] >= 2) return LINE_OPEN_THREE;
    if (n[LINE_OPEN_FOUR] == 1) return LINE_THREE;
    if (n[LINE_FOUR] >= 4) return LINE_CLOSED_THREE_WIDE;
    if (n[LINE_FOUR] >= 1) return LINE_CLOSED_THREE;
    if (n[LINE_OPEN_THREE] >= 2) return LINE_OPEN_TWO;
    if (n[LINE_OPEN_THREE] == 1) return LINE_TWO;
    if (n[LINE_THREE] >= 4) return LINE_HALF_TWO_WIDE;
    if (n[LINE_THREE] >= 1) return LINE_HALF_TWO;
    if (n[LINE_CLOSED_THREE_WIDE] >= 1) return LINE_CLOSED_TWO_WIDE;
    if (n[LINE_CLOSED_THREE] >= 6) return LINE_CLOSED_TWO_SIX;
    if (n[LINE_CLOSED_THREE] >= 4) return LINE_CLOSED_TWO_FOUR;
    if (n[LINE_CLOSED_THREE] >= 1) return LINE_CLOSED_TWO;
    if (n[LINE_OPEN_TWO] >= 2) return LINE_OPEN_ONE;
    if (n[LINE_OPEN_TWO] == 1) return LINE_ONE;
    if (n[LINE_TWO] >= 1) return LINE_HALF_ONE;
    if (n[LINE_HALF_TWO] >= 1) return LINE_HALF_ONE_NARROW;
    if (n[LINE_CLOSED_TWO] >= 1) return LINE_CLOSED_ONE;
    return LINE_NONE;
  }

  // Fours keep the squares that make five, threes the squares that make an
  // open four; the first in window order goes to the low nibble.
  static uint8_t keySquares(uint8_t lineClass, const std::array<int8_t, WINDOW_SIZE>& after) {
    int8_t wanted;
    if (isFourClass(lineClass)) {
      wanted = LINE_FIVE;
    } else if (isThreeClass(lineClass)) {
      wanted = LINE_OPEN_FOUR;
    } else {
      return NO_KEY_SQUARES;
    }
    uint8_t key[2] = {WINDOW_CENTRE, WINDOW_CENTRE};
    int32_t found = 0;
    for (int32_t p = 0; p < WINDOW_SIZE && found < 2; ++p) {
      if (after[p] == wanted) key[found++] = static_cast<uint8_t>(p);
    }
    return static_cast<uint8_t>(key[0] | key[1] << 4);
  }

  RuleIndex rule_;
  LineEntry* table_;
};

// Move-ordering value of each line class, for squares that are neither a
// five, an open four, a four-three nor a double three.
constexpr uint8_t MOVE_WEIGHT[LINE_CLASS_COUNT] = {0, 0, 0, 0, 32, 25, 24, 9, 9, 8, 8,
                                                   5, 5, 1, 1, 1,  1,  1,  1, 1, 0, 0};

// n[c] counts the square's lines of class c.
uint8_t threatClassOf(const std::array<int32_t, LINE_CLASS_COUNT>& n) {
  const int32_t threes = n[LINE_OPEN_THREE] + n[LINE_THREE];
  if (n[LINE_FIVE] >= 1) return THREAT_FIVE;
  if (n[LINE_OPEN_FOUR] >= 1 || n[LINE_FOUR] >= 2) return THREAT_OPEN_FOUR;
  if (n[LINE_FOUR] == 1 && threes >= 1) return THREAT_FOUR_THREE;
  if (n[LINE_FOUR] == 1) return THREAT_FOUR;
  if (threes >= 2) return THREAT_DOUBLE_THREE;
  if (threes == 1) return THREAT_OPEN_THREE;
  if (n[LINE_CLOSED_THREE_WIDE] + n[LINE_CLOSED_THREE] >= 1) return THREAT_CLOSED_THREE;
  return THREAT_NONE;
}

// The largest sum of move weights of a square that is no threat: a four
// with three closed threes, or an open three with them.
static_assert(MAX_POSITIONAL_VALUE ==
              std::max(MOVE_WEIGHT[LINE_FOUR], MOVE_WEIGHT[LINE_OPEN_THREE]) +
                  3 * MOVE_WEIGHT[LINE_CLOSED_THREE_WIDE]);
static_assert(MAX_POSITIONAL_VALUE < VALUE_DOUBLE_THREE && VALUE_DOUBLE_THREE < VALUE_FOUR_THREE &&
              VALUE_FOUR_THREE < VALUE_OPEN_FOUR && VALUE_OPEN_FOUR < VALUE_FIVE &&
              VALUE_FIVE <= UINT8_MAX);

uint8_t moveValueOf(uint8_t threat, const int32_t (&classes)[DIRECTION_COUNT]) {
  switch (threat) {
    case THREAT_FIVE:
      return VALUE_FIVE;
    case THREAT_OPEN_FOUR:
      return VALUE_OPEN_FOUR;
    case THREAT_FOUR_THREE:
      return VALUE_FOUR_THREE;
    case THREAT_DOUBLE_THREE:
      return VALUE_DOUBLE_THREE;
    default:
      break;
  }
  int32_t sum = 0;
  for (int32_t c : classes) sum += MOVE_WEIGHT[c];
  return static_cast<uint8_t>(sum);
}

// Under Renju a square that looks forbidden to black is not worth trying,
// unless it makes a five.
uint8_t renjuMoveValueOf(uint8_t value, const std::array<int32_t, LINE_CLASS_COUNT>& n) {
  if (n[LINE_FIVE] >= 1) return VALUE_FIVE;
  if (n[LINE_FORBIDDEN] >= 1 || n[LINE_OPEN_FOUR] + n[LINE_FOUR] >= 2 ||
      n[LINE_OPEN_THREE] + n[LINE_THREE] >= 2) {
    return 0;
  }
  return value;
}

void buildComboTables() {
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    int32_t place = 1;
    for (int32_t i = d; i < DIRECTION_COUNT - 1; ++i) place *= LINE_CLASS_COUNT;
    for (int32_t c = 0; c < LINE_CLASS_COUNT; ++c) comboStride[d][c] = c * place;
  }
  int32_t classes[DIRECTION_COUNT];
  for (int32_t index = 0; index < COMBO_COUNT; ++index) {
    std::array<int32_t, LINE_CLASS_COUNT> n{};
    for (int32_t d = DIRECTION_COUNT - 1, rest = index; d >= 0; --d, rest /= LINE_CLASS_COUNT) {
      classes[d] = rest % LINE_CLASS_COUNT;
      ++n[classes[d]];
    }
    const uint8_t threat = threatClassOf(n);
    threatClassTable[index] = threat;
    moveValueTable[index] = moveValueOf(threat, classes);
    renjuMoveValueTable[index] = renjuMoveValueOf(moveValueTable[index], n);
  }
}

// The rank tables: each rank combination takes the entries of the first
// class combination of those ranks.
void buildRankTables() {
  int32_t firstClass[LINE_RANK_COUNT];
  for (int32_t c = LINE_CLASS_COUNT - 1; c >= 0; --c) firstClass[LINE_RANK[c]] = c;
  for (int32_t index = 0; index < RANK_COMBO_COUNT; ++index) {
    int32_t combo = 0;
    for (int32_t d = DIRECTION_COUNT - 1, rest = index; d >= 0; --d, rest /= LINE_RANK_COUNT) {
      combo += comboStride[d][firstClass[rest % LINE_RANK_COUNT]];
    }
    rankThreatClassTable[index] = threatClassTable[combo];
    rankMoveValueTable[index] = moveValueTable[combo];
    renjuRankMoveValueTable[index] = renjuMoveValueTable[combo];
  }
  const std::pair<LineEntry*, uint8_t*> lineTables[] = {{freestyleLineTable, freestyleRankTable},
                                                        {standardLineTable, standardRankTable},
                                                        {renjuLineTable, renjuRankTable}};
  for (const auto& [lines, ranks] : lineTables) {
    for (int32_t code = 0; code < LINE_CODE_COUNT; ++code) {
      lines[code].lineRank = LINE_RANK[lines[code].lineClass];
      ranks[code] = lines[code].lineRank;
    }
  }
}

}  // namespace

void initPatternTables() {
  static std::once_flag built;
  std::call_once(built, [] {
    LineTableBuilder(RULE_FREESTYLE, freestyleLineTable).buildAll();
    LineTableBuilder(RULE_STANDARD, standardLineTable).buildAll();
    LineTableBuilder(RULE_RENJU, renjuLineTable).buildAll();
    buildComboTables();
    buildRankTables();
  });
}

}  // namespace kestrix
