#include "threats/line_codes.h"

#include <gtest/gtest.h>

#include <array>

#include "test_records.h"

namespace kestrix {
namespace {

TEST(LineCodes, EdgesAndOneStone) {
  auto record = testing::emptyRecord(15, 15);
  // Black's and white's views of line d at (x, y).
  const auto codes = [&](int32_t x, int32_t y, int32_t d) {
    const auto s = static_cast<Square>(y * 15 + x);
    return std::array<int, 2>{lineCodeOf(*record, s, d, BLACK), lineCodeOf(*record, s, d, WHITE)};
  };
  EXPECT_EQ(codes(0, 0, DIR_HORIZONTAL), (std::array{14762, 14762}));
  EXPECT_EQ(codes(0, 0, DIR_DIAGONAL), (std::array{14762, 14762}));
  EXPECT_EQ(codes(0, 0, DIR_ANTIDIAGONAL), (std::array{59048, 59048}));
  EXPECT_EQ(codes(7, 7, DIR_VERTICAL), (std::array{0, 0}));
  const auto sixAway = codes(7, 13, DIR_VERTICAL);

  // Black on (7, 7) lies at +1 from (6, 7), at -2 from (9, 7) and at -5 from
  // (7, 12), whose three lowest rows lie off the board.
  addStoneCodes(*record, 7 * 15 + 7, BLACK);
  EXPECT_EQ(codes(6, 7, DIR_HORIZONTAL), (std::array{3, 6}));
  EXPECT_EQ(codes(9, 7, DIR_HORIZONTAL), (std::array{9, 18}));
  EXPECT_EQ(codes(7, 12, DIR_VERTICAL), (std::array{44226 + 6561, 44226 + 13122}));
  EXPECT_EQ(codes(7, 13, DIR_VERTICAL), sixAway);
  // A neutral mark at +3 from (7, 7) blocks both players, like the edge.
  addStoneCodes(*record, 7 * 15 + 10, NEUTRAL);
  EXPECT_EQ(codes(7, 7, DIR_HORIZONTAL), (std::array{2 * 243, 2 * 243}));
  takeStoneCodes(*record, 7 * 15 + 10, NEUTRAL);
  takeStoneCodes(*record, 7 * 15 + 7, BLACK);
  EXPECT_EQ(codes(6, 7, DIR_HORIZONTAL), (std::array{0, 0}));

  // On a 5 x 5 board the corner also sees the cell at +5 off the board.
  record = testing::emptyRecord(5, 5);
  EXPECT_EQ(lineCodeOf(*record, 0, DIR_HORIZONTAL, WHITE), 14762 + 2 * 19683);
}

}  // namespace
}  // namespace kestrix
