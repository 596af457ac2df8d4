#include "position/position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace kestrix {
namespace {

// Each order lists every square once, from the innermost to a corner, each
// step to a neighbour: the opening and the fallback walk the board by them.
TEST(SpiralOrders, EveryOrderWalksTheWholeBoardFromItsCornerInwards) {
  auto orders = std::make_unique<SpiralOrders>();
  for (const auto& [w, h] : {std::pair{15, 15}, {20, 13}, {13, 20}, {32, 32}, {5, 32}, {6, 5}}) {
    buildSpiralOrders(*orders, w, h);
    const int32_t n = w * h;
    const int32_t corners[SPIRAL_ORDER_COUNT] = {0, 0, w - 1, w - 1, n - w, n - w, n - 1, n - 1};
    for (int32_t t = 0; t < SPIRAL_ORDER_COUNT; ++t) {
      std::vector<int32_t> squares(orders->order[t], orders->order[t] + n);
      EXPECT_EQ(squares.back(), corners[t]) << w << "x" << h << " order " << t;
      for (int32_t i = 1; i < n; ++i) {
        const int32_t a = squares[i - 1], b = squares[i];
        ASSERT_EQ(std::abs(a % w - b % w) + std::abs(a / w - b / w), 1) << w << "x" << h;
      }
      std::sort(squares.begin(), squares.end());
      for (int32_t i = 0; i < n; ++i) ASSERT_EQ(squares[i], i);
    }
  }
}

}  // namespace
}  // namespace kestrix
