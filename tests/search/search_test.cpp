#include "search/search.h"

#include <gtest/gtest.h>

#include "position/pattern_tables.h"
#include "search/movegen.h"
#include "support/board_picture.h"
#include "threats/forbidden.h"
#include "threats/stones.h"

namespace kestrix {
namespace {

class Search : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    initPatternTables();
    initZobristKeys();
  }
  void SetUp() override { ttAllocate(tt, 16); }

  // A search to maxDepth with all the time in the world.
  Square search(SearchRecord& record, RuleIndex rule, int32_t maxDepth) {
    clock.moveStartTime = clockMs();
    clock.moveTimeBudget = 1000000000;
    ttClear(tt);
    return searchRoot(rule, record, tt, clock, maxDepth);
  }

  // Plays searched moves for both sides from the record's position and
  // returns the side that made five first (EMPTY if none within maxMoves).
  int32_t playOut(SearchRecord& record, RuleIndex rule, int32_t maxDepth, int32_t maxMoves) {
    for (int32_t ply = 0; ply < maxMoves; ++ply) {
      const int32_t mover = record.sideToMove;
      const Square move = search(record, rule, maxDepth);
      if (move == NO_SQUARE) return EMPTY;
      EXPECT_EQ(record.position.cells[move].stone, EMPTY);
      record.position.cells[move].stone = mover;
      withRule(rule, [&](auto tag) { prepareSearch<tag.rule>(record); });
      if (record.playerThreats[mover].classCount[THREAT_FIVE] > 0) return mover;
      record.sideToMove = opponentOf(mover);
    }
    return EMPTY;
  }

  TranspositionTable tt;
  MoveClock clock;
};

TEST_F(Search, CompletesFiveBeforeAnythingElse) {
  auto record = recordFromPicture(R"(
............
oxxxx.......
............
.oooo.......
)",
                                  BLACK, 12, 10);
  for (const RuleIndex rule : {RULE_FREESTYLE, RULE_STANDARD, RULE_RENJU}) {
    EXPECT_EQ(search(*record, rule, 6), squareAt(*record, 5, 1)) << rule;
  }
}

TEST_F(Search, BlocksTheOnlySquareOfAFour) {
  auto record = recordFromPicture(R"(
............
............
...xoooo....
............
....x.......
....x.......
)",
                                  BLACK, 12, 10);
  for (const RuleIndex rule : {RULE_FREESTYLE, RULE_STANDARD, RULE_RENJU}) {
    EXPECT_EQ(search(*record, rule, 6), squareAt(*record, 8, 2)) << rule;
  }
}

TEST_F(Search, MakesAnOpenFourWhenNothingMustBeBlocked) {
  auto record = recordFromPicture(R"(
............
............
....oo......
............
...xxx......
............
......o.....
)",
                                  BLACK, 12, 10);
  const Square move = search(*record, RULE_FREESTYLE, 6);
  EXPECT_TRUE(move == squareAt(*record, 2, 4) || move == squareAt(*record, 6, 4))
      << squareName(*record, move);
}

TEST_F(Search, FindsAndPlaysAWinByFours) {
  // A four on (4,7) forces (5,8), then (6,7) makes two fours (or the same
  // two moves the other way round). No single move wins at once.
  auto record = recordFromPicture(R"(
............
............
............
o.....o.....
.x....x.....
..x..oxo....
...x..x.....
..ox.x......
)",
                                  BLACK, 12, 12);
  prepareSearch<RULE_FREESTYLE>(*record);
  for (int32_t s = 0; s < record->position.cellCount; ++s) {
    if (threatCell(*record, static_cast<Square>(s)).stone != EMPTY) continue;
    placeStone<RULE_FREESTYLE>(*record, static_cast<Square>(s), BLACK);
    const int32_t* counts = record->playerThreats[BLACK].classCount;
    EXPECT_EQ(counts[THREAT_FIVE] + counts[THREAT_OPEN_FOUR] + counts[THREAT_FOUR_THREE] +
                  counts[THREAT_DOUBLE_THREE],
              0)
        << "black wins at once on " << squareName(*record, static_cast<Square>(s));
    removeStone<RULE_FREESTYLE>(*record, static_cast<Square>(s));
  }
  const Square move = search(*record, RULE_FREESTYLE, 5);
  EXPECT_TRUE(move == squareAt(*record, 4, 7) || move == squareAt(*record, 6, 7))
      << squareName(*record, move);
  EXPECT_EQ(playOut(*record, RULE_FREESTYLE, 5, 5), BLACK);
}

TEST_F(Search, ReturnsThePreviousMoveWhenEveryMoveLoses) {
  // White has two four-three squares, (3,2) and (11,12); black has only
  // loose stones and cannot stop both. Depth 1 does not see it, depth 2 does.
  auto record = recordFromPicture(R"(
...............
...............
ooo............
...............
...o...........
...o...........
...............
.......x.......
...............
...........o...
...........o...
...............
............ooo
)",
                                  BLACK, 15, 15);
  const Square shallow = search(*record, RULE_FREESTYLE, 1);
  ASSERT_NE(shallow, NO_SQUARE);
  EXPECT_EQ(search(*record, RULE_FREESTYLE, 4), shallow);
  EXPECT_EQ(record->nextRootMoveCount, 0);  // the second iteration lost them all
}

