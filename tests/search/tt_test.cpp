#include "search/tt.h"

#include <gtest/gtest.h>

namespace kestrix {
namespace {

TEST(Table, WipeForgetsEverythingAcrossGenerationWraps) {
  TranspositionTable tt;
  ttAllocate(tt, 10);
  ttClear(tt);
  constexpr uint64_t KEY = 0x0123456789abcdefull;
  constexpr uint64_t SAME_SLOT = KEY + (uint64_t{1} << 32);  // another key, same index
  Square list[2] = {3, 4};
  Square out[TT_MOVES];
  // More wipes than the generation counter holds: no entry comes back when
  // its generation number is reused, nor blocks a shallow store into its slot.
  const uint64_t lonely = KEY ^ 0x200;  // a slot written only once
  ttStore(tt, lonely, 1, 3, BOUND_EXACT, list, 2);
  ttClear(tt);
  for (int round = 0; round < 600; ++round) {
    ASSERT_EQ(ttProbe(tt, lonely, 0, -10, 10), TT_MISS) << round;
    ASSERT_EQ(ttProbe(tt, KEY, 0, -10, 10), TT_MISS) << round;
    ASSERT_EQ(ttProbe(tt, SAME_SLOT, 0, -10, 10), TT_MISS) << round;
    ASSERT_EQ(ttProbeMoves(tt, KEY, out), 0) << round;
    if (round % 2 == 0) {
      ttStore(tt, KEY, 100, 1, BOUND_EXACT, list, 2);
      ASSERT_EQ(ttProbe(tt, KEY, 0, -10, 10), 1);
    } else {
      ttStore(tt, SAME_SLOT, 0, 2, BOUND_EXACT, nullptr, 0);
      ASSERT_EQ(ttProbe(tt, SAME_SLOT, 0, -10, 10), 2) << round;
    }
    ttClear(tt);
  }
}

TEST(TableSizing, SameLimitSameBlockAndTheBuiltInEntryBelowThat) {
  TranspositionTable tt;
  EXPECT_EQ(ttResize(tt, 0), uint64_t{48} << TT_MAX_BITS);
  const TTEntry* block = tt.entries;  // the same limit again keeps the block
  EXPECT_EQ(ttResize(tt, 0), uint64_t{48} << TT_MAX_BITS);
  EXPECT_EQ(tt.entries, block);
  ttRelease(tt);
  EXPECT_EQ(tt.entries, &tt.builtIn);
  // A limit below what the process holds, or a negative size, leaves the
  // built-in entry, which works as a table of one.
  EXPECT_EQ(ttAllocate(tt, -3), 48u);
  EXPECT_EQ(ttResize(tt, 96), 48u);
  EXPECT_EQ(tt.entries, &tt.builtIn);
  ttClear(tt);
  ttStore(tt, 0x55aa55aa12345678ull, 1, 7, BOUND_EXACT, nullptr, 0);
  EXPECT_EQ(ttProbe(tt, 0x55aa55aa12345678ull, 1, 0, 10), 7);
}

}  // namespace
}  // namespace kestrix
