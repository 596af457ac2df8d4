#include "threats/judge.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/board_picture.h"

namespace kestrix {
namespace {

// The verdict on a stone of `colour` at (x, y) of a 9 x 7 board, and a five's ends.
TEST(Judge, Verdicts) {
  const struct {
    RuleIndex rule;
    const char* picture;
    int32_t x, y, colour;
    MoveVerdict verdict;
    std::array<int32_t, 4> five;
  } cases[] = {
      {RULE_FREESTYLE, ".\n.xxxx", 5, 1, BLACK, MOVE_FIVE, {1, 1, 5, 1}},
      {RULE_FREESTYLE, ".\n.xx.xxx", 3, 1, BLACK, MOVE_FIVE, {1, 1, 6, 1}},
      {RULE_STANDARD, ".\n.xx.xxx", 3, 1, BLACK, MOVE_ALLOWED, {}},
      {RULE_STANDARD, "o\n.o\n..o\n...o", 4, 4, WHITE, MOVE_FIVE, {0, 0, 4, 4}},
      {RULE_RENJU, ".\n.xxxx", 0, 1, BLACK, MOVE_FIVE, {0, 1, 4, 1}},
      {RULE_RENJU, ".\n.xx.xxx", 3, 1, BLACK, MOVE_OVERLINE, {}},
      {RULE_RENJU, ".\n.oo.ooo", 3, 1, WHITE, MOVE_FIVE, {1, 1, 6, 1}},
      {RULE_RENJU, "....x\n....x\n....x\n.xxx", 4, 3, BLACK, MOVE_DOUBLE_FOUR, {}},
      {RULE_RENJU, ".\nx.xx..x", 4, 1, BLACK, MOVE_DOUBLE_FOUR, {}},
      {RULE_RENJU, ".\n....x\n....x\n..xx", 4, 3, BLACK, MOVE_DOUBLE_THREE, {}},
      {RULE_RENJU, ".\n....x\n....x\n..xx", 4, 3, WHITE, MOVE_ALLOWED, {}},
      {RULE_RENJU, ".\n....x\n....x\n.oxx", 4, 3, BLACK, MOVE_ALLOWED, {}},
      {RULE_FREESTYLE, ".\n.xxxx", 1, 1, WHITE, MOVE_TAKEN, {}},
      {RULE_FREESTYLE, ".", 9, 0, BLACK, MOVE_TAKEN, {}},
  };
  // The page (web/app.js) reads the verdicts by these numbers.
  EXPECT_EQ((std::array<int, 6>{MOVE_ALLOWED, MOVE_FIVE, MOVE_OVERLINE, MOVE_DOUBLE_FOUR,
                                MOVE_DOUBLE_THREE, MOVE_TAKEN}),
            (std::array{0, 1, 2, 3, 4, 5}));
  auto board = std::make_unique<ThreatBoard>();
  for (const auto& test : cases) {
    const auto pictured = testing::recordFromPicture(test.picture, BLACK, 9, 7);
    std::vector<uint8_t> cells(9 * 7);
    for (int32_t s = 0; s < 9 * 7; ++s) cells[s] = pictured->position.cells[s].stone;
    judgeLoad(*board, test.rule, 9, 7, cells.data());
    FiveLine five{};
    EXPECT_EQ(judgeMove(*board, test.rule, test.x, test.y, test.colour, five), test.verdict)
        << test.picture;
    if (test.verdict == MOVE_FIVE) {
      EXPECT_EQ((std::array{five.x0, five.y0, five.x1, five.y1}), test.five) << test.picture;
    }
  }
}

}  // namespace
}  // namespace kestrix
