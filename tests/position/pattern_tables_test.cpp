#include "position/pattern_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace kestrix {
namespace {

using Classes = std::array<int, 4>;
int32_t comboOf(const Classes& c) {
  return comboStride[0][c[0]] + comboStride[1][c[1]] + comboStride[2][c[2]] + comboStride[3][c[3]];
}
const LineEntry* const LINE_TABLES[3] = {freestyleLineTable, standardLineTable, renjuLineTable};

TEST(PatternTables, TellingRows) {
  initPatternTables();
  // Window positions 0 to 10 ('x' the player's, 'o' blocked, '_' the square
  // itself), then class, weight and key squares in each line table.
  using Entry = std::array<int, 3>;
  const struct {
    const char* window;
    int32_t code;
    Entry freestyle, standard, renju;
  } rows[] = {
      // clang-format off
      {"....._.....", 0, {LINE_OPEN_ONE, 5, 0x55}, {LINE_OPEN_ONE, 5, 0x55}, {LINE_OPEN_ONE, 5, 0x55}},
      {"....x_.....", 1, {LINE_OPEN_TWO, 17, 0x55}, {LINE_OPEN_TWO, 16, 0x55}, {LINE_OPEN_TWO, 16, 0x55}},
      {".xxxx_.....", 820, {LINE_FIVE, 55, 0x55}, {LINE_FIVE, 25, 0x55}, {LINE_FIVE, 25, 0x55}},
      {"xxxxx_.....", 7381, {LINE_FIVE, 55, 0x55}, {LINE_NONE, 0, 0x55}, {LINE_FORBIDDEN, 0, 0x55}},
      {"..xxx_.....", 91, {LINE_OPEN_FOUR, 46, 0x61}, {LINE_OPEN_FOUR, 32, 0x61}, {LINE_OPEN_FOUR, 32, 0x61}},
      {"..xxx_o....", 97, {LINE_FOUR, 16, 0x51}, {LINE_FOUR, 16, 0x51}, {LINE_FOUR, 16, 0x51}},
      {".oxxx_.....", 1549, {LINE_FOUR, 30, 0x56}, {LINE_FOUR, 16, 0x56}, {LINE_FOUR, 16, 0x56}},
      {"...xx_.....", 10, {LINE_OPEN_THREE, 32, 0x62}, {LINE_OPEN_THREE, 27, 0x62}, {LINE_OPEN_THREE, 27, 0x62}},
      {"..xx._.....", 90, {LINE_THREE, 24, 0x54}, {LINE_THREE, 19, 0x54}, {LINE_THREE, 19, 0x54}},
      {".x..x_..x..", 973, {LINE_CLOSED_THREE_WIDE, 30, 0x55}, {LINE_CLOSED_THREE_WIDE, 18, 0x55}, {LINE_CLOSED_THREE_WIDE, 18, 0x55}},
      {"..oxx_.....", 172, {LINE_CLOSED_THREE, 14, 0x55}, {LINE_CLOSED_THREE, 9, 0x55}, {LINE_CLOSED_THREE, 9, 0x55}},
      {"..x.x_x.x..", 328, {LINE_OPEN_FOUR, 59, 0x73}, {LINE_OPEN_FOUR, 32, 0x73}, {LINE_FORBIDDEN, 32, 0x55}},
      {"x...._.....", 6561, {LINE_OPEN_ONE, 5, 0x55}, {LINE_ONE, 4, 0x55}, {LINE_ONE, 4, 0x55}},
      {"ooooo_ooooo", 59048, {LINE_NONE, 0, 0x55}, {LINE_NONE, 0, 0x55}, {LINE_NONE, 0, 0x55}},
      // clang-format on
  };
  for (const auto& row : rows) {
    int32_t code = 0;
    for (int32_t p = 0; p < 11; ++p) {
      code += (row.window[p] == 'x' ? 1 : row.window[p] == 'o' ? 2 : 0) * DIGIT_WEIGHT[p];
    }
    ASSERT_EQ(code, row.code) << row.window;
    const Entry* expected[3] = {&row.freestyle, &row.standard, &row.renju};
    for (int t = 0; t < 3; ++t) {
      const LineEntry& e = LINE_TABLES[t][code];
      EXPECT_EQ((Entry{e.lineClass, e.lineWeight, e.keySquares}), *expected[t])
          << row.window << " in table " << t;
    }
  }
}

TEST(PatternTables, FourLineTables) {
  initPatternTables();
  for (int32_t index = 0; index < COMBO_COUNT; ++index) {
    Classes c = {index / 10648, index / 484 % 22, index / 22 % 22, index % 22};
    ASSERT_EQ(comboOf(c), index);
    std::sort(c.begin(), c.end());
    const int32_t sorted = comboOf(c);
    ASSERT_EQ(threatClassTable[index], threatClassTable[sorted]) << index;
    ASSERT_EQ(moveValueTable[index], moveValueTable[sorted]) << index;
    ASSERT_EQ(renjuMoveValueTable[index], renjuMoveValueTable[sorted]) << index;
    // Below the strong threats' fixed values, four small weights add up.
    ASSERT_TRUE(moveValueTable[index] <= 59 || moveValueTable[index] >= 202) << index;
    // The search's tables, indexed by the ranks of the classes, agree.
    int32_t ranked = 0;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) ranked += RANK_PLACE[d] * LINE_RANK[c[d]];
    ASSERT_EQ(rankThreatClassTable[ranked], threatClassTable[index]) << index;
    ASSERT_EQ(rankMoveValueTable[ranked], moveValueTable[index]) << index;
    ASSERT_EQ(renjuRankMoveValueTable[ranked], renjuMoveValueTable[index]) << index;
  }
  const struct {
    Classes classes;
    int threat, value, renjuValue;
  } combos[] = {
      // clang-format off
      {{LINE_NONE, LINE_NONE, LINE_NONE, LINE_NONE}, THREAT_NONE, 0, 0},
      {{LINE_FIVE, LINE_FORBIDDEN, LINE_OPEN_FOUR, LINE_FOUR}, THREAT_FIVE, 255, 255},  // a five outweighs every prohibition
      {{LINE_OPEN_FOUR, LINE_OPEN_ONE, LINE_OPEN_ONE, LINE_OPEN_ONE}, THREAT_OPEN_FOUR, 212, 212},
      {{LINE_FOUR, LINE_NONE, LINE_FOUR, LINE_OPEN_ONE}, THREAT_OPEN_FOUR, 212, 0},  // double four
      {{LINE_FOUR, LINE_THREE, LINE_OPEN_ONE, LINE_NONE}, THREAT_FOUR_THREE, 210, 210},
      {{LINE_FOUR, LINE_THREE, LINE_OPEN_THREE, LINE_NONE}, THREAT_FOUR_THREE, 210, 0},  // with a double three
      {{LINE_OPEN_THREE, LINE_NONE, LINE_THREE, LINE_OPEN_ONE}, THREAT_DOUBLE_THREE, 202, 0},
      {{LINE_FORBIDDEN, LINE_OPEN_ONE, LINE_OPEN_ONE, LINE_OPEN_ONE}, THREAT_NONE, 3, 0},
      {{LINE_FOUR, LINE_OPEN_ONE, LINE_OPEN_TWO, LINE_CLOSED_ONE}, THREAT_FOUR, 32 + 1 + 8, 32 + 1 + 8},
      {{LINE_OPEN_THREE, LINE_CLOSED_THREE_WIDE, LINE_HALF_TWO, LINE_HALF_ONE_NARROW}, THREAT_OPEN_THREE, 25 + 9 + 5, 25 + 9 + 5},
      {{LINE_CLOSED_THREE, LINE_HALF_TWO_WIDE, LINE_CLOSED_TWO_WIDE, LINE_NONE}, THREAT_CLOSED_THREE, 9 + 5 + 1, 9 + 5 + 1},
      {{LINE_TWO, LINE_CLOSED_TWO_SIX, LINE_CLOSED_TWO_FOUR, LINE_HALF_ONE}, THREAT_NONE, 8 + 1 + 1 + 1, 8 + 1 + 1 + 1},
      // clang-format on
  };
  for (const auto& combo : combos) {
    const int32_t index = comboOf(combo.classes);
    EXPECT_EQ((std::array<int, 3>{threatClassTable[index], moveValueTable[index],
                                  renjuMoveValueTable[index]}),
              (std::array{combo.threat, combo.value, combo.renjuValue}))
        << "combo index " << index;
  }
}

}  // namespace
}  // namespace kestrix
