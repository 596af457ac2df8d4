#include "threats/stones.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include "support/board_picture.h"

namespace kestrix {
namespace {

// Stones and marks put down at random, the search's moves tried on each board:
// a leaf's tallies as pushing leaves them, pushes and pops undone bit for bit,
// and now and then the board as built afresh from its stones.
template <RuleIndex R>
void playAtRandom(int32_t width, int32_t height, uint32_t seed) {
  auto record = testing::recordFromPicture("", BLACK, width, height);  // the stones put down
  auto board = testing::boardFromPicture<R>("", width, height),
       fresh = std::make_unique<ThreatBoard>();
  std::mt19937 random(seed);
  std::string before, after;
  const int32_t cells = width * height;
  for (int32_t step = 0; step < cells * 7 / 10; ++step) {
    Square s;
    do s = static_cast<Square>(random() % cells);
    while (threatCellOf(*board, s).stone != EMPTY);
    const int32_t player = random() % 8 == 0 ? NEUTRAL : BLACK + random() % 2;
    testing::snapshot(*board, before);
    PlayerThreats reckoned[4];
    tallyAfterPlacing<R>(*board, s, player, reckoned);
    pushStone<R>(*board, s, player);
    ASSERT_EQ(std::memcmp(reckoned, board->playerThreats, sizeof(reckoned)), 0) << s;
    const Square t = static_cast<Square>((s + 1) % cells);
    if (threatCellOf(*board, t).stone == EMPTY) {
      pushStone<R>(*board, t, player == BLACK ? WHITE : BLACK);
      popStone<R>(*board, t);
    }
    popStone<R>(*board, s);
    testing::snapshot(*board, after);
    ASSERT_TRUE(before == after) << "reckoning, push and pop at " << s;
    placeStone<R>(*board, s, player);
    positionPlace(record->position, s % width, s / width, player);
    if (step % (cells / 8) == 0) {
      fillThreatBoard<R>(*fresh, record->position);
      testing::snapshot(*fresh, before);
      testing::snapshot(*board, after);
      ASSERT_TRUE(before == after) << "unlike a board built afresh at step " << step;
    }
  }
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
