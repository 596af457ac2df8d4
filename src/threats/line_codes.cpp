#include "threats/line_codes.h"

#include <cstring>

namespace kestrix {

void initThreatBoard(ThreatBoard& board, int32_t width, int32_t height) {
  std::memset(static_cast<void*>(&board), 0, sizeof(board));
  board.width = width;
  board.height = height;
  board.cellCount = width * height;
  for (CellIndex c = 0; c < BOARD_CELLS; ++c) {
    board.cells[c].stone = OFF_BOARD;
    board.squareOfCell[c] = NO_SQUARE;
  }
  std::memset(board.lineStone, OFF_BOARD, sizeof(board.lineStone));
  for (int32_t s = 0; s < board.cellCount; ++s) {
    const int32_t x = s % width;
    const int32_t y = s / width;
    const CellIndex c = boardCell(x, y);
    board.cellOfSquare[s] = static_cast<uint16_t>(c);
    board.squareOfCell[c] = static_cast<Square>(s);
    ThreatCell& cell = board.cells[c];
    cell.stone = EMPTY;
    for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
      int32_t code = 0;
      for (int32_t k = -5; k <= 5; ++k) {
        const int32_t cx = x + k * DIRECTION_DX[d];
        const int32_t cy = y + k * DIRECTION_DY[d];
        if (k != 0 && !onBoard(cx, cy, width, height)) code += 2 * DIGIT_WEIGHT[k + 5];
      }
      const int32_t slot = lineSlot(d, x, y);
      cell.lineSlot[d] = static_cast<uint16_t>(slot);
      board.lineStone[d][slot] = EMPTY;
      board.lineCode[d][slot][0] = board.lineCode[d][slot][1] = static_cast<uint16_t>(code);
    }
  }
}

namespace {

template <int32_t Sign>
void shiftStoneCodes(ThreatBoard& board, Square q, int32_t s) {
  const ThreatCell& cell = threatCellOf(board, q);
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    shiftLineCodes<Sign>(board.lineCode[d] + cell.lineSlot[d], s);
  }
}

}  // namespace

void addStoneCodes(ThreatBoard& board, Square q, int32_t s) {
  shiftStoneCodes<+1>(board, q, s);
}

void takeStoneCodes(ThreatBoard& board, Square q, int32_t s) {
  shiftStoneCodes<-1>(board, q, s);
}

}  // namespace kestrix
