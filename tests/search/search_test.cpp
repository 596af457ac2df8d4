#include "search/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/board_picture.h"
#include "threats/forbidden.h"

namespace kestrix {
namespace {

using testing::recordFromPicture;
using testing::squareName;

constexpr int32_t NONE = 1000000000;  // a budget that never runs out

// A search watched through its observer: each iteration's report and root list.
// After iteration `stopAfter` the time is spent, but the next one starts.
struct Watch {
  SearchRecord& record;
  int32_t stopAfter;
  MoveClock clock;
  std::vector<IterationReport> reports;
  std::vector<std::vector<Square>> lists;
  Square move;

  Watch(SearchRecord& searched, RuleIndex rule, int32_t budget, int32_t maxDepth, int32_t stop = 0)
      : record(searched), stopAfter(stop) {
    static TranspositionTable tt;
    if (tt.mask == 0) initPatternTables(), initZobristKeys(), ttAllocate(tt, 16);
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
          w.record.iterationStartTime = clockMs() + NONE;
        },
        this};
    move = searchRoot(rule, record, tt, clock, maxDepth, observer);
  }
};

// Searches of pictured 12 x 12 boards: the rules' fives, forced play, wins.
TEST(Search, Tactics) {
  const char* const fivesForBoth = "oxxxx\n.\n.oooo\n.\n......oooo";
  // The gaps make six: a five in free-style, and for white under Renju;
  // else the other side's threat comes first.
  const char* const blackSix = "xxx.xx\n.\n.\n...xoooo";
  const char* const whiteSix = "ooo.oo\n.\n....xxx";
  // A four on (4,7) forces (5,8), then (6,7) makes two fours, or the reverse.
  const char* const winByFours = ".\n.\n.\no.....o\n.x....x\n..x..oxo\n...x..x\n..ox.x";
  const struct {
    const char* picture;
    int32_t side;
    RuleIndex rule;
    int32_t depth;
    std::set<std::string> answers;
  } tactics[] = {
      // clang-format off
      // A five first, then the opponent's five stopped, then an open four.
      {fivesForBoth, BLACK, RULE_FREESTYLE, 1, {"5,0"}},
      {fivesForBoth, WHITE, RULE_FREESTYLE, 1, {"0,2", "5,4", "10,4"}},
      {fivesForBoth, BLACK, RULE_RENJU, 6, {"5,0"}},
      {".xxxxo", BLACK, RULE_FREESTYLE, 1, {"0,0"}},  // the first square of all
      {".oooo\n.\n.xxx", BLACK, RULE_STANDARD, 9, {"0,0", "5,0"}},
      {"..x\n.oooo.x\n.\n.\n.xxx", BLACK, RULE_STANDARD, 2, {"0,1", "5,1"}},
      {"....o\n.\n..xxx", BLACK, RULE_FREESTYLE, 6, {"1,2", "5,2"}},
      {winByFours, BLACK, RULE_FREESTYLE, 5, {"4,7", "6,7"}},
      {blackSix, BLACK, RULE_FREESTYLE, 4, {"3,0"}},
      {blackSix, BLACK, RULE_STANDARD, 4, {"8,3"}},
      {whiteSix, WHITE, RULE_RENJU, 3, {"3,0"}},
      {whiteSix, WHITE, RULE_STANDARD, 3, {"3,2", "7,2"}},
      // clang-format on
  };
  for (const auto& t : tactics) {
    auto record = recordFromPicture(t.picture, t.side, 12, 12);
    const std::string move =
        squareName(record->position, Watch(*record, t.rule, NONE, t.depth).move);
    EXPECT_TRUE(t.answers.count(move))
        << move << " for " << t.side << " under rule " << t.rule << " at " << t.depth << " on\n"
        << t.picture;
  }
}

// 15 x 15, nothing forced: 200 root moves; iterations of 200, 400, 3000 nodes.
const char* const QUIET = ".\n.\n.\n.\n.\n.\n........x\n......ox.x\n......o.o";

