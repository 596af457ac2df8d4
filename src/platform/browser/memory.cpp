#include "platform/memory.h"

#include <cstdlib>

namespace kestrix {

// A page cannot see how much of the machine it holds: the table is sized by
// the limit the page sends alone.
uint64_t residentMemoryBytes() {
  return 0;
}

void* allocateTableMemory(size_t bytes) {
  return std::calloc(bytes, 1);
}

void releaseTableMemory(void* block, size_t) {
  std::free(block);
}

}  // namespace kestrix
