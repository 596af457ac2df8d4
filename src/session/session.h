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
// the transposition table, and the eight spiral orders with the random
// stream that draws among them. The process owns one; tests make their own
// (it is large: allocate it on the heap). The operations here change the
// state and say how it went; answering the manager is the command loop's
// business.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/random.h"
#include "position/position.h"
#include "position/rule.h"
#include "position/types.h"
#include "search/move_clock.h"
#include "search/search.h"
#include "search/search_record.h"
#include "search/tt.h"

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
  // INFO show_detail: whether the next searches report their iterations.
  std::atomic<bool> show_detail{false};
  int32_t max_memory = 367001600;  // bytes, 0 = no limit
  int32_t game_type = 0;
  RuleIndex ruleIndex = RULE_FREESTYLE;
  char folder[FOLDER_CAPACITY] = {};
};

// The table size in bytes the engine starts with, before any max_memory.
inline constexpr uint32_t START_TABLE_BYTES = 52428800;

struct Session {
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  SessionBoard board;
  SessionSettings settings;
  MoveClock clock;
  SearchRecord record{};
  TranspositionTable table;
  SpiralOrders spiralOrders{};
  RandomStream random;
  int32_t currentOrder = 0;
  // Who hears of the search's iterations while show_detail is on.
  SearchObserver detailObserver;
};

// Start-up: the first sizing of the table.
void initSession(Session& session);

// The Zobrist keys and the pattern tables, the same for every session:
// built by the first call, some 20 ms, which a call from another thread
// meanwhile waits for. The engine builds them on its worker thread as it
// starts, beside the first commands, which need none of them; a turn
// builds them itself where there is no worker.
void buildSharedTables();

enum class BoardSetup { Done, TooSmall, TooLarge };

// START, RECTSTART and the implicit board: a new empty board of this size,
// with new spiral orders. A size outside 5..32 is refused and changes
// nothing.
BoardSetup setupBoard(Session& session, int32_t width, int32_t height);

// RESTART, and BOARD before its list: the same size, no stones.
void clearBoard(Session& session);

// Puts a stone (CELL_OWN, CELL_OPPONENT or CELL_WIN_MARK) on (x, y); false,
// and no change, when the cell is off the board or taken.
bool recordStone(Session& session, int32_t x, int32_t y, uint8_t value);

enum class TakeBack { Done, OffBoard, NoStone };
TakeBack takeBack(Session& session, int32_t x, int32_t y);

}  // namespace kestrix
