#include "search/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "search/movegen.h"
#include "support/board_picture.h"
#include "threats/forbidden.h"

namespace kestrix {
namespace {

using testing::recordFromPicture;
using testing::squareName;

constexpr int32_t ROOT = -1;  // the root generator's answer
constexpr int32_t INNER = 0;  // the inner generator's

// The move on a pictured 12 x 12 board from a generator, which must give one
// square only, or from a search to a depth.
std::string answer(const char* picture, int32_t side, RuleIndex rule, int32_t probe) {
  initPatternTables();
  initZobristKeys();
  auto record = recordFromPicture(picture, side, 12, 12);
  if (probe > 0) {
    static TranspositionTable tt;
    ttAllocate(tt, 16);
    MoveClock clock;
    clock.moveStartTime = clockMs();
    clock.moveTimeBudget = 1000000000;
    return squareName(record->position, searchRoot(rule, *record, tt, clock, probe));
  }
  Square moves[MAX_ROOT_MOVES];
  const int32_t count = withRule(rule, [&](auto tag) {
    prepareSearch<tag.rule>(*record);
    return probe == ROOT ? generateRootMoves<tag.rule>(record->board, record->candidates, side,
                                                       moves, MAX_ROOT_MOVES)
                         : generateMoves<tag.rule>(record->board, record->candidates, side, moves,
                                                   INNER_MOVES);
  });
  return count == 1 ? squareName(record->position, moves[0]) : std::to_string(count) + " squares";
}

TEST(Search, Tactics) {
  const char* const fivesForBoth = "oxxxx\n.\n.oooo\n.\n......oooo";
  const char* const whiteFour = "..x\n.oooo.x\n.\n.\n.xxx";
  const char* const blackThree = "....o\n.\n..xxx";
  // The gaps make six: a five in free-style, and for white under Renju;
  // else the other side's threat comes first.
  const char* const blackSix = "xxx.xx\n.\n.\n...xoooo";
  const char* const whiteSix = "ooo.oo\n.\n....xxx";
  // A four on (4,7) forces (5,8), then (6,7) makes two fours, or the other
  // way round.
  const char* const winByFours = ".\n.\n.\no.....o\n.x....x\n..x..oxo\n...x..x\n..ox.x";
  const struct {
    const char* picture;
    int32_t side;
    RuleIndex rule;
    int32_t probe;  // ROOT, INNER or a search depth
    std::set<std::string> answers;
  } tactics[] = {
      // Five first; the root takes the mover's first in square order.
      {fivesForBoth, BLACK, RULE_FREESTYLE, ROOT, {"5,0"}},
      {fivesForBoth, WHITE, RULE_FREESTYLE, ROOT, {"0,2"}},
      {fivesForBoth, BLACK, RULE_RENJU, 6, {"5,0"}},
      {".xxxx", BLACK, RULE_FREESTYLE, ROOT, {"0,0"}},  // the first square of all
      // A four is stopped: the root keeps the last square, an inner node the
      // first; a lone root move is played at any depth.
      {".oooo\n.\n.xxx", BLACK, RULE_FREESTYLE, ROOT, {"5,0"}},
      {".oooo\n.\n.xxx", BLACK, RULE_STANDARD, 9, {"5,0"}},
      {whiteFour, BLACK, RULE_STANDARD, INNER, {"0,1"}},
      {whiteFour, WHITE, RULE_STANDARD, INNER, {"0,1"}},
      // An open four: the root's the last of two, an inner node's the first.
      {".oo\n.\n..xxx", BLACK, RULE_FREESTYLE, ROOT, {"5,2"}},
      {blackThree, BLACK, RULE_FREESTYLE, INNER, {"1,2"}},
      {blackThree, BLACK, RULE_FREESTYLE, 6, {"1,2", "5,2"}},
      {blackThree, WHITE, RULE_FREESTYLE, INNER, {"16 squares"}},
      {winByFours, BLACK, RULE_FREESTYLE, 5, {"4,7", "6,7"}},
      {blackSix, BLACK, RULE_FREESTYLE, 4, {"3,0"}},
      {blackSix, BLACK, RULE_STANDARD, 4, {"8,3"}},
      {whiteSix, WHITE, RULE_RENJU, 3, {"3,0"}},
      {whiteSix, WHITE, RULE_STANDARD, 3, {"3,2", "7,2"}},
  };
  for (const auto& t : tactics) {
    const std::string move = answer(t.picture, t.side, t.rule, t.probe);
    EXPECT_TRUE(t.answers.count(move))
        << move << " for " << t.side << " under rule " << t.rule << " at " << t.probe << " on\n"
        << t.picture;
  }
}

// Black to move under Renju on a tall board crowded with black pairs, where
// white's three (7,3)-(9,5) makes black block on squares whose forbidden
// test puts down hundreds of temporary stones. With the time spent before
// the search begins, the first iteration ends inside such a test, and the
// move played is one that needed no unfinished test.
TEST(Search, TimeRunningOutInAForbiddenTestEndsTheFirstIterationWithALegalMove) {
  std::string picture = testing::tiledPicture(
      23, 32, {"x..xx....", "...xx...x", "x..xx....", "...xx...x", "...xx....", "...xx...x"});
  for (const int32_t x : {7, 8, 9}) picture[(x - 4) * 24 + x] = 'o';
  initZobristKeys();
  auto board = testing::boardFromPicture<RULE_RENJU>(picture);
  static TranspositionTable tt;
  ttAllocate(tt, 16);
  int64_t nodes = 0;
  for (const int32_t budget : {1000000000, -1000}) {  // none, and already spent
    auto record = recordFromPicture(picture, BLACK);
    MoveClock clock;
    clock.moveStartTime = clockMs();
    clock.moveTimeBudget = budget;
    ttClear(tt);
    const Square move = searchRoot(RULE_RENJU, *record, tt, clock, 1);
    ASSERT_NE(move, NO_SQUARE);
    EXPECT_FALSE(isForbidden(*board, move)) << squareName(*board, move);
    EXPECT_TRUE(budget > 0 || record->nodeCount < nodes) << "the iteration was not cut short";
    nodes = record->nodeCount;
  }
}

// A freestyle search watched through its observer: each finished
// iteration's report and the root moves it searched. After iteration
// `stopAfter` the time is spent, but the check that follows that iteration
// is told it took none, so the next one starts and meets the clock inside.
struct Watch {
  SearchRecord& record;
  int32_t stopAfter;
  MoveClock clock;
  std::vector<IterationReport> reports;
  std::vector<std::vector<Square>> lists;
  Square move;

