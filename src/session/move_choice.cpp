#include "session/move_choice.h"

#include <algorithm>

#include "search/search.h"
#include "session/time_budget.h"

namespace kestrix {

TurnMove playTurn(Session& session) {
  const SessionBoard& board = session.board;
  startTurnClock(session);

  Position& position = session.record.position;
  positionInit(position, board.width, board.height);
  // The side to move with as many stones as the other moved first.
  const int32_t own = board.count(CELL_OWN) >= board.count(CELL_OPPONENT) ? BLACK : WHITE;
  const int32_t colourOf[4] = {EMPTY, own, opponentOf(own), NEUTRAL};
  for (int32_t y = 0; y < board.height; ++y) {
    for (int32_t x = 0; x < board.width; ++x) {
      const uint8_t cell = board.cells[y][x];
      if (cell != CELL_EMPTY) positionPlace(position, x, y, colourOf[cell]);
    }
  }
  session.record.sideToMove = own;

  const Square move = chooseMove(session);
  if (move == NO_SQUARE) return {false, 0, 0};
  const int32_t x = squareColumn(position, move);
  const int32_t y = squareRow(position, move);
  // Every choice is an empty square of this board, so the board takes it.
  recordStone(session, x, y, CELL_OWN);
  return {true, x, y};
}

Square chooseMove(Session& session) {
  const Square opening = openingMove(session);
  if (opening != NO_SQUARE) return opening;

  // Ready at once when the worker built them as it started; else built here,
  // on the turn's clock.
  buildSharedTables();
  ttClear(session.table);
  const bool detail = session.settings.show_detail.load(std::memory_order_relaxed);
  const Square searched =
      searchRoot(session.settings.ruleIndex, session.record, session.table, session.clock,
                 MAX_SEARCH_DEPTH, detail ? session.detailObserver : SearchObserver{});
  if (searched != NO_SQUARE) return searched;

  return fallbackMove(session);
}

void pickSpiralOrder(Session& session) {
  session.currentOrder = session.random.next() % SPIRAL_ORDER_COUNT;
}

namespace {

bool isPlayerStone(int32_t stone) {
  return stone == BLACK || stone == WHITE;
}

// The first empty square of the drawn order, or NO_SQUARE on a full board.
Square firstEmptySquare(const Session& session) {
  const Position& position = session.record.position;
  for (int32_t i = 0; i < position.cellCount; ++i) {
    const int32_t s = spiralSquare(session, i);
    if (position.cells[s].stone == EMPTY) return static_cast<Square>(s);
  }
  return NO_SQUARE;
}

// A stone on one of the eight squares around (x, y), found by coordinates so
// that the test never wraps from one row to the next.
bool touchesStone(const Position& position, int32_t x, int32_t y) {
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    for (const int32_t step : {-1, 1}) {
      const int32_t nx = x + step * DIRECTION_DX[d];
      const int32_t ny = y + step * DIRECTION_DY[d];
      if (!onBoard(nx, ny, position.width, position.height)) continue;
      if (isPlayerStone(position.cells[ny * position.width + nx].stone)) return true;
    }
  }
  return false;
}

}  // namespace

Square openingMove(Session& session) {
  const Position& position = session.record.position;
  const int32_t n = position.cellCount;
  int32_t stones = 0;
  for (int32_t s = 0; s < n; ++s) stones += isPlayerStone(position.cells[s].stone) ? 1 : 0;
  if (stones > 2) return NO_SQUARE;

  pickSpiralOrder(session);
  // The innermost square may hold a winning-line mark, and a stone in a
  // corner of a crowded board may have no free square beside it: in both
  // cases the first empty square of the same order is played, never a taken
  // one.
  if (stones == 0) return firstEmptySquare(session);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t s = spiralSquare(session, i);
    if (position.cells[s].stone != EMPTY) continue;
    if (touchesStone(position, s % position.width, s / position.width)) {
      return static_cast<Square>(s);
    }
  }
  return firstEmptySquare(session);
}

Square fallbackMove(Session& session) {
  pickSpiralOrder(session);
  return firstEmptySquare(session);
}

}  // namespace kestrix
