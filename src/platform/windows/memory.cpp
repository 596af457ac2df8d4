#include "platform/memory.h"

// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <cstdlib>

namespace kestrix {

uint64_t residentMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return static_cast<uint64_t>(counters.WorkingSetSize);
}

// Large pages need a privilege that a brain does not hold, so the table
// takes ordinary zeroed memory.
void* allocateTableMemory(size_t bytes) {
  return std::calloc(bytes, 1);
}

void releaseTableMemory(void* block, size_t) {
  std::free(block);
}

}  // namespace kestrix