  Watch(SearchRecord& searched, int32_t budget, int32_t maxDepth, int32_t stop = 0)
      : record(searched), stopAfter(stop) {
    static TranspositionTable tt;
    if (tt.mask == 0) ttAllocate(tt, 16);
    ttClear(tt);
    clock.moveStartTime = clockMs();
    clock.moveTimeBudget = budget;
    const SearchObserver observer{
        [](void* raw, const IterationReport& report) {
          Watch& w = *static_cast<Watch*>(raw);
          w.reports.push_back(report);
          w.lists.emplace_back(w.record.rootMoves, w.record.rootMoves + w.record.rootMoveCount);
          if (report.depth != w.stopAfter) return;
          w.clock.moveTimeBudget = -1;
          w.record.iterationStartTime = clockMs() + 1000000;
        },
        this};
    move = searchRoot(RULE_FREESTYLE, record, tt, clock, maxDepth, observer);
  }
};

// 15 x 15, black to move, nothing forced: 200 root moves, a first iteration
// of some 200 nodes, a second of 400, a third of thousands.
const char* const QUIET = ".\n.\n.\n.\n.\n.\n........x\n......ox.x\n......o.o";

TEST(Search, TheClockStopsTheSecondIterationOnAndTheLastFinishedOneIsPlayed) {
  initPatternTables();
  initZobristKeys();
  Square moves[4];
  int64_t nodes[4];
  for (int32_t depth = 1; depth <= 3; ++depth) {
    auto record = recordFromPicture(QUIET, BLACK, 15, 15);
    moves[depth] = Watch(*record, 1000000000, depth).move;
    nodes[depth] = record->nodeCount;
  }
  // The time spent before the search: the first iteration always finishes,
  // also where one record's clock reads, counted across searches, fall in it.
  auto record = recordFromPicture(QUIET, BLACK, 15, 15);
  for (int32_t search = 0; search < 4; ++search) {
    const Watch w(*record, -1000, 9);
    EXPECT_EQ(w.reports.size(), 1u);
    EXPECT_EQ(w.move, moves[1]);
  }
  // The time running out in iteration k + 1, which a fresh record's first
  // clock read falls in: iteration k's move.
  for (int32_t k = 1; k <= 2; ++k) {
    auto fresh = recordFromPicture(QUIET, BLACK, 15, 15);
    const Watch w(*fresh, 1000000000, 9, k);
    EXPECT_EQ(w.reports.size(), size_t(k));
    EXPECT_EQ(w.move, moves[k]);
    EXPECT_LT(fresh->nodeCount, nodes[k + 1]) << k;
  }
}

TEST(Search, EachIterationSearchesTheBestFirstAndNoLostMove) {
  initPatternTables();
  initZobristKeys();
  // The list narrows, keeps the last iteration's best first, and its
  // reports give the line that follows from the table.
  auto record = recordFromPicture(QUIET, BLACK, 15, 15);
  const Watch quiet(*record, 1000000000, 5);
  ASSERT_EQ(quiet.lists.size(), 5u);
  for (size_t d = 1; d < 5; ++d) {
    const std::vector<Square>& list = quiet.lists[d];
    const std::set<Square> before(quiet.lists[d - 1].begin(), quiet.lists[d - 1].end());
    EXPECT_LT(list.size(), before.size());
    EXPECT_EQ(list[0], quiet.reports[d - 1].line[0]);
    for (const Square m : list) EXPECT_TRUE(before.count(m)) << d;
    const IterationReport& report = quiet.reports[d];
    EXPECT_GT(report.lineLength, 1);
    EXPECT_EQ(std::set(report.line, report.line + report.lineLength).size(), report.lineLength);
  }
  // Facing white's open three, every square but its ends loses at once and
  // is searched no more; the lost moves stay at the list's end.
  auto three = recordFromPicture(".\n.\n.\n.\n.\n.\n...ooo\n.\n.\n...x\n....x", BLACK, 12, 12);
  const Watch block(*three, 1000000000, 4);
  ASSERT_EQ(block.lists.size(), 4u);
  const std::set<Square> ends = {6 * 12 + 2, 6 * 12 + 6};
  for (size_t d = 1; d < 4; ++d) {
    EXPECT_EQ(std::set(block.lists[d].begin(), block.lists[d].end()), ends) << d;
  }
  const std::vector<Square>& generated = block.lists[0];
  EXPECT_TRUE(std::is_permutation(generated.begin(), generated.end(), three->rootMoves));
}

}  // namespace
}  // namespace kestrix
