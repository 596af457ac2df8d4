#include "search/movegen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "position/pattern_tables.h"
#include "search/search.h"
#include "search/tt.h"
#include "support/board_picture.h"

namespace kestrix {
namespace {

class MoveGeneration : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    initPatternTables();
    initZobristKeys();
  }
  Square moves[MAX_ROOT_MOVES];
};

template <RuleIndex R>
void expectEmptyBoardLists(int32_t side, int32_t expectedRoot) {
  auto record = std::make_unique<SearchRecord>();
  positionInit(record->position, side, side);
  prepareSearch<R>(*record);
  Square moves[MAX_ROOT_MOVES];
  EXPECT_EQ(generateMoves<R>(*record, BLACK, moves, INNER_MOVES), 0);
  EXPECT_EQ(generateRootMoves<R>(*record, BLACK, moves, MAX_ROOT_MOVES), expectedRoot);
}

TEST_F(MoveGeneration, EmptyBoardsGiveRootMovesOnlyWhereLinesHaveRoom) {
  // 209 of the 225 squares of 15 x 15 are worth something, cut to 200; on
  // 5 x 5 no line has room for an open shape.
  expectEmptyBoardLists<RULE_FREESTYLE>(15, 200);
  expectEmptyBoardLists<RULE_STANDARD>(15, 200);
  expectEmptyBoardLists<RULE_RENJU>(15, 200);
  expectEmptyBoardLists<RULE_FREESTYLE>(5, 0);
  expectEmptyBoardLists<RULE_RENJU>(5, 0);
}

TEST_F(MoveGeneration, RootShortCutsFivesBlocksAndOpenFours) {
  // Black completes five at (5,1) although white could complete two fives.
  auto both = recordFromPicture(R"(
..........
oxxxx.....
..........
.oooo.....
..........
......oooo
)",
                                BLACK, 10, 10);
  prepareSearch<RULE_FREESTYLE>(*both);
  ASSERT_EQ(generateRootMoves<RULE_FREESTYLE>(*both, BLACK, moves, MAX_ROOT_MOVES), 1);
  EXPECT_EQ(moves[0], squareAt(*both, 5, 1));
  // White to move takes its own first five, in square order.
  ASSERT_EQ(generateRootMoves<RULE_FREESTYLE>(*both, WHITE, moves, MAX_ROOT_MOVES), 1);
  EXPECT_EQ(moves[0], squareAt(*both, 0, 3));
  // With the black four gone, black must block and keeps the last square.
  auto block = recordFromPicture(R"(
..........
..........
..........
.oooo.....
..........
..........
.xxx......
)",
                                 BLACK, 10, 10);
  prepareSearch<RULE_FREESTYLE>(*block);
  ASSERT_EQ(generateRootMoves<RULE_FREESTYLE>(*block, BLACK, moves, MAX_ROOT_MOVES), 1);
  EXPECT_EQ(moves[0], squareAt(*block, 5, 3));
  // Without the white four, black's open four square comes back alone: the
  // last of the two in square order.
  auto four = recordFromPicture(R"(
..........
..........
..........
.oo.......
..........
..........
..xxx.....
)",
                                BLACK, 10, 10);
  prepareSearch<RULE_FREESTYLE>(*four);
  ASSERT_EQ(generateRootMoves<RULE_FREESTYLE>(*four, BLACK, moves, MAX_ROOT_MOVES), 1);
  EXPECT_EQ(moves[0], squareAt(*four, 5, 6));
}

TEST_F(MoveGeneration, InnerNodesAnswerAFourWithTheFirstBlock) {
  // Black could make an open four, but white's four must be answered: only
  // the first of its two five squares, in square order, is given.
  auto record = recordFromPicture(R"(
..........
..........
..x.......
.oooo.x...
..........
..........
.xxx......
)",
                                  BLACK, 10, 10);
  prepareSearch<RULE_STANDARD>(*record);
  ASSERT_EQ(generateMoves<RULE_STANDARD>(*record, BLACK, moves, INNER_MOVES), 1);
  EXPECT_EQ(moves[0], squareAt(*record, 0, 3));
  // White itself, to move, takes its five at once.
  ASSERT_EQ(generateMoves<RULE_STANDARD>(*record, WHITE, moves, INNER_MOVES), 1);
  EXPECT_EQ(moves[0], squareAt(*record, 0, 3));
  // Without fours, the first open-four square near stones comes back alone
  // (the root would take the last one).
  auto quiet = recordFromPicture(R"(
..........
..........
..........
..........
....o.....
..........
..xxx.....
)",
                                 BLACK, 10, 10);
  prepareSearch<RULE_FREESTYLE>(*quiet);
  ASSERT_EQ(generateMoves<RULE_FREESTYLE>(*quiet, BLACK, moves, INNER_MOVES), 1);
  EXPECT_EQ(moves[0], squareAt(*quiet, 1, 6));
  // White, to move there, gets a full list of at most 16 squares, all empty
  // and near stones.
  const int32_t count = generateMoves<RULE_FREESTYLE>(*quiet, WHITE, moves, INNER_MOVES);
  EXPECT_EQ(count, INNER_MOVES);
  for (int32_t i = 0; i < count; ++i) {
    EXPECT_EQ(threatCell(*quiet, moves[i]).stone, EMPTY);
    EXPECT_GT(nearStonesAt(*quiet, moves[i]), 0);
  }
}

