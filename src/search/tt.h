// Kestrix: transposition table and Zobrist keys.
//
// One power-of-two array of 48-byte entries, one entry per index (the low key
// bits), no buckets. An entry holds the full 64-bit key, the remaining depth
// and bound of its value, and the node's move list (best first, at most 16
// squares), so that one probe costs one memory access. The table is wiped
// before every move search; within a move it links the iterations and the
// transpositions of the tree.
#pragma once

#include <cstdint>

#include "position/types.h"

namespace kestrix {

inline constexpr int32_t ZOBRIST_KEY_COUNT = 4 * MAX_CELLS;  // stone + 4 * square
extern uint64_t zobristKeys[ZOBRIST_KEY_COUNT];

// Draws the keys from a freshly seeded stream, so they are the same in every
// run and on every platform. Called once at start-up.
void initZobristKeys();

inline constexpr int32_t TT_MISS = static_cast<int32_t>(0x80808080u);

inline constexpr uint8_t BOUND_EMPTY = 0x80;
inline constexpr uint8_t BOUND_EXACT = 0x81;
inline constexpr uint8_t BOUND_UPPER = 0x82;  // no move reached alpha
inline constexpr uint8_t BOUND_LOWER = 0x83;  // a move reached beta

inline constexpr int32_t TT_MOVES = 16;

struct TTEntry {
  uint32_t keyLow;
  uint32_t keyHigh;
  int8_t depth;
  uint8_t bound;
  int16_t moveCount;
  int32_t value;
  Square moves[TT_MOVES];
};
static_assert(sizeof(TTEntry) == 48, "the table sizing counts with 48-byte entries");

struct TranspositionTable;  // defined by the table's implementation

}  // namespace kestrix
