#include "position/pattern_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "position/line_codes.h"
#include "threats/search_record.h"

namespace kestrix {
namespace {

using Classes = std::array<int, 4>;
int32_t comboOf(const Classes& c) {
  return comboStride[0][c[0]] + comboStride[1][c[1]] + comboStride[2][c[2]] + comboStride[3][c[3]];
}
const LineEntry* const LINE_TABLES[3] = {freestyleLineTable, standardLineTable, renjuLineTable};

TEST(PatternTables, TellingRows) {
  initPatternTables();
  // Window positions 0 to 10: 'x' the player's stone, 'o' blocked, '_' the
  // square itself. Then class, weight and key squares in each line table.
  using Entry = std::array<int, 3>;
  const struct {
    const char* window;
    int32_t code;
    Entry freestyle, standard, renju;
  } rows[] = {
      {"....._.....", 0, {17, 5, 0x55}, {17, 5, 0x55}, {17, 5, 0x55}},
      {"....x_.....", 1, {9, 17, 0x55}, {9, 16, 0x55}, {9, 16, 0x55}},
      {".xxxx_.....", 820, {2, 55, 0x55}, {2, 25, 0x55}, {2, 25, 0x55}},
      {"xxxxx_.....", 7381, {2, 55, 0x55}, {0, 0, 0x55}, {1, 0, 0x55}},
      {"..xxx_.....", 91, {3, 46, 0x61}, {3, 32, 0x61}, {3, 32, 0x61}},
      {"..xxx_o....", 97, {4, 16, 0x51}, {4, 16, 0x51}, {4, 16, 0x51}},
      {".oxxx_.....", 1549, {4, 30, 0x56}, {4, 16, 0x56}, {4, 16, 0x56}},
      {"...xx_.....", 10, {5, 32, 0x62}, {5, 27, 0x62}, {5, 27, 0x62}},
      {"..xx._.....", 90, {6, 24, 0x54}, {6, 19, 0x54}, {6, 19, 0x54}},
      {".x..x_..x..", 973, {7, 30, 0x55}, {7, 18, 0x55}, {7, 18, 0x55}},
      {"..oxx_.....", 172, {8, 14, 0x55}, {8, 9, 0x55}, {8, 9, 0x55}},
      {"..x.x_x.x..", 328, {3, 59, 0x73}, {3, 32, 0x73}, {1, 32, 0x55}},
      {"x...._.....", 6561, {17, 5, 0x55}, {18, 4, 0x55}, {18, 4, 0x55}},
      {"ooooo_ooooo", 59048, {0, 0, 0x55}, {0, 0, 0x55}, {0, 0, 0x55}},
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

TEST(PatternTables, ClassCountsAndKeySquares) {
  initPatternTables();
  std::array<std::array<int32_t, LINE_CLASS_COUNT>, 3> count{};
  for (int t = 0; t < 3; ++t) {
    for (int32_t code = 0; code < LINE_CODE_COUNT; ++code) {
      const LineEntry& e = LINE_TABLES[t][code];
      ASSERT_LT(e.lineClass, LINE_CLASS_COUNT);
      ++count[t][e.lineClass];
      ASSERT_LE(e.lineWeight, t == 0 ? 125 : 32) << code;
      // Open fours and open threes have two key squares, fours and threes one.
      const int keys = ((e.keySquares & 15) != 5) + ((e.keySquares >> 4) != 5), c = e.lineClass;
      ASSERT_EQ(keys, c == 3 || c == 5 ? 2 : c == 4 || c == 6) << t << " " << code;
    }
  }
  EXPECT_EQ(count[0][0], 31833);
  EXPECT_EQ(count[1][0], 38421);
  EXPECT_EQ(count[2][0], 37368);
  EXPECT_EQ((std::array{count[0][2], count[1][2], count[2][2]}), (std::array{2673, 1620, 1620}));
  EXPECT_EQ(count[2][1], 1189);
  for (int c : {1, 11, 15}) EXPECT_EQ(count[0][c] + count[1][c], 0) << c;
  for (int c : {11, 15}) EXPECT_GT(count[2][c], 0) << c;
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
    // Below the fixed values of the strong threats, four small weights add up.
    ASSERT_TRUE(moveValueTable[index] <= 59 || moveValueTable[index] >= 202) << index;
  }
  const struct {
    Classes classes;
    int threat, value, renjuValue;
  } combos[] = {
      {{0, 0, 0, 0}, THREAT_NONE, 0, 0},
      {{2, 1, 3, 4}, THREAT_FIVE, 255, 255},  // a five outweighs every prohibition
      {{3, 17, 17, 17}, THREAT_OPEN_FOUR, 212, 212},
      {{4, 0, 4, 17}, THREAT_OPEN_FOUR, 212, 0},  // double four
      {{4, 6, 17, 0}, THREAT_FOUR_THREE, 210, 210},
      {{4, 6, 5, 0}, THREAT_FOUR_THREE, 210, 0},  // with a double three
      {{5, 0, 6, 17}, THREAT_DOUBLE_THREE, 202, 0},
      {{1, 17, 17, 17}, THREAT_NONE, 3, 0},
      {{4, 17, 9, 21}, THREAT_FOUR, 32 + 1 + 8, 32 + 1 + 8},
      {{5, 7, 12, 20}, THREAT_OPEN_THREE, 25 + 9 + 5, 25 + 9 + 5},
      {{8, 11, 13, 0}, THREAT_CLOSED_THREE, 9 + 5 + 1, 9 + 5 + 1},
      {{10, 14, 15, 19}, THREAT_NONE, 8 + 1 + 1 + 1, 8 + 1 + 1 + 1},
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
