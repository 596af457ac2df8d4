// Kestrix: transposition table and Zobrist keys.
//
// One power-of-two array of 48-byte entries, one entry per index (the low key
// bits), no buckets and no second probe. An entry holds the full 64-bit key,
// the remaining depth and bound of its value, and the node's move list (best
// first, at most 16 squares), so that one probe costs one memory access and
// the list travels with the value.
//
// The table is wiped before every move search. Rather than writing hundreds
// of megabytes each time, every entry carries the generation it was written
// in, and an entry of another generation reads exactly as a wiped one. When
// the 8-bit generation wraps, the block is exchanged for a fresh zeroed one
// of the same size rather than written in full during a move.
//
// When no block can be had, a single built-in entry serves as the whole
// table: the search still works, every position sharing one slot.
#pragma once

#include <cstdint>
#include <cstring>

#include "position/types.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrix {

inline constexpr int32_t ZOBRIST_KEY_COUNT = 4 * MAX_CELLS;  // stone + 4 * square
extern uint64_t zobristKeys[ZOBRIST_KEY_COUNT];

// Draws the keys from a freshly seeded random stream, so that they are the
// same in every run and on every platform. Only the first call draws them;
// a call from another thread meanwhile waits for them.
void initZobristKeys();

inline uint64_t zobristKey(int32_t stone, Square s) {
  return zobristKeys[stone + 4 * s];
}

inline constexpr int32_t TT_MISS = static_cast<int32_t>(0x80808080u);

inline constexpr uint8_t BOUND_EXACT = 0x81;
inline constexpr uint8_t BOUND_UPPER = 0x82;  // no move reached alpha
inline constexpr uint8_t BOUND_LOWER = 0x83;  // a move reached beta

inline constexpr int32_t TT_MOVES = 16;

struct TTEntry {
  uint32_t keyLow;
  uint32_t keyHigh;
  int8_t depth;  // remaining depth of the value; leaves store 0
  uint8_t bound;
  int8_t moveCount;    // valid squares in moves, 0..16
  uint8_t generation;  // the wipe this entry was written after
  int32_t value;       // from the view of the side to move
  Square moves[TT_MOVES];
};
static_assert(sizeof(TTEntry) == 48, "the table sizing counts with 48-byte entries");

// 2^23 entries: the largest power of two whose entries fit in 640 MiB.
inline constexpr int32_t TT_MAX_BITS = 23;

struct TranspositionTable {
  TTEntry* entries;
  uint32_t mask = 0;
  uint64_t sizeBytes = sizeof(TTEntry);
  uint8_t generation = 0;  // 0 is never current once the table was wiped
  bool sized = false;
  uint32_t lastMaxMemory = 0;
  TTEntry builtIn{};

  TranspositionTable() : entries(&builtIn) {}
  ~TranspositionTable();
  TranspositionTable(const TranspositionTable&) = delete;
  TranspositionTable& operator=(const TranspositionTable&) = delete;
};

// Sizes the table for a memory limit in bytes (0 = no limit), leaving room for
// what the process already holds. Returns the table's size in bytes. The same
// limit as last time changes nothing; any other loses every entry.
uint64_t ttResize(TranspositionTable& tt, uint32_t maxMemory);

// Gives the table exactly 2^bits entries (fewer if memory is short). Used
// where the size must not depend on the process, as in the benchmark.
uint64_t ttAllocate(TranspositionTable& tt, int32_t bits);

void ttClear(TranspositionTable& tt);
void ttRelease(TranspositionTable& tt);

inline const TTEntry& ttSlot(const TranspositionTable& tt, uint64_t key) {
  return tt.entries[static_cast<uint32_t>(key) & tt.mask];
}

inline bool ttHolds(const TranspositionTable& tt, const TTEntry& entry, uint64_t key) {
  return entry.generation == tt.generation && entry.keyLow == static_cast<uint32_t>(key) &&
         entry.keyHigh == static_cast<uint32_t>(key >> 32);
}

