#include "threats/stones.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "test_records.h"

namespace kestrix {
namespace {

using testing::emptyRecord;
using testing::RecordSnapshot;

// What the record must hold for the stones now on it, worked out from the
// board alone: codes by reading the ten cells of every window, near-stone
// counts by looking at the sixteen neighbour offsets, tallies by scoring
// every stone with its owner's table.
struct Rebuilt {
  ThreatCell cells[MAX_CELLS] = {};
  PlayerThreats threats[4] = {};
};

void rebuild(const SearchRecord& record, RuleIndex rule, Rebuilt& out) {
  out = Rebuilt{};
  const int32_t width = record.position.width;
  const int32_t height = record.position.height;
  auto stoneAt = [&](int32_t x, int32_t y) {
    if (x < 0 || x >= width || y < 0 || y >= height) return -1;  // off the board
    return static_cast<int32_t>(record.threatCells[y * width + x].stone);
  };
  for (int32_t s = 0; s < width * height; ++s) {
    const int32_t x = s % width;
    const int32_t y = s / width;
    ThreatCell& cell = out.cells[s];
    cell.stone = record.threatCells[s].stone;
    for (const NeighbourOffset& n : NEIGHBOUR_OFFSETS)
      cell.nearStones += stoneAt(x + n.dx, y + n.dy) > 0;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
      for (int32_t slot = 0; slot < 4; ++slot) {
        int32_t code = 0;
        for (int32_t j = 1; j <= 5; ++j) {
          for (const int32_t k : {-j, j}) {
            const int32_t stone = stoneAt(x + k * DIRECTION_DX[d], y + k * DIRECTION_DY[d]);
            int32_t digit = stone < 0 ? 2 : 0;
            if ((slot == BLACK || slot == WHITE) && stone > 0) digit = stone == slot ? 1 : 2;
            int32_t weight = 1;
            for (int32_t i = 0; i < (k < 0 ? 2 * j - 2 : 2 * j - 1); ++i) weight *= 3;
            code += digit * weight;
          }
        }
        cell.lineCode[d][slot] = static_cast<uint16_t>(code);
      }
    }
  }
  for (int32_t s = 0; s < width * height; ++s) {
    const int32_t q = out.cells[s].stone;
    if (q == EMPTY) continue;
    const LineEntry* table = rule == RULE_STANDARD              ? standardLineTable
                             : rule == RULE_RENJU && q == BLACK ? renjuLineTable
                                                                : freestyleLineTable;
    int32_t combo = 0;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
      const LineEntry& entry = table[out.cells[s].lineCode[d][q]];
      out.threats[q].patternScore += entry.lineWeight;
      combo = combo * LINE_CLASS_COUNT + entry.lineClass;
    }
    ++out.threats[q].classCount[threatClassTable[combo]];
  }
}

void expectRebuilt(const SearchRecord& record, RuleIndex rule, const char* when) {
  static Rebuilt expected;
  rebuild(record, rule, expected);
  for (int32_t s = 0; s < record.position.cellCount; ++s) {
    ASSERT_EQ(std::memcmp(&expected.cells[s], &record.threatCells[s], sizeof(ThreatCell)), 0)
        << when << ": square " << s;
  }
  for (int32_t p = 0; p < 4; ++p) {
    ASSERT_EQ(expected.threats[p].patternScore, record.playerThreats[p].patternScore) << when << p;
    for (int32_t t = 0; t < THREAT_CLASS_COUNT; ++t) {
      ASSERT_EQ(expected.threats[p].classCount[t], record.playerThreats[p].classCount[t])
          << when << ": player " << p << " class " << t;
    }
  }
}

