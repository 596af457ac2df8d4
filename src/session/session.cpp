#include "session/session.h"

#include <cstring>
#include <ctime>

#include "position/pattern_tables.h"

namespace kestrix {

void initSession(Session& session) {
  ttResize(session.table, START_TABLE_BYTES);
}

void buildSharedTables() {
  initZobristKeys();
  initPatternTables();
}

namespace {

void resetCells(SessionBoard& board) {
  std::memset(board.cells, 0, sizeof(board.cells));
  board.counts[0].store(board.width * board.height, std::memory_order_relaxed);
  for (int32_t v = 1; v < 4; ++v) board.counts[v].store(0, std::memory_order_relaxed);
}

}  // namespace

BoardSetup setupBoard(Session& session, int32_t width, int32_t height) {
  if (width < MIN_BOARD_SIDE || height < MIN_BOARD_SIDE) return BoardSetup::TooSmall;
  if (width > MAX_BOARD_SIDE || height > MAX_BOARD_SIDE) return BoardSetup::TooLarge;
  SessionBoard& board = session.board;
  board.width = width;
  board.height = height;
  resetCells(board);
  // A new board draws its orders from a stream seeded by the calendar time,
  // so that games from the same opening do not all go the same way.
  session.random.seed(static_cast<uint32_t>(std::time(nullptr)));
  buildSpiralOrders(session.spiralOrders, width, height);
  return BoardSetup::Done;
}

void clearBoard(Session& session) {
  resetCells(session.board);
}

bool recordStone(Session& session, int32_t x, int32_t y, uint8_t value) {
  SessionBoard& board = session.board;
  if (!onBoard(x, y, board.width, board.height) || board.cells[y][x] != CELL_EMPTY) return false;
  board.counts[0].fetch_sub(1, std::memory_order_relaxed);
  board.cells[y][x] = value;
  board.counts[value].fetch_add(1, std::memory_order_relaxed);
  return true;
}

TakeBack takeBack(Session& session, int32_t x, int32_t y) {
  SessionBoard& board = session.board;
  if (!onBoard(x, y, board.width, board.height)) return TakeBack::OffBoard;
  const uint8_t value = board.cells[y][x];
  if (value == CELL_EMPTY) return TakeBack::NoStone;
  board.counts[value].fetch_sub(1, std::memory_order_relaxed);
  board.cells[y][x] = CELL_EMPTY;
  board.counts[0].fetch_add(1, std::memory_order_relaxed);
  return TakeBack::Done;
}

}  // namespace kestrix
