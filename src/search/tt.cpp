#include "search/tt.h"

#include <bit>
#include <mutex>

#include "platform/memory.h"
#include "platform/random.h"

namespace kestrix {

uint64_t zobristKeys[ZOBRIST_KEY_COUNT];

namespace {

void drawZobristKeys() {
  RandomStream random;  // a fresh stream: the same keys in every run
  for (int32_t slot = 0; slot < ZOBRIST_KEY_COUNT;) {
    uint64_t key = 0;
    for (int32_t part = 0; part < 5; ++part) {
      key ^= static_cast<uint64_t>(random.next()) << (15 * part);
    }
    bool duplicate = false;
    for (int32_t earlier = 0; earlier < slot && !duplicate; ++earlier) {
      duplicate = zobristKeys[earlier] == key;
    }
    if (!duplicate) zobristKeys[slot++] = key;
  }
}

}  // namespace

void initZobristKeys() {
  static std::once_flag drawn;
  std::call_once(drawn, drawZobristKeys);
}

TranspositionTable::~TranspositionTable() {
  ttRelease(*this);
}

namespace {

void useBuiltIn(TranspositionTable& tt) {
  tt.builtIn = TTEntry{};
  tt.entries = &tt.builtIn;
  tt.mask = 0;
  tt.sizeBytes = sizeof(TTEntry);
}

// Allocates 2^bits zeroed entries, halving on failure. A zeroed entry holds
// generation 0, which is never current, so a new block needs no wipe.
uint64_t allocateEntries(TranspositionTable& tt, int32_t bits) {
  ttRelease(tt);
  for (; bits > 0; --bits) {
    const size_t count = size_t{1} << bits;
    void* block = allocateTableMemory(count * sizeof(TTEntry));
    if (block != nullptr) {
      tt.entries = static_cast<TTEntry*>(block);
      tt.mask = static_cast<uint32_t>(count - 1);
      tt.sizeBytes = count * sizeof(TTEntry);
      return tt.sizeBytes;
    }
  }
  useBuiltIn(tt);
  return tt.sizeBytes;
}

}  // namespace

uint64_t ttAllocate(TranspositionTable& tt, int32_t bits) {
  return allocateEntries(tt, bits < 0 ? 0 : bits > TT_MAX_BITS ? TT_MAX_BITS : bits);
}

uint64_t ttResize(TranspositionTable& tt, uint32_t maxMemory) {
  if (tt.sized && maxMemory == tt.lastMaxMemory) return tt.sizeBytes;
  tt.sized = true;
  tt.lastMaxMemory = maxMemory;
  // Free first, so the old table does not count against the new one.
  ttRelease(tt);
  int32_t bits = TT_MAX_BITS;
  if (maxMemory != 0) {
    const uint64_t resident = residentMemoryBytes();
    while (bits > 0 && (uint64_t{sizeof(TTEntry)} << bits) + resident > maxMemory) --bits;
  }
  return allocateEntries(tt, bits);
}

void ttClear(TranspositionTable& tt) {
  if (++tt.generation != 0) return;
  // The generation wrapped: entries written 256 wipes ago would look current
  // again, so this once the block is really emptied. Writing it byte by byte
  // would come out of this move's time (over a second for the largest table);
  // a fresh zeroed block of the same size costs only the release of the old
  // one, and the system zeroes its pages as the search first touches them.
  if (tt.entries == &tt.builtIn) {
    tt.builtIn = TTEntry{};
  } else {
    allocateEntries(tt, std::bit_width(tt.mask));
  }
  tt.generation = 1;
}

void ttRelease(TranspositionTable& tt) {
  if (tt.entries != &tt.builtIn) releaseTableMemory(tt.entries, tt.sizeBytes);
  useBuiltIn(tt);
}

}  // namespace kestrix