TEST(SortCandidates, TiesFollowTheQuicksortNotSquareOrder) {
  auto record = std::make_unique<SearchRecord>();
  const Candidate input[] = {{5, 10}, {7, 11}, {5, 12}, {7, 13}};
  record->candidateCount = 4;
  std::copy(std::begin(input), std::end(input), record->candidates);
  sortCandidates(*record);
  // Worked by hand through the pivot-and-hole partition: the later 7 comes
  // first and the earlier 5 last.
  const Square expected[] = {13, 11, 12, 10};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(record->candidates[i].square, expected[i]) << i;

  // Larger inputs: always descending, and nothing lost.
  record->candidateCount = 300;
  for (int i = 0; i < 300; ++i) {
    record->candidates[i] =
        Candidate{static_cast<int16_t>((i * 7919) % 61), static_cast<Square>(i)};
  }
  sortCandidates(*record);
  int32_t squareSum = 0;
  for (int i = 0; i < 300; ++i) {
    squareSum += record->candidates[i].square;
    if (i > 0) {
      ASSERT_GE(record->candidates[i - 1].score, record->candidates[i].score);
    }
  }
  EXPECT_EQ(squareSum, 299 * 300 / 2);
}

// The quicksort as it is usually written, with a hole and two scans; the
// generators' sort must leave every candidate where this one does.
void holeAndScanSort(Candidate* c, int32_t lo, int32_t hi) {
  while (lo < hi) {
    const Candidate pivot = c[lo];
    int32_t left = lo;
    int32_t right = hi;
    for (;;) {
      while (right > left && c[right].score <= pivot.score) --right;
      if (right == left) break;
      c[left++] = c[right];
      while (left < right && c[left].score >= pivot.score) ++left;
      if (left == right) break;
      c[right] = c[left];
    }
    c[left] = pivot;
    holeAndScanSort(c, lo, left - 1);
    lo = left + 1;
  }
}

TEST(SortCandidates, LeavesEveryCandidateWhereTheHoleAndScanQuicksortDoes) {
  auto record = std::make_unique<SearchRecord>();
  std::vector<Candidate> expected;
  uint32_t seed = 12345;
  for (int round = 0; round < 400; ++round) {
    // Few distinct scores make many ties, which is where sorts differ. Some
    // lists are as long as a 32 x 32 root's.
    const int32_t count = round % 40 == 0 ? MAX_CELLS - round : 1 + round % 150;
    const int32_t spread = 1 + round % 23;
    expected.resize(count);
    for (int32_t i = 0; i < count; ++i) {
      seed = seed * 1103515245u + 12345u;
      expected[i] = Candidate{static_cast<int16_t>((seed >> 16) % spread), static_cast<Square>(i)};
    }
    holeAndScanSort(expected.data(), 0, count - 1);
    for (const int32_t limit : {INNER_MOVES, MAX_CELLS}) {
      record->candidateCount = count;
      for (int32_t i = 0; i < count; ++i) record->candidates[i] = expected[i];
      // Sort the same input again: restore the unsorted order first.
      std::sort(record->candidates, record->candidates + count,
                [](const Candidate& a, const Candidate& b) { return a.square < b.square; });
      sortCandidates(*record, limit);
      for (int32_t i = 0; i < std::min(count, limit); ++i) {
        ASSERT_EQ(record->candidates[i].square, expected[i].square)
            << "round " << round << ", limit " << limit << ", place " << i;
      }
    }
  }
}

}  // namespace
}  // namespace kestrix
