#include "position/position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace kestrix {
namespace {

std::vector<int32_t> firstEntries(const SpiralOrders& orders, int t, int n) {
  return std::vector<int32_t>(orders.order[t], orders.order[t] + n);
}

TEST(SpiralOrders, InnermostSquaresComeFirst) {
  auto orders = std::make_unique<SpiralOrders>();
  buildSpiralOrders(*orders, 15, 15);
  EXPECT_EQ(firstEntries(*orders, 0, 12),
            (std::vector<int32_t>{112, 111, 126, 127, 128, 113, 98, 97, 96, 95, 110, 125}));
  EXPECT_EQ(std::vector<int32_t>(orders->order[0] + 219, orders->order[0] + 225),
            (std::vector<int32_t>{5, 4, 3, 2, 1, 0}));
  // Every order of an odd square board ends its walk in the centre.
  for (int t = 0; t < SPIRAL_ORDER_COUNT; ++t) EXPECT_EQ(orders->order[t][0], 112) << t;

  buildSpiralOrders(*orders, 5, 5);
  EXPECT_EQ(firstEntries(*orders, 0, 12),
            (std::vector<int32_t>{12, 11, 16, 17, 18, 13, 8, 7, 6, 5, 10, 15}));

  buildSpiralOrders(*orders, 6, 5);
  EXPECT_EQ(firstEntries(*orders, 0, 16),
            (std::vector<int32_t>{15, 14, 13, 19, 20, 21, 22, 16, 10, 9, 8, 7, 6, 12, 18, 24}));
}

TEST(SpiralOrders, EveryOrderIsAPermutationEndingAtItsCorner) {
  auto orders = std::make_unique<SpiralOrders>();
  const struct { int width, height; } boards[] = {{20, 13}, {13, 20}, {32, 32}, {5, 32}, {6, 5}};
  for (const auto& board : boards) {
    buildSpiralOrders(*orders, board.width, board.height);
    const int n = board.width * board.height;
    const int corners[SPIRAL_ORDER_COUNT] = {
        0, 0, board.width - 1, board.width - 1, n - board.width, n - board.width, n - 1, n - 1};
    for (int t = 0; t < SPIRAL_ORDER_COUNT; ++t) {
      std::vector<int32_t> squares(orders->order[t], orders->order[t] + n);
      EXPECT_EQ(squares.back(), corners[t]) << board.width << "x" << board.height << " order " << t;
      std::sort(squares.begin(), squares.end());
      for (int i = 0; i < n; ++i) ASSERT_EQ(squares[i], i);
      for (int i = n; i < MAX_CELLS; ++i) ASSERT_EQ(orders->order[t][i], 0);
    }
  }
}

TEST(Position, SizeAndLineOffsets) {
  auto position = std::make_unique<Position>();
  positionInit(*position, 15, 15);
  EXPECT_EQ(position->cellCount, 225);
  positionInit(*position, 5, 5);
  EXPECT_EQ(position->lineOffset[DIR_ANTIDIAGONAL][0], -5 * 4);
  EXPECT_EQ(position->lineOffset[DIR_DIAGONAL][10], 5 * 6);
}

TEST(Position, PlaceRefusesBadSquaresAndPlayers) {
  auto position = std::make_unique<Position>();
  positionInit(*position, 15, 15);
  EXPECT_TRUE(positionPlace(*position, 3, 4, BLACK));
  EXPECT_EQ(position->cells[4 * 15 + 3].stone, BLACK);
  EXPECT_FALSE(positionPlace(*position, 3, 4, WHITE));
  EXPECT_EQ(position->cells[4 * 15 + 3].stone, BLACK);
  EXPECT_FALSE(positionPlace(*position, 5, 5, EMPTY));
  EXPECT_FALSE(positionPlace(*position, 15, 0, WHITE));
  EXPECT_FALSE(positionPlace(*position, 0, -1, WHITE));
  EXPECT_EQ(position->cells[5 * 15 + 5].stone, EMPTY);
}

}  // namespace
}  // namespace kestrix