TEST(Search, TheClockStopsTheSecondIterationOnAndTheLastFinishedOneIsPlayed) {
  Square moves[4];
  int64_t nodes[4];
  for (int32_t depth = 1; depth <= 3; ++depth) {
    auto record = recordFromPicture(QUIET, BLACK, 15, 15);
    moves[depth] = Watch(*record, RULE_FREESTYLE, NONE, depth).move;
    nodes[depth] = record->nodeCount;
  }
  // The time spent before the search: the first iteration finishes anyway,
  // also where one record's clock reads, counted across searches, fall in it.
  auto record = recordFromPicture(QUIET, BLACK, 15, 15);
  for (int32_t search = 0; search < 4; ++search) {
    const Watch w(*record, RULE_FREESTYLE, -1000, 9);
    EXPECT_EQ(w.reports.size(), 1u);
    EXPECT_EQ(w.move, moves[1]);
  }
  // The time running out in iteration k + 1, which a fresh record's first
  // clock read falls in: iteration k's move.
  for (int32_t k = 1; k <= 2; ++k) {
    auto fresh = recordFromPicture(QUIET, BLACK, 15, 15);
    const Watch w(*fresh, RULE_FREESTYLE, NONE, 9, k);
    EXPECT_EQ(w.reports.size(), size_t(k));
    EXPECT_EQ(w.move, moves[k]);
    EXPECT_LT(fresh->nodeCount, nodes[k + 1]) << k;
  }
  // Renju: white's three (7,3)-(9,5) makes black block on squares whose test takes
  // hundreds of temporary stones; out of time inside one, the move needed none.
  std::string picture = testing::tiledPicture(
      23, 32, {"x..xx....", "...xx...x", "x..xx....", "...xx...x", "...xx....", "...xx...x"});
  for (const int32_t x : {7, 8, 9}) picture[(x - 4) * 24 + x] = 'o';
  auto board = testing::boardFromPicture<RULE_RENJU>(picture);
  for (const int32_t budget : {NONE, -1000}) {
    auto tall = recordFromPicture(picture, BLACK);
    const Square move = Watch(*tall, RULE_RENJU, budget, 1).move;
    ASSERT_NE(move, NO_SQUARE);
    EXPECT_FALSE(isForbidden(*board, move)) << squareName(*board, move);
    EXPECT_TRUE(budget > 0 || tall->nodeCount < nodes[0]) << "the iteration was not cut short";
    nodes[0] = tall->nodeCount;
  }
}

TEST(Search, EachIterationSearchesTheBestFirstAndNoLostMove) {
  // The list narrows with the last best move first; reports give the line.
  auto record = recordFromPicture(QUIET, BLACK, 15, 15);
  const Watch quiet(*record, RULE_FREESTYLE, NONE, 5);
  ASSERT_EQ(quiet.lists.size(), 5u);
  for (size_t d = 1; d < 5; ++d) {
    const std::vector<Square>& list = quiet.lists[d];
    const std::set<Square> before(quiet.lists[d - 1].begin(), quiet.lists[d - 1].end());
    EXPECT_LT(list.size(), before.size());
    EXPECT_EQ(list[0], quiet.reports[d - 1].line[0]);
    for (const Square m : list) EXPECT_TRUE(before.count(m)) << d;
    const IterationReport& report = quiet.reports[d];
    EXPECT_TRUE(report.lineLength > 1 && report.lineLength <= report.depth) << d;
    EXPECT_EQ(std::set(report.line, report.line + report.lineLength).size(), report.lineLength);
  }
  // Facing white's open three, every square but its ends loses at once and
  // is searched no more; the lost moves stay at the list's end.
  auto three = recordFromPicture(".\n.\n.\n.\n.\n.\n...ooo\n.\n.\n...x\n....x", BLACK, 12, 12);
  const Watch block(*three, RULE_FREESTYLE, NONE, 4);
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