template <RuleIndex R>
void randomPlay(int32_t width, int32_t height, uint32_t seed) {
  auto record = emptyRecord(width, height);
  std::mt19937 random(seed);
  std::vector<Square> stones;
  const int32_t n = width * height;
  for (int32_t step = 0; step < 3000; ++step) {
    const bool crowded = static_cast<int32_t>(stones.size()) * 10 > n * 7;
    if (!stones.empty() && (crowded || random() % 3 == 0)) {
      // Any stone may go, not only the latest one.
      const size_t i = random() % stones.size();
      removeStone<R>(*record, stones[i]);
      stones[i] = stones.back();
      stones.pop_back();
    } else {
      Square s;
      do s = static_cast<Square>(random() % n);
      while (record->threatCells[s].stone != EMPTY);
      const int32_t player = random() % 8 == 0 ? NEUTRAL : BLACK + random() % 2;
      // Every placement is first tried and taken back, as the search does.
      const RecordSnapshot before(*record);
      placeStone<R>(*record, s, player);
      removeStone<R>(*record, s);
      ASSERT_TRUE(before.matches(*record)) << "place and remove at " << s;
      placeStoneByRule[R](*record, s, player);
      stones.push_back(s);
    }
    if (step % 97 == 0) expectRebuilt(*record, R, "during play");
  }
  expectRebuilt(*record, R, "after play");
  while (!stones.empty()) {
    removeStone<R>(*record, stones.back());
    stones.pop_back();
  }
  expectRebuilt(*record, R, "emptied");
}

TEST(Stones, RandomPlayKeepsTheRecordExact) {
  const struct {
    int32_t width, height;
  } boards[] = {{5, 5}, {6, 9}, {15, 15}, {20, 13}, {5, 32}, {32, 7}, {32, 32}};
  uint32_t seed = 1;
  for (const auto& board : boards) {
    SCOPED_TRACE(::testing::Message() << board.width << " x " << board.height);
    randomPlay<RULE_FREESTYLE>(board.width, board.height, seed++);
    randomPlay<RULE_STANDARD>(board.width, board.height, seed++);
    randomPlay<RULE_RENJU>(board.width, board.height, seed++);
  }
}

// Tallies of a row of stones alone in the middle of a 15 x 15 board.
PlayerThreats rowTallies(RuleIndex rule, int32_t player, int32_t length) {
  auto record = emptyRecord(15, 15);
  for (int32_t x = 4; x < 4 + length; ++x)
    placeStoneByRule[rule](*record, static_cast<Square>(7 * 15 + x), player);
  return record->playerThreats[player];
}

TEST(Stones, FiveAndSixInARowUnderEachRule) {
  for (RuleIndex rule : {RULE_FREESTYLE, RULE_STANDARD, RULE_RENJU}) {
    const PlayerThreats five = rowTallies(rule, BLACK, 5);
    for (int32_t t = 0; t < THREAT_CLASS_COUNT; ++t) {
      EXPECT_EQ(five.classCount[t], t == THREAT_FIVE ? 5 : 0) << "rule " << rule << " class " << t;
    }
    // Each stone has three empty lines of weight 5; the row weighs 25 per
    // stone where only exactly five counts, and 55 + 70 + 75 + 70 + 55 for
    // the five-windows that free-style still counts beyond it.
    EXPECT_EQ(five.patternScore, rule == RULE_FREESTYLE ? 325 + 75 : 125 + 75) << rule;
  }
  EXPECT_EQ(rowTallies(RULE_FREESTYLE, BLACK, 6).classCount[THREAT_FIVE], 6);
  EXPECT_EQ(rowTallies(RULE_STANDARD, BLACK, 6).classCount[THREAT_NONE], 6);
  EXPECT_EQ(rowTallies(RULE_RENJU, BLACK, 6).classCount[THREAT_NONE], 6);
  EXPECT_EQ(rowTallies(RULE_RENJU, WHITE, 6).classCount[THREAT_FIVE], 6);
  // A lone stone: four open lines.
  EXPECT_EQ(rowTallies(RULE_RENJU, WHITE, 1).patternScore, 20);
}

}  // namespace
}  // namespace kestrix
