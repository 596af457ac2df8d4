// Kestrix: the game as the manager sees it, and the settings it sent.
//
// SessionBoard is one byte per cell, cells[y][x] (own stone, opponent stone
// or winning-line mark), plus four counters indexed by cell value, with
// counts[0] the empty cells; there is no move history, so any stone can be
// taken back in any order. The counters are atomics because the command
// thread reads the empty count for a new time budget while the worker may be
// recording its move; everything else on the board changes only while the
// worker is idle.
//
// Session is the engine's whole game state in one record: the board and
// settings, the move clock, the search record with the Position inside it,
// the transposition table, the eight spiral orders with the random stream
// that draws among them, and the sink answers go to. The process owns one;
// tests make their own (it is large: allocate it on the heap).
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/random.h"
#include "position/position.h"
#include "position/types.h"
#include "protocol/output.h"
#include "search/tt.h"
#include "session/move_clock.h"
#include "threats/search_record.h"

namespace kestrix {

inline constexpr uint8_t CELL_EMPTY = 0;
inline constexpr uint8_t CELL_OWN = 1;
inline constexpr uint8_t CELL_OPPONENT = 2;
inline constexpr uint8_t CELL_WIN_MARK = 3;

struct SessionBoard {
  int32_t width = 0;  // 5..32 once a size was accepted, 0 before
  int32_t height = 0;
  uint8_t cells[MAX_BOARD_SIDE][MAX_BOARD_SIDE] = {};
  std::atomic<int32_t> counts[4] = {};

  int32_t count(uint8_t value) const { return counts[value].load(std::memory_order_relaxed); }
};

inline constexpr int32_t FOLDER_CAPACITY = 1024;  // longer than any input line

// What INFO sets. The three time values are written by the command thread
// at once, even while the worker reads them for a running turn.
// timeChanges is odd while the command thread is changing one of them and
// the budget that follows; a worker that starts its turn meanwhile computes
// its budget again, so that it never puts back one made from the old value.
struct SessionSettings {
  std::atomic<int32_t> timeout_turn{5000};
  std::atomic<int32_t> timeout_match{86400000};
  std::atomic<int32_t> time_left{86400000};
  std::atomic<uint32_t> timeChanges{0};
  int32_t max_memory = 367001600;  // bytes, 0 = no limit
  int32_t game_type = 0;
  RuleIndex ruleIndex = RULE_FREESTYLE;
  char folder[FOLDER_CAPACITY] = {};
};

// The table size in bytes the engine starts with, before any max_memory.
inline constexpr uint32_t START_TABLE_BYTES = 52428800;

struct Session {
  explicit Session(OutputSink& sink) : out(sink) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  OutputSink& out;
  SessionBoard board;
  SessionSettings settings;
  MoveClock clock;
  SearchRecord record{};
  TranspositionTable table;
  SpiralOrders spiralOrders{};
  RandomStream random;
  int32_t currentOrder = 0;
};

// Start-up: the Zobrist keys, then the first sizing of the table.
void initSession(Session& session);

// START, RECTSTART and the implicit board: a new empty board of this size,
// answered "OK" or, for the implicit board, by two MESSAGE lines describing
// it. A size outside 5..32 is refused and changes nothing.
void setupBoard(Session& session, int32_t width, int32_t height, bool answerOk);

// RESTART: the same size, no stones, answered "OK".
void clearBoard(Session& session);

// BOARD: no stones, no answer (the list that follows is the whole position).
void emptyBoard(Session& session);

void recordOwnMove(Session& session, int32_t x, int32_t y);
void recordOpponentMove(Session& session, int32_t x, int32_t y);
void recordWinningMark(Session& session, int32_t x, int32_t y);

void takeBack(Session& session, int32_t x, int32_t y);

// INFO rule: bit 4 is Renju, else bit 1 is exactly five, else free-style.
void setRule(Session& session, int32_t value);
const char* ruleName(RuleIndex rule);

}  // namespace kestrix
