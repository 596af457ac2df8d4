#include "session/move_choice.h"

#include <algorithm>

#include "search/search.h"

namespace kestrix {

int32_t moveBudget(int32_t emptyCells, int32_t timeLeft, int32_t timeoutTurn) {
  const int64_t divisor = (int64_t{emptyCells} / 12) | 1;
  const int64_t share = int64_t{timeLeft} / divisor;
  const int64_t limited = std::min(share, int64_t{timeoutTurn} - 100);
  const int64_t floor = timeLeft > 3000 ? 100 : 10;
  const int64_t budget = std::max(floor, limited);
  return static_cast<int32_t>(std::min<int64_t>(budget, INT32_MAX));
}

void startMoveClock(Session& session, int32_t emptyCells, int32_t timeLeft, int32_t timeoutTurn) {
  session.clock.moveTimeBudget.store(moveBudget(emptyCells, timeLeft, timeoutTurn),
                                     std::memory_order_relaxed);
  session.clock.moveStartTime.store(clockMs(), std::memory_order_relaxed);
}

void updateMoveBudget(Session& session) {
  SessionSettings& settings = session.settings;
  const int32_t match = settings.timeout_match.load(std::memory_order_relaxed);
  int32_t left = settings.time_left.load(std::memory_order_relaxed);
  // A match limit of 0 means none: it must not take the time left away.
  if (match > 0 && left > match) {
    left = match;
    settings.time_left.store(left, std::memory_order_relaxed);
  }
  const int32_t budget = moveBudget(session.board.count(CELL_EMPTY), left,
                                    settings.timeout_turn.load(std::memory_order_relaxed));
  session.clock.moveTimeBudget.store(budget);
}

// The change counter and the budget use sequentially consistent order: the
// worker's store of its budget must not slip past its second look at the
// counter, or a change made in between would still be overwritten.
void changeTimeSetting(Session& session, std::atomic<int32_t>& setting, int32_t value) {
  std::atomic<uint32_t>& changes = session.settings.timeChanges;
  changes.fetch_add(1);
  setting.store(value, std::memory_order_relaxed);
  updateMoveBudget(session);
  changes.fetch_add(1);
}

TurnBudget readTurnBudget(const Session& session) {
  const SessionSettings& settings = session.settings;
  for (;;) {
    const uint32_t changes = settings.timeChanges.load();
    if (changes % 2 != 0) continue;  // a change is being made: it takes a moment
    return {changes, moveBudget(session.board.count(CELL_EMPTY),
                                settings.time_left.load(std::memory_order_relaxed),
                                settings.timeout_turn.load(std::memory_order_relaxed))};
  }
}

bool storeTurnBudget(Session& session, const TurnBudget& budget) {
  session.clock.moveTimeBudget.store(budget.budget);
  return session.settings.timeChanges.load() == budget.changes;
}

void startTurnClock(Session& session) {
  while (!storeTurnBudget(session, readTurnBudget(session))) {
  }
  session.clock.moveStartTime.store(clockMs(), std::memory_order_relaxed);
}

void playTurn(Session& session) {
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
  if (move == NO_SQUARE) {
    replyError(session.out, "No space");
    return;
  }
  const int32_t x = squareColumn(position, move);
  const int32_t y = squareRow(position, move);
  // Recorded before it is written: the manager may answer at once.
  recordOwnMove(session, x, y);
  reply(session.out, "%d,%d", x, y);
}

Square chooseMove(Session& session) {
  const Square opening = openingMove(session);
  if (opening != NO_SQUARE) return opening;

  // The one place where the manager's rule picks a search family.
  ttClear(session.table);
  const Square searched = searchRootByRule[session.settings.ruleIndex](
      session.record, session.table, session.clock, MAX_SEARCH_DEPTH);
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
      if (nx < 0 || nx >= position.width || ny < 0 || ny >= position.height) continue;
      if (isPlayerStone(position.cells[ny * position.width + nx].stone)) return true;
    }
  }
  return false;
}

}  // namespace

Square openingMove(Session& session) {
  const Position& position = session.record.position;
  const int32_t n = position.cellCount;
  if (n <= 0) {
    pickSpiralOrder(session);
    return firstEmptySquare(session);
  }
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