// The stored value if it answers for a search of at least `depth` in the
// window: an exact value as it is, a bound as alpha or beta; else TT_MISS.
inline int32_t ttProbe(const TranspositionTable& tt, uint64_t key, int8_t depth, int32_t alpha,
                       int32_t beta) {
  const TTEntry& entry = ttSlot(tt, key);
  if (!ttHolds(tt, entry, key) || entry.depth < depth) return TT_MISS;
  switch (entry.bound) {
    case BOUND_EXACT:
      return entry.value;
    case BOUND_UPPER:
      return entry.value <= alpha ? alpha : TT_MISS;
    case BOUND_LOWER:
      return entry.value >= beta ? beta : TT_MISS;
    default:
      return TT_MISS;
  }
}

// Copies the stored move list of this position, whatever its depth, and
// returns how many squares were written. A stored list is its moveCount
// squares followed by NO_SQUARE (ttStore writes it so), so all sixteen
// slots are copied, the same squares first as when the NO_SQUARE slots are
// skipped.
inline int32_t ttProbeMoves(const TranspositionTable& tt, uint64_t key, Square out[TT_MOVES]) {
  const TTEntry& entry = ttSlot(tt, key);
  if (!ttHolds(tt, entry, key) || entry.moveCount <= 0) return 0;
  std::memcpy(out, entry.moves, sizeof(entry.moves));
  return entry.moveCount;
}

// The first square of the stored move list of this position, whatever its
// depth (the best move found there); NO_SQUARE when there is none.
inline Square ttFirstMove(const TranspositionTable& tt, uint64_t key) {
  const TTEntry& entry = ttSlot(tt, key);
  return ttHolds(tt, entry, key) && entry.moveCount > 0 ? entry.moves[0] : NO_SQUARE;
}

// Keeps the deeper of the stored and the new result, whatever the stored
// key; equal depth replaces. At most the first 16 real squares of the list
// are kept.
inline void ttStore(TranspositionTable& tt, uint64_t key, int8_t depth, int32_t value,
                    uint8_t bound, const Square* moves, int32_t count) {
  TTEntry& entry = tt.entries[static_cast<uint32_t>(key) & tt.mask];
  if (entry.generation == tt.generation && entry.depth > depth) return;
  entry.keyLow = static_cast<uint32_t>(key);
  entry.keyHigh = static_cast<uint32_t>(key >> 32);
  entry.depth = depth;
  entry.bound = bound;
  entry.generation = tt.generation;
  entry.value = value;
  if (moves == nullptr || count <= 0) {
    entry.moveCount = 0;
    return;
  }
#if defined(__SSE2__)
  // The usual list, sixteen squares none of them NO_SQUARE, is stored as it
  // is: what the loop below writes for it, in two vector steps.
  if (count == TT_MOVES) {
    __m128i low;
    __m128i high;
    std::memcpy(&low, moves, sizeof(low));
    std::memcpy(&high, moves + 8, sizeof(high));
    const __m128i none = _mm_set1_epi16(static_cast<int16_t>(NO_SQUARE));
    const __m128i lost = _mm_or_si128(_mm_cmpeq_epi16(low, none), _mm_cmpeq_epi16(high, none));
    if (_mm_movemask_epi8(lost) == 0) {
      std::memcpy(entry.moves, moves, sizeof(entry.moves));
      entry.moveCount = TT_MOVES;
      return;
    }
  }
#endif
  int32_t copied = 0;
  for (int32_t i = 0; i < count && copied < TT_MOVES; ++i) {
    if (moves[i] != NO_SQUARE) entry.moves[copied++] = moves[i];
  }
  for (int32_t i = copied; i < TT_MOVES; ++i) entry.moves[i] = NO_SQUARE;
  entry.moveCount = static_cast<int8_t>(copied);
}

// Starts loading the entry of a key that is about to be probed.
inline void ttPrefetch(const TranspositionTable& tt, uint64_t key) {
  __builtin_prefetch(&tt.entries[static_cast<uint32_t>(key) & tt.mask]);
}

// Starts loading the entry of the position after `mover` plays the first
// move stored for key, if the table holds a list for key: the first probe
// of a node searched from that list. Only a hint: it reads the entry without
// trusting it beyond the range of squares that have keys.
inline void ttPrefetchFirstReply(const TranspositionTable& tt, uint64_t key, int32_t mover) {
  const Square first = ttFirstMove(tt, key);
  if (first >= MAX_CELLS) return;  // NO_SQUARE among them
  ttPrefetch(tt, key ^ zobristKey(mover, first));
}

}  // namespace kestrix
