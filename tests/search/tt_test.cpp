#include "search/tt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace kestrix {
namespace {

constexpr uint64_t KEY = 0x0123456789abcdefull;
constexpr uint64_t SAME_SLOT = KEY + (uint64_t{1} << 32);  // another key, same index

// More wipes than the generation counter holds: no entry comes back when its
// generation number is reused, nor keeps a shallower store out of its slot.
TEST(Table, WipeForgetsEverythingAcrossGenerationWraps) {
  TranspositionTable tt;
  ttAllocate(tt, 10);
  Square list[2] = {3, 4}, out[TT_MOVES];
  ttClear(tt);
  ttStore(tt, KEY ^ 0x200, 1, 3, BOUND_EXACT, list, 2);  // a slot written only once
  for (int round = 0; round < 600; ++round) {
    ttClear(tt);
    for (const uint64_t key : {KEY ^ 0x200, KEY, SAME_SLOT}) {
      ASSERT_EQ(ttProbe(tt, key, 0, -10, 10), TT_MISS) << round;
      ASSERT_EQ(ttProbeMoves(tt, key, out), 0) << round;
    }
    const uint64_t key = round % 2 == 0 ? KEY : SAME_SLOT;
    ttStore(tt, key, round % 2 == 0 ? 100 : 0, round, BOUND_EXACT, list, 2);
    ASSERT_EQ(ttProbe(tt, key, 0, -1000, 1000), round);
  }
}

TEST(Table, DepthWinsTheSlotAndProbesAnswerForTheirWindow) {
  TranspositionTable tt;
  ttAllocate(tt, 10);
  ttClear(tt);
  // Value 5 stored at depth 4 with each bound: an exact value answers any
  // window, an upper bound one at or above it (alpha), a lower bound beta.
  const struct {
    uint8_t bound;
    int8_t depth;
    int32_t alpha, beta, answer;
  } probes[] = {
      // clang-format off
      {BOUND_EXACT, 4, 7, 9, 5}, {BOUND_EXACT, 0, -9, 0, 5}, {BOUND_EXACT, 5, -9, 9, TT_MISS},
      {BOUND_UPPER, 4, 5, 9, 5}, {BOUND_UPPER, 4, 6, 9, 6}, {BOUND_UPPER, 4, 4, 9, TT_MISS},
      {BOUND_LOWER, 4, -9, 5, 5}, {BOUND_LOWER, 4, -9, 4, 4}, {BOUND_LOWER, 4, -9, 6, TT_MISS},
      {BOUND_LOWER, 5, -9, 4, TT_MISS}, {BOUND_EXACT, 4, -9, 9, 5},
      // clang-format on
  };
  for (const auto& p : probes) {
    ttStore(tt, KEY, 4, 5, p.bound, nullptr, 0);
    EXPECT_EQ(ttProbe(tt, KEY, p.depth, p.alpha, p.beta), p.answer)
        << int(p.bound) << " at depth " << int(p.depth) << " in " << p.alpha << ".." << p.beta;
  }
  // Another key's shallower result leaves the slot's deeper one; as deep replaces.
  ttStore(tt, SAME_SLOT, 3, 8, BOUND_EXACT, nullptr, 0);
  EXPECT_EQ(ttProbe(tt, KEY, 4, -9, 9), 5);
  EXPECT_EQ(ttProbe(tt, SAME_SLOT, 0, -9, 9), TT_MISS);
  ttStore(tt, SAME_SLOT, 4, 8, BOUND_EXACT, nullptr, 0);
  EXPECT_EQ(ttProbe(tt, SAME_SLOT, 4, -9, 9), 8);
  EXPECT_EQ(ttProbe(tt, KEY, 0, -9, 9), TT_MISS);

  // A move list comes back in order without its dropped squares, sixteen at most.
  ttClear(tt);
  Square list[TT_MOVES + 2], out[TT_MOVES];
  for (const auto& [count, hole] :
       {std::pair{3, true}, {TT_MOVES, false}, {TT_MOVES, true}, {TT_MOVES + 2, true}}) {
    for (int32_t i = 0; i < count; ++i) list[i] = i == 1 && hole ? NO_SQUARE : Square(90 + i);
    ttStore(tt, KEY, 2, 0, BOUND_EXACT, list, count);
    const int32_t real = std::min(count - hole, TT_MOVES);
    ASSERT_EQ(ttProbeMoves(tt, KEY, out), real);
    for (int32_t i = 0; i < real; ++i) EXPECT_EQ(out[i], list[i + (hole && i > 0)]) << count;
  }
}

// The table is sized for the manager's memory limit, 0 meaning none.
TEST(TableSizing, NoLimitTheLargestTableTooLittleRoomAWorkingTableOfOne) {
  TranspositionTable tt, largest;
  EXPECT_EQ(ttResize(tt, 0), ttAllocate(largest, 99));
  ttRelease(largest);
  const TTEntry* block = tt.entries;  // the same limit again keeps the block
  ttResize(tt, 0);
  EXPECT_EQ(tt.entries, block);
  // Less than the process holds, or a negative size: the built-in entry.
  EXPECT_EQ(ttResize(tt, 96), sizeof(TTEntry));
  EXPECT_EQ(ttAllocate(tt, -3), sizeof(TTEntry));
  ttClear(tt);
  ttStore(tt, KEY, 1, 7, BOUND_EXACT, nullptr, 0);
  EXPECT_EQ(ttProbe(tt, KEY, 1, 0, 10), 7);
}

}  // namespace
}  // namespace kestrix
