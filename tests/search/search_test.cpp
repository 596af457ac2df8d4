#include "search/search.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "search/movegen.h"
#include "support/board_picture.h"
#include "threats/forbidden.h"

namespace kestrix {
namespace {

using testing::recordFromPicture;
using testing::squareAt;
using testing::squareName;

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

  TranspositionTable tt;
  MoveClock clock;
};

// What the root generator (ROOT), the inner one (INNER) or a search to some
// depth answers on a pictured board of 12 x 12: one of the listed squares.
constexpr int32_t ROOT = -1;
constexpr int32_t INNER = 0;

struct Tactic {
  const char* picture;
  int32_t side;
  RuleIndex rule;
  int32_t probe;  // ROOT, INNER or a search depth
  std::set<std::string> answers;
};

const char* const FIVES_FOR_BOTH = "oxxxx\n.\n.oooo\n.\n......oooo";
const char* const WHITE_FOUR = "..x\n.oooo.x\n.\n.\n.xxx";
const char* const BLACK_THREE = "....o\n.\n..xxx";
// A four on (4,7) forces (5,8), then (6,7) makes two fours (or the same two
// moves the other way round). No single move wins at once.
const char* const WIN_BY_FOURS = R"(
.
.
.
o.....o
.x....x
..x..oxo
...x..x
..ox.x
)";
// The gap makes six for black: a five in free-style only. Under exactly five
// black must stop white's four instead.
const char* const SIX_OR_BLOCK = "xxx.xx\n.\n.\n...xoooo";
// The gap makes six for white: a five under Renju, which binds only black to
// exactly five; under exactly five white must stop the open three.
const char* const WHITE_SIX = "ooo.oo\n.\n....xxx";

TEST_F(Search, Tactics) {
  const Tactic tactics[] = {
      // Make five before anything else; the root takes the mover's first.
      {FIVES_FOR_BOTH, BLACK, RULE_FREESTYLE, ROOT, {"5,0"}},
      {FIVES_FOR_BOTH, WHITE, RULE_FREESTYLE, ROOT, {"0,2"}},
      {FIVES_FOR_BOTH, BLACK, RULE_STANDARD, 6, {"5,0"}},
      {FIVES_FOR_BOTH, BLACK, RULE_RENJU, 6, {"5,0"}},
      // A four is answered on its square; the root keeps the last in square
      // order, an inner node the first, and a single root move is played
      // without a search.
      {".oooo\n.\n.xxx", BLACK, RULE_FREESTYLE, ROOT, {"5,0"}},
      {".oooo\n.\n.xxx", BLACK, RULE_RENJU, 9, {"5,0"}},
      {WHITE_FOUR, BLACK, RULE_STANDARD, INNER, {"0,1"}},
      {WHITE_FOUR, WHITE, RULE_STANDARD, INNER, {"0,1"}},
      {"...xoooo\n.\n....x\n....x", BLACK, RULE_RENJU, 6, {"8,0"}},
      // Without fours, an open four: alone from the generators (the root's
      // the last of two, the inner one's the first), one of two by search.
      {".oo\n.\n..xxx", BLACK, RULE_FREESTYLE, ROOT, {"5,2"}},
      {BLACK_THREE, BLACK, RULE_FREESTYLE, INNER, {"1,2"}},
      {BLACK_THREE, BLACK, RULE_FREESTYLE, 6, {"1,2", "5,2"}},
      {WIN_BY_FOURS, BLACK, RULE_FREESTYLE, 5, {"4,7", "6,7"}},
      {SIX_OR_BLOCK, BLACK, RULE_FREESTYLE, 4, {"3,0"}},
      {SIX_OR_BLOCK, BLACK, RULE_STANDARD, 4, {"8,3"}},
      {WHITE_SIX, WHITE, RULE_RENJU, 3, {"3,0"}},
      {WHITE_SIX, WHITE, RULE_STANDARD, 3, {"3,2", "7,2"}},
  };
  for (const Tactic& tactic : tactics) {
    auto record = recordFromPicture(tactic.picture, tactic.side, 12, 12);
    Square moves[MAX_ROOT_MOVES];
    std::set<std::string> answers;
    if (tactic.probe > 0) {
      answers.insert(squareName(*record, search(*record, tactic.rule, tactic.probe)));
    } else {
      withRule(tactic.rule, [&](auto tag) {
        prepareSearch<tag.rule>(*record);
        const int32_t count =
            tactic.probe == ROOT
                ? generateRootMoves<tag.rule>(*record, tactic.side, moves, MAX_ROOT_MOVES)
                : generateMoves<tag.rule>(*record, tactic.side, moves, INNER_MOVES);
        for (int32_t i = 0; i < count; ++i) answers.insert(squareName(*record, moves[i]));
      });
    }
    ASSERT_EQ(answers.size(), 1u) << tactic.picture;
    EXPECT_TRUE(tactic.answers.count(*answers.begin()))
        << *answers.begin() << " for " << tactic.side << " under rule " << tactic.rule << " at "
        << tactic.probe << " on\n"
        << tactic.picture;
  }
  // A quiet inner node lists sixteen empty squares near stones.
  auto quiet = recordFromPicture(BLACK_THREE, WHITE, 12, 12);
  prepareSearch<RULE_FREESTYLE>(*quiet);
  Square moves[INNER_MOVES];
  ASSERT_EQ(generateMoves<RULE_FREESTYLE>(*quiet, WHITE, moves, INNER_MOVES), INNER_MOVES);
  for (const Square m : moves) {
    EXPECT_EQ(quiet->threatCells[m].stone, EMPTY);
    EXPECT_GT(quiet->threatCells[m].nearStones, 0);
  }
}

TEST_F(Search, WhenEveryMoveLosesThePreviousIterationsMoveIsKept) {
  // White has two four-three squares, (3,2) and (11,12); black has only
  // loose stones and cannot stop both. Depth 1 does not see it, depth 2
  // does, and loses every root move.
  auto record = recordFromPicture(R"(
.
.
ooo
.
...o
...o
.
.......x
.
...........o
...........o
.
............ooo
)",
                                  BLACK, 15, 15);
  const Square shallow = search(*record, RULE_FREESTYLE, 1);
  ASSERT_NE(shallow, NO_SQUARE);
  EXPECT_EQ(search(*record, RULE_FREESTYLE, 4), shallow);
  EXPECT_EQ(record->nextRootMoveCount, 0);
}

TEST_F(Search, RenjuBlackKeepsOffForbiddenSquares) {
  // (5,2) is a double three for black: the natural attack in free-style,
  // forbidden in Renju.
  auto black =
      recordFromPicture(".\n.\n...xx\n.\n.....x\n.....x\n.\n.o......o\n..........o", BLACK, 12, 12);
  const Square forbidden = squareAt(*black, 5, 2);
  EXPECT_EQ(search(*black, RULE_FREESTYLE, 3), forbidden);
  const Square renju = search(*black, RULE_RENJU, 3);
  ASSERT_NE(renju, NO_SQUARE);
  prepareSearch<RULE_RENJU>(*black);
  EXPECT_TRUE(isForbidden(*black, forbidden));
  EXPECT_FALSE(isForbidden(*black, renju)) << squareName(*black, renju);
}

}  // namespace
}  // namespace kestrix
