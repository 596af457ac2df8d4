#include "threats/line_codes.h"

#include <cstring>

namespace kestrix {

void initLineCodes(SearchRecord& record) {
  const Position& position = record.position;
  for (int32_t c = 0; c < BOARD_CELLS; ++c) {
    record.threatBoard[c] = ThreatCell{};
    record.threatBoard[c].stone = OFF_BOARD;
    record.squareOfCell[c] = NO_SQUARE;
  }
  std::memset(record.lineStone, OFF_BOARD, sizeof(record.lineStone));
  std::memset(record.lineCode, 0, sizeof(record.lineCode));
  std::memset(record.nearStones, 0, sizeof(record.nearStones));
  std::memset(record.nearEmpty, 0, sizeof(record.nearEmpty));
  for (int32_t s = 0; s < position.cellCount; ++s) {
    const int32_t x = s % position.width;
    const int32_t y = s / position.width;
    const int32_t c = boardCell(x, y);
    record.cellOfSquare[s] = static_cast<uint16_t>(c);
    record.squareOfCell[c] = static_cast<Square>(s);
    ThreatCell& cell = record.threatBoard[c];
    cell.stone = EMPTY;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
      int32_t code = 0;
      for (int32_t k = -5; k <= 5; ++k) {
        const int32_t cx = x + k * DIRECTION_DX[d];
        const int32_t cy = y + k * DIRECTION_DY[d];
        if (k != 0 && !onBoard(cx, cy, position.width, position.height)) {
          code += 2 * DIGIT_WEIGHT[k + 5];
        }
      }
      const int32_t slot = lineSlot(d, x, y);
      cell.lineSlot[d] = static_cast<uint16_t>(slot);
      record.lineStone[d][slot] = EMPTY;
      record.lineCode[d][slot][0] = record.lineCode[d][slot][1] = static_cast<uint16_t>(code);
    }
  }
}

namespace {

template <int32_t Sign>
void shiftStoneCodes(SearchRecord& record, Square q, int32_t s) {
  const ThreatCell& cell = threatCell(record, q);
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    shiftLineCodes<Sign>(record.lineCode[d] + cell.lineSlot[d], s);
  }
}

}  // namespace

void addStoneCodes(SearchRecord& record, Square q, int32_t s) {
  shiftStoneCodes<+1>(record, q, s);
}

void takeStoneCodes(SearchRecord& record, Square q, int32_t s) {
  shiftStoneCodes<-1>(record, q, s);
}

}  // namespace kestrix