TEST_F(Search, DropsLostRootMovesForGood) {
  // One four-three square for white at (3,2): far-away moves lose at depth
  // 2 and must not appear in any later iteration's list.
  auto record = recordFromPicture(R"(
...............
...............
ooo............
...............
...o...........
...o...........
...............
.......x.......
)",
                                  BLACK, 15, 15);
  const Square move = search(*record, RULE_FREESTYLE, 4);
  ASSERT_NE(move, NO_SQUARE);
  const Square far = squareAt(*record, 13, 13);
  bool keptThreatSquare = false;
  for (int32_t i = 0; i < record->rootMoveCount; ++i) {
    EXPECT_NE(record->rootMoves[i], far);
    keptThreatSquare |= record->rootMoves[i] == squareAt(*record, 3, 2);
  }
  EXPECT_TRUE(keptThreatSquare);
  EXPECT_LT(record->rootMoveCount, 20);
}

TEST_F(Search, AnswersASingleCandidateWithoutSearching) {
  auto record = recordFromPicture(R"(
..........
..........
.oooo.....
..........
....x.....
....x.....
..........
..........
..........
#########.
)",
                                  BLACK, 10, 10);
  // (0,2) and (5,2) both complete white's five; the root keeps the last.
  EXPECT_EQ(search(*record, RULE_FREESTYLE, 10), squareAt(*record, 5, 2));
  EXPECT_EQ(record->nodeCount, 0);
}

TEST_F(Search, ExactlyFiveDoesNotCountSix) {
  // The gap on row 1 makes six for black: a win in free-style only. Under
  // exactly five black must block white's four instead.
  auto record = recordFromPicture(R"(
............
xxx.xx......
............
............
...xoooo....
)",
                                  BLACK, 12, 10);
  EXPECT_EQ(search(*record, RULE_FREESTYLE, 4), squareAt(*record, 3, 1));
  const Square standard = search(*record, RULE_STANDARD, 4);
  EXPECT_EQ(standard, squareAt(*record, 8, 4));
}

TEST_F(Search, RenjuBlackAvoidsForbiddenSquaresAndWhiteMayOverline) {
  // (5,5) is a double three for black: the natural attack in free-style,
  // forbidden in Renju.
  auto black = recordFromPicture(R"(
............
............
............
............
............
...xx.......
............
.....x......
.....x......
............
.o......o...
..........o.
)",
                                 BLACK, 12, 12);
  const Square forbidden = squareAt(*black, 5, 5);
  prepareSearch<RULE_RENJU>(*black);
  ASSERT_TRUE(isForbidden(*black, forbidden));
  EXPECT_EQ(search(*black, RULE_FREESTYLE, 3), forbidden);
  const Square renju = search(*black, RULE_RENJU, 3);
  ASSERT_NE(renju, NO_SQUARE);
  EXPECT_NE(renju, forbidden);
  prepareSearch<RULE_RENJU>(*black);
  EXPECT_FALSE(isForbidden(*black, renju));

  // White's gap makes six: a five for white under Renju, none under exactly
  // five.
  auto white = recordFromPicture(R"(
............
ooo.oo......
............
....xxx.....
)",
                                 WHITE, 12, 10);
  EXPECT_EQ(search(*white, RULE_RENJU, 3), squareAt(*white, 3, 1));
  // Under exactly five the gap is worth nothing: white must stop black's
  // open three on row 3 instead.
  const Square standard = search(*white, RULE_STANDARD, 3);
  EXPECT_NE(standard, squareAt(*white, 3, 1));
  EXPECT_EQ(squareRow(white->position, standard), 3) << squareName(*white, standard);
}

TEST_F(Search, NodeCountsRepeatAcrossTableWipes) {
  auto record = recordFromPicture(R"(
...............
...............
...............
...............
......o........
......x........
......xo.......
.....o..x......
)",
                                  BLACK, 15, 15);
  int64_t nodes[3];
  Square moves[3];
  for (int run = 0; run < 3; ++run) {
    if (run == 2) ttAllocate(tt, 16);  // a fresh block must behave as a wiped one
    moves[run] = search(*record, RULE_FREESTYLE, 6);
    nodes[run] = record->nodeCount;
  }
  EXPECT_GT(nodes[0], 1000);
  EXPECT_EQ(nodes[1], nodes[0]);
  EXPECT_EQ(nodes[2], nodes[0]);
  EXPECT_EQ(moves[1], moves[0]);
  EXPECT_EQ(moves[2], moves[0]);
}

TEST(RootNarrowing, FollowsTheDepthSchedule) {
  // Without lost moves the live list after iteration d is
  // min(count, (20 - d) * N / 20 + 1) while more than 3 remain.
  auto schedule = [](int32_t n, int32_t iterations) {
    int32_t count = n;
    for (int32_t d = 1; d <= iterations; ++d) count = narrowedRootCount(count, d, n);
    return count;
  };
  EXPECT_EQ(schedule(10, 1), 10);
  EXPECT_EQ(schedule(10, 3), 9);
  EXPECT_EQ(schedule(10, 15), 3);
  EXPECT_EQ(schedule(4, 5), 4);
  EXPECT_EQ(schedule(4, 6), 3);
  EXPECT_EQ(schedule(30, 18), 4);
  EXPECT_EQ(schedule(30, 19), 2);
  EXPECT_EQ(schedule(200, 1), 191);
  EXPECT_EQ(schedule(200, 19), 11);
  EXPECT_EQ(schedule(200, 40), 11);
}

}  // namespace
}  // namespace kestrix
