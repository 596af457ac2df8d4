#include "position/position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace kestrix {
namespace {

TEST(SpiralOrders, EveryOrderWalksTheWholeBoardFromItsCornerInwards) {
  auto orders = std::make_unique<SpiralOrders>();
  const struct {
    int width, height;
  } boards[] = {{15, 15}, {20, 13}, {13, 20}, {32, 32}, {5, 32}, {6, 5}};
  for (const auto& board : boards) {
    buildSpiralOrders(*orders, board.width, board.height);
    const int n = board.width * board.height;
    const int corners[SPIRAL_ORDER_COUNT] = {
        0, 0, board.width - 1, board.width - 1, n - board.width, n - board.width, n - 1, n - 1};
    for (int t = 0; t < SPIRAL_ORDER_COUNT; ++t) {
      std::vector<int32_t> squares(orders->order[t], orders->order[t] + n);
      EXPECT_EQ(squares.back(), corners[t]) << board.width << "x" << board.height << " order " << t;
      // The walk turns inwards at the edge or at a square already listed,
      // so each step goes to a neighbour.
      for (int i = 1; i < n; ++i) {
        const int a = squares[i - 1], b = squares[i];
        ASSERT_EQ(std::abs(a % board.width - b % board.width) +
                      std::abs(a / board.width - b / board.width),
                  1);
      }
      std::sort(squares.begin(), squares.end());
      for (int i = 0; i < n; ++i) ASSERT_EQ(squares[i], i);
    }
  }
}

}  // namespace
}  // namespace kestrix
