#include "search/search.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "search/movegen.h"
#include "support/board_picture.h"

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
    return probe == ROOT ? generateRootMoves<tag.rule>(*record, side, moves, MAX_ROOT_MOVES)
                         : generateMoves<tag.rule>(*record, side, moves, INNER_MOVES);
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

}  // namespace
}  // namespace kestrix
