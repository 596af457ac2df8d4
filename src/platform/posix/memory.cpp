#include "platform/memory.h"

#include <unistd.h>

#include <cstdio>

namespace kestrix {

uint64_t residentMemoryBytes() {
  // The second field of statm is the resident set, in pages.
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long long sizePages = 0;
  unsigned long long residentPages = 0;
  const int fields = std::fscanf(statm, "%llu %llu", &sizePages, &residentPages);
  std::fclose(statm);
  if (fields != 2) return 0;
  const long pageSize = sysconf(_SC_PAGESIZE);
  return residentPages * static_cast<uint64_t>(pageSize > 0 ? pageSize : 4096);
}

}  // namespace kestrix
