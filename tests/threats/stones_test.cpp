#include "threats/stones.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/board_picture.h"

namespace kestrix {
namespace {

// The board as it must be for the stones on it, worked out from its stones
// alone: every code by reading the ten cells of its window, near-stone counts
// and the near-empty bits from the sixteen neighbour offsets, tallies by
// scoring every stone with its owner's table.
void expectRebuilt(const ThreatBoard& board, RuleIndex rule) {
  const int32_t width = board.width;
  const int32_t height = board.height;
  const auto stoneAt = [&](int32_t x, int32_t y) {
    if (x < 0 || x >= width || y < 0 || y >= height) return -1;
    return static_cast<int32_t>(threatCellOf(board, static_cast<Square>(y * width + x)).stone);
  };
  PlayerThreats threats[4] = {};
  for (int32_t s = 0; s < width * height; ++s) {
    const int32_t x = s % width;
    const int32_t y = s / width;
    const ThreatCell& cell = threatCellOf(board, static_cast<Square>(s));
    int32_t near = 0;
    for (const NeighbourOffset& n : NEIGHBOUR_OFFSETS) near += stoneAt(x + n.dx, y + n.dy) > 0;
    ASSERT_EQ(nearStonesAt(board, static_cast<Square>(s)), near) << "square " << s;
    const int32_t c = board.cellOfSquare[s];
    const bool nearEmpty = (board.nearEmpty[c / 64] >> (c % 64)) & 1;
    ASSERT_EQ(nearEmpty, cell.stone == EMPTY && near > 0) << "square " << s;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
      for (const int32_t slot : {BLACK, WHITE}) {
        int32_t code = 0;
        // The cell at distance -j weighs 3^(2j-2), the one at +j 3^(2j-1).
        for (int32_t j = 5, weight = 19683; j >= 1; --j, weight /= 9) {
          for (const int32_t k : {j, -j}) {
            const int32_t stone = stoneAt(x + k * DIRECTION_DX[d], y + k * DIRECTION_DY[d]);
            const int32_t digit = stone < 0 ? 2 : stone == 0 ? 0 : stone == slot ? 1 : 2;
            code += digit * (k > 0 ? weight : weight / 3);
          }
        }
        ASSERT_EQ(lineCodeOf(board, static_cast<Square>(s), d, slot), code)
            << "square " << s << " line " << d << " slot " << slot;
      }
    }
    // Marks block lines but score for no one.
    const int32_t q = cell.stone;
    if (q != BLACK && q != WHITE) continue;
    const LineEntry* table = rule == RULE_STANDARD              ? standardLineTable
                             : rule == RULE_RENJU && q == BLACK ? renjuLineTable
                                                                : freestyleLineTable;
    int32_t combo = 0;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
      const LineEntry& entry = table[lineCodeOf(board, static_cast<Square>(s), d, q)];
      threats[q].patternScore += entry.lineWeight;
      combo = combo * LINE_CLASS_COUNT + entry.lineClass;
    }
    ++threats[q].classCount[threatClassTable[combo]];
  }
  ASSERT_EQ(std::memcmp(threats, board.playerThreats, sizeof(threats)), 0) << "tallies";
}

template <RuleIndex R>
void playAtRandom(int32_t width, int32_t height, uint32_t seed) {
  auto board = testing::boardFromPicture<R>("", width, height);
  std::mt19937 random(seed);
  std::vector<Square> stones;
  std::string before, after;
  const auto unchanged = [&] { return testing::snapshot(*board, after), before == after; };
  const int32_t cells = width * height;
  for (int32_t step = 0; step < cells * 3 / 2; ++step) {
    if (!stones.empty() && (random() % 3 == 0 || stones.size() * 10 > cells * 7u)) {
      // Any stone may go, not only the latest one.
      const size_t i = random() % stones.size();
      removeStone<R>(*board, stones[i]);
      stones[i] = stones.back();
      stones.pop_back();
    } else {
      Square s;
      do s = static_cast<Square>(random() % cells);
      while (threatCellOf(*board, s).stone != EMPTY);
      const int32_t player = random() % 8 == 0 ? NEUTRAL : BLACK + random() % 2;
      // Tried and taken back first, as the search does; the tallies a leaf
      // reckons without placing must be the ones placing leaves.
      testing::snapshot(*board, before);
      PlayerThreats reckoned[4];
      tallyAfterPlacing<R>(*board, s, player, reckoned);
      ASSERT_TRUE(unchanged()) << "reckoning at " << s << " changed the board";
      // Two deep when there is room (removeStone is left to the rebuilds).
      pushStone<R>(*board, s, player);
      ASSERT_EQ(std::memcmp(reckoned, board->playerThreats, sizeof(reckoned)), 0) << s;
      const Square t = static_cast<Square>((s + 1) % cells);
      const bool nested = threatCellOf(*board, t).stone == EMPTY;
      if (nested) pushStone<R>(*board, t, player == BLACK ? WHITE : BLACK);
      if (nested) popStone<R>(*board, t);
      popStone<R>(*board, s);
      ASSERT_TRUE(unchanged()) << "push and pop at " << s;
      placeStone<R>(*board, s, player);
      stones.push_back(s);
    }
    if (step % (cells / 4) == 0) {
      ASSERT_NO_FATAL_FAILURE(expectRebuilt(*board, R)) << step;
    }
  }
  for (; !stones.empty(); stones.pop_back()) removeStone<R>(*board, stones.back());
  expectRebuilt(*board, R);
}

TEST(Stones, RandomPlayKeepsTheRecordExact) {
  uint32_t seed = 1;  // every width and height from 5 to 32, square and oblong
  for (int32_t side = 5; side <= 32; ++side) {
    for (const auto& [width, height] : {std::pair{side, side}, std::pair{side, 37 - side}}) {
      SCOPED_TRACE(::testing::Message() << width << " x " << height);
      playAtRandom<RULE_FREESTYLE>(width, height, seed++);
      playAtRandom<RULE_STANDARD>(width, height, seed++);
      playAtRandom<RULE_RENJU>(width, height, seed++);
    }
  }
}

}  // namespace
}  // namespace kestrix
