#include "platform/memory.h"

// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

namespace kestrix {

uint64_t residentMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return static_cast<uint64_t>(counters.WorkingSetSize);
}

}  // namespace kestrix
