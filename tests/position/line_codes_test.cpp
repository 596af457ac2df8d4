#include "position/line_codes.h"

#include <gtest/gtest.h>

#include "../threats/test_records.h"

namespace kestrix {
namespace {

using testing::emptyRecord;
using testing::RecordSnapshot;

Square at(const SearchRecord& record, int32_t x, int32_t y) {
  return static_cast<Square>(y * record.position.width + x);
}

void expectAllSlots(const ThreatCell& cell, int32_t d, int32_t code) {
  for (int32_t p = 0; p < 4; ++p) EXPECT_EQ(cell.lineCode[d][p], code) << "direction " << d;
}

TEST(LineCodes, EmptyBoardHoldsOnlyOffBoardDigits) {
  auto record = emptyRecord(15, 15);
  const ThreatCell& corner = record->threatCells[0];
  expectAllSlots(corner, DIR_HORIZONTAL, 14762);
  expectAllSlots(corner, DIR_VERTICAL, 14762);
  expectAllSlots(corner, DIR_DIAGONAL, 14762);
  expectAllSlots(corner, DIR_ANTIDIAGONAL, 59048);
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) expectAllSlots(record->threatCells[112], d, 0);
  // (7, 12): rows 15 to 17 lie off the board.
  expectAllSlots(record->threatCells[at(*record, 7, 12)], DIR_VERTICAL, 44226);

  // On a 5 x 5 board the corner also sees the cell at distance +5 off the board.
  record = emptyRecord(5, 5);
  expectAllSlots(record->threatCells[0], DIR_HORIZONTAL, 14762 + 2 * 19683);
  // Bottom-left corner of a tall board: the anti-diagonal runs up and to the right.
  record = emptyRecord(6, 20);
  expectAllSlots(record->threatCells[at(*record, 0, 19)], DIR_ANTIDIAGONAL,
                 2 * (3 + 27 + 243 + 2187 + 19683));
}

TEST(LineCodes, StoneChangesExactlyItsFourLines) {
  for (const auto& [width, height] : {std::pair{15, 15}, std::pair{5, 5}, std::pair{9, 6}}) {
    auto record = emptyRecord(width, height);
    const RecordSnapshot empty(*record);
    const int32_t n = width * height;

    addStoneCodes(*record, 0, BLACK);
    int32_t changed = 0;
    for (int32_t s = 0; s < n; ++s) {
      changed += std::memcmp(&empty.cells[s], &record->threatCells[s], sizeof(ThreatCell)) != 0;
    }
    // Along the row, the column and the one diagonal that enter the board.
    const int32_t reach = std::min(5, std::min(width, height) - 1);
    EXPECT_EQ(changed, std::min(5, width - 1) + std::min(5, height - 1) + reach) << width;
    takeStoneCodes(*record, 0, BLACK);
    EXPECT_TRUE(empty.matches(*record));
  }

  auto record = emptyRecord(15, 15);
  const RecordSnapshot empty(*record);
  addStoneCodes(*record, at(*record, 7, 7), BLACK);
  const ThreatCell* cells = record->threatCells;
  const auto& left = cells[at(*record, 6, 7)].lineCode[DIR_HORIZONTAL];
  EXPECT_EQ(left[BLACK], 3);
  EXPECT_EQ(left[WHITE], 6);
  EXPECT_EQ(left[0] + left[3], 0);
  const auto& right = cells[at(*record, 9, 7)].lineCode[DIR_HORIZONTAL];
  EXPECT_EQ(right[BLACK], 9);
  EXPECT_EQ(right[WHITE], 18);
  const auto& below = cells[at(*record, 7, 12)].lineCode[DIR_VERTICAL];
  EXPECT_EQ(below[BLACK], 44226 + 6561);
  EXPECT_EQ(below[WHITE], 44226 + 13122);
  EXPECT_EQ(below[NEUTRAL], 44226);
  // Out of reach at distance six, and the square's own codes do not change.
  for (const Square s : {at(*record, 7, 13), at(*record, 1, 1), at(*record, 7, 7)}) {
    EXPECT_EQ(std::memcmp(&cells[s], &empty.cells[s], sizeof(ThreatCell)), 0) << s;
  }

  // A white stone adds the mirror amounts, and the order does not matter.
  // Seen from (8, 6) on the anti-diagonal, (7, 7) lies at +1 and (10, 4) at -2.
  addStoneCodes(*record, at(*record, 10, 4), WHITE);
  auto other = emptyRecord(15, 15);
  addStoneCodes(*other, at(*other, 10, 4), WHITE);
  addStoneCodes(*other, at(*other, 7, 7), BLACK);
  EXPECT_EQ(std::memcmp(record->threatCells, other->threatCells, sizeof(other->threatCells)), 0);
  EXPECT_EQ(cells[at(*record, 8, 6)].lineCode[DIR_ANTIDIAGONAL][BLACK], 1 * 3 + 2 * 9);
}

TEST(LineCodes, NeutralStoneBlocksBothPlayersLikeTheEdge) {
  auto record = emptyRecord(15, 15);
  addStoneCodes(*record, at(*record, 10, 7), NEUTRAL);
  // Seen from (7, 7) the mark lies at distance +3, weight 3^5.
  const auto& codes = record->threatCells[at(*record, 7, 7)].lineCode[DIR_HORIZONTAL];
  EXPECT_EQ(codes[BLACK], 2 * 243);
  EXPECT_EQ(codes[WHITE], 2 * 243);
  EXPECT_EQ(codes[NEUTRAL], 0);
  takeStoneCodes(*record, at(*record, 10, 7), NEUTRAL);
  EXPECT_EQ(codes[BLACK], 0);
}

}  // namespace
}  // namespace kestrix
