#include "session/session.h"

#include <cstring>
#include <ctime>
#include <mutex>

#include "position/pattern_tables.h"

namespace kestrix {

void initSession(Session& session) {
  // The keys and the pattern tables are the same for every session, so one
  // drawing serves them all. Built here, at start-up, the tables cost the
  // first move request nothing.
  static std::once_flag keysDrawn;
  std::call_once(keysDrawn, initZobristKeys);
  initPatternTables();
  ttResize(session.table, START_TABLE_BYTES);
}

namespace {

void resetCells(SessionBoard& board) {
  std::memset(board.cells, 0, sizeof(board.cells));
  board.counts[0].store(board.width * board.height, std::memory_order_relaxed);
  for (int32_t v = 1; v < 4; ++v) board.counts[v].store(0, std::memory_order_relaxed);
}

bool onBoard(const SessionBoard& board, int32_t x, int32_t y) {
  return x >= 0 && x < board.width && y >= 0 && y < board.height;
}

void recordStone(Session& session, int32_t x, int32_t y, uint8_t value, const char* refusal) {
  SessionBoard& board = session.board;
  if (!onBoard(board, x, y) || board.cells[y][x] != CELL_EMPTY) {
    replyError(session.out, refusal, x, y);
    return;
  }
  board.counts[0].fetch_sub(1, std::memory_order_relaxed);
  board.cells[y][x] = value;
  board.counts[value].fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

void setupBoard(Session& session, int32_t width, int32_t height, bool answerOk) {
  if (width < MIN_BOARD_SIDE || height < MIN_BOARD_SIDE) {
    replyError(session.out, "Minimal board size is %d*%d", MIN_BOARD_SIDE, MIN_BOARD_SIDE);
    return;
  }
  if (width > MAX_BOARD_SIDE || height > MAX_BOARD_SIDE) {
    replyError(session.out, "Maximal board size is %d*%d", MAX_BOARD_SIDE, MAX_BOARD_SIDE);
    return;
  }
  SessionBoard& board = session.board;
  board.width = width;
  board.height = height;
  resetCells(board);
  // A new board draws its orders from a stream seeded by the calendar time,
  // so that games from the same opening do not all go the same way.
  session.random.seed(static_cast<uint32_t>(std::time(nullptr)));
  buildSpiralOrders(session.spiralOrders, width, height);
  if (answerOk) {
    reply(session.out, "OK");
    return;
  }
  const SessionSettings& settings = session.settings;
  replyMessage(session.out, "Width: %d, Height: %d, Rule: %s", width, height,
               ruleName(settings.ruleIndex));
  replyMessage(session.out, "max_memory = %d, timeout_turn = %d, timeout_match = %d",
               settings.max_memory, settings.timeout_turn.load(std::memory_order_relaxed),
               settings.timeout_match.load(std::memory_order_relaxed));
}

void clearBoard(Session& session) {
  resetCells(session.board);
  reply(session.out, "OK");
}

void emptyBoard(Session& session) {
  resetCells(session.board);
}

void recordOwnMove(Session& session, int32_t x, int32_t y) {
  recordStone(session, x, y, CELL_OWN, "my move [%d,%d]");
}

void recordOpponentMove(Session& session, int32_t x, int32_t y) {
  recordStone(session, x, y, CELL_OPPONENT, "opponents's move [%d,%d]");
}

void recordWinningMark(Session& session, int32_t x, int32_t y) {
  recordStone(session, x, y, CELL_WIN_MARK, "winning move [%d,%d]");
}

void takeBack(Session& session, int32_t x, int32_t y) {
  SessionBoard& board = session.board;
  if (!onBoard(board, x, y)) {
    replyError(session.out, "bad coordinates [%d,%d]", x, y);
    return;
  }
  const uint8_t value = board.cells[y][x];
  if (value == CELL_EMPTY) {
    replyError(session.out, "There is no chess at [%d,%d].", x, y);
    return;
  }
  board.counts[value].fetch_sub(1, std::memory_order_relaxed);
  board.cells[y][x] = CELL_EMPTY;
  board.counts[0].fetch_add(1, std::memory_order_relaxed);
  reply(session.out, "OK");
}

void setRule(Session& session, int32_t value) {
  session.settings.ruleIndex = (value & 4) != 0   ? RULE_RENJU
                               : (value & 1) != 0 ? RULE_STANDARD
                                                  : RULE_FREESTYLE;
}

const char* ruleName(RuleIndex rule) {
  switch (rule) {
    case RULE_FREESTYLE:
      return "Freestyle";
    case RULE_STANDARD:
      return "Standard";
    case RULE_RENJU:
      return "Renju";
  }
  return "Unknown";
}

}  // namespace kestrix
