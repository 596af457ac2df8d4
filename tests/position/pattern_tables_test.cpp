#include "position/pattern_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "position/line_codes.h"
#include "threats/search_record.h"

namespace kestrix {
namespace {

// Window text from position 0 to 10: 'x' own stone, 'o' blocked, '.' empty,
// '_' the square itself.
int32_t codeOf(const std::string& window) {
  int32_t code = 0;
  for (int32_t p = 0; p < 11; ++p)
    code += (window[p] == 'x' ? 1 : window[p] == 'o' ? 2 : 0) * DIGIT_WEIGHT[p];
  return code;
}

struct Judgement {
  int lineClass, weight, keys;
};

void expectEntry(const LineEntry& entry, Judgement expected, const char* what) {
  EXPECT_EQ(entry.lineClass, expected.lineClass) << what;
  EXPECT_EQ(entry.lineWeight, expected.weight) << what;
  EXPECT_EQ(entry.keySquares, expected.keys) << what;
}

int32_t comboOf(int c0, int c1, int c2, int c3) {
  return comboStride[0][c0] + comboStride[1][c1] + comboStride[2][c2] + comboStride[3][c3];
}

class PatternTables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { initPatternTables(); }
};

TEST_F(PatternTables, TellingRowsUnderEachRule) {
  const struct {
    const char* window;
    int32_t code;
    Judgement freestyle, standard, renju;
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
    ASSERT_EQ(codeOf(row.window), row.code) << row.window;
    expectEntry(freestyleLineTable[row.code], row.freestyle, row.window);
    expectEntry(standardLineTable[row.code], row.standard, row.window);
    expectEntry(renjuLineTable[row.code], row.renju, row.window);
  }
}

TEST_F(PatternTables, ClassCountsAndRanges) {
  const LineEntry* tables[3] = {freestyleLineTable, standardLineTable, renjuLineTable};
  std::array<std::array<int32_t, 32>, 3> count{};
  for (int t = 0; t < 3; ++t) {
    for (int32_t code = 0; code < LINE_CODE_COUNT; ++code) {
      const LineEntry& entry = tables[t][code];
      ASSERT_LT(entry.lineClass, LINE_CLASS_COUNT);
      ++count[t][entry.lineClass];
      ASSERT_LE(entry.lineWeight, t == 0 ? 125 : 32) << code;
      // Exactly the fours and threes name key squares: two for open shapes, one otherwise.
      const int keys = ((entry.keySquares & 15) != 5) + ((entry.keySquares >> 4) != 5);
      const int expectedKeys = entry.lineClass == 3 || entry.lineClass == 5   ? 2
                               : entry.lineClass == 4 || entry.lineClass == 6 ? 1
                                                                              : 0;
      ASSERT_EQ(keys, expectedKeys) << "table " << t << " code " << code;
    }
  }
  EXPECT_EQ(count[0][0], 31833);
  EXPECT_EQ(count[1][0], 38421);
  EXPECT_EQ(count[2][0], 37368);
  EXPECT_EQ(count[0][2], 2673);
  EXPECT_EQ(count[1][2], 1620);
  EXPECT_EQ(count[2][2], 1620);
  EXPECT_EQ(count[2][1], 1189);
  for (int lineClass : {1, 11, 15}) {
    EXPECT_EQ(count[0][lineClass], 0) << lineClass;
    EXPECT_EQ(count[1][lineClass], 0) << lineClass;
    EXPECT_GT(count[2][lineClass], 0) << lineClass;
  }
}

TEST_F(PatternTables, FourLineTablesIgnoreTheOrderOfLines) {
  for (int32_t index = 0; index < COMBO_COUNT; ++index) {
    std::array<int, 4> classes = {index / 10648, index / 484 % 22, index / 22 % 22, index % 22};
    ASSERT_EQ(comboOf(classes[0], classes[1], classes[2], classes[3]), index);
    std::sort(classes.begin(), classes.end());
    const int32_t sorted = comboOf(classes[0], classes[1], classes[2], classes[3]);
    ASSERT_EQ(threatClassTable[index], threatClassTable[sorted]) << index;
    ASSERT_EQ(moveValueTable[index], moveValueTable[sorted]) << index;
    ASSERT_EQ(renjuMoveValueTable[index], renjuMoveValueTable[sorted]) << index;
    ASSERT_LT(threatClassTable[index], THREAT_CLASS_COUNT);
    // Below the fixed values of the strong threats, a move value is a sum of
    // at most four small weights.
    if (moveValueTable[index] < 202) {
      ASSERT_LE(moveValueTable[index], 59) << index;
    }
  }
}

TEST_F(PatternTables, ThreatClassesAndMoveValues) {
  const struct {
    std::array<int, 4> classes;
    int threat, value, renjuValue;
  } combos[] = {
      {{0, 0, 0, 0}, THREAT_NONE, 0, 0},
      {{2, 1, 3, 4}, THREAT_FIVE, 255, 255},  // a five outweighs every prohibition
      {{17, 2, 17, 17}, THREAT_FIVE, 255, 255},
      {{3, 17, 17, 17}, THREAT_OPEN_FOUR, 212, 212},
      {{4, 0, 4, 17}, THREAT_OPEN_FOUR, 212, 0},  // double four
      {{3, 4, 0, 0}, THREAT_OPEN_FOUR, 212, 0},
      {{4, 6, 17, 0}, THREAT_FOUR_THREE, 210, 210},
      {{4, 6, 5, 0}, THREAT_FOUR_THREE, 210, 0},  // a four with a double three
      {{5, 0, 6, 17}, THREAT_DOUBLE_THREE, 202, 0},
      {{1, 17, 17, 17}, THREAT_NONE, 3, 0},  // overline or two fours in one line
      {{4, 17, 9, 21}, THREAT_FOUR, 32 + 1 + 8, 32 + 1 + 8},
      {{5, 7, 12, 20}, THREAT_OPEN_THREE, 25 + 9 + 5, 25 + 9 + 5},
      {{8, 11, 13, 0}, THREAT_CLOSED_THREE, 9 + 5 + 1, 9 + 5 + 1},
      {{10, 14, 15, 19}, THREAT_NONE, 8 + 1 + 1 + 1, 8 + 1 + 1 + 1},
  };
  for (const auto& combo : combos) {
    const auto& c = combo.classes;
    const int32_t index = comboOf(c[0], c[1], c[2], c[3]);
    const std::string what = std::to_string(c[0]) + "," + std::to_string(c[1]) + "," +
                             std::to_string(c[2]) + "," + std::to_string(c[3]);
    EXPECT_EQ(threatClassTable[index], combo.threat) << what;
    EXPECT_EQ(moveValueTable[index], combo.value) << what;
    EXPECT_EQ(renjuMoveValueTable[index], combo.renjuValue) << what;
  }
  EXPECT_EQ(comboStride[0][21], 21 * 10648);
  EXPECT_EQ(comboStride[3][21], 21);
}

}  // namespace
}  // namespace kestrix
