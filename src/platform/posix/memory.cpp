#include "platform/memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

namespace {

constexpr size_t HUGE_PAGE_BYTES = size_t{2} << 20;

// A huge page is zeroed whole on its first touch, and a search touches a
// fresh table all over, so a fresh block of huge pages costs the search
// that first uses it the zeroing of the whole block at once (the table
// takes a fresh block every 256 wipes). Up to this size that stays within
// a few milliseconds; larger tables take ordinary pages, zeroed only where
// touched.
constexpr size_t MAX_HUGE_TABLE_BYTES = size_t{64} << 20;

// Whole huge pages, and few enough of them.
bool inHugePages(size_t bytes) {
  return bytes % HUGE_PAGE_BYTES == 0 && bytes > 0 && bytes <= MAX_HUGE_TABLE_BYTES;
}

}  // namespace

void* allocateTableMemory(size_t bytes) {
  if (!inHugePages(bytes)) return std::calloc(bytes, 1);
  // Map a huge page more than needed and cut the ends off, so that the
  // block starts on a huge-page boundary. Fresh anonymous pages read zero.
  const size_t mapped = bytes + HUGE_PAGE_BYTES;
  void* area = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(area);
  const uintptr_t aligned = (start + HUGE_PAGE_BYTES - 1) & ~uintptr_t{HUGE_PAGE_BYTES - 1};
  const size_t head = aligned - start;
  if (head > 0) munmap(area, head);
  munmap(reinterpret_cast<void*>(aligned + bytes), mapped - head - bytes);
  void* block = reinterpret_cast<void*>(aligned);
#if defined(MADV_HUGEPAGE)
  madvise(block, bytes, MADV_HUGEPAGE);  // only advice: the block works without it
#endif
  return block;
}

void releaseTableMemory(void* block, size_t bytes) {
  if (block == nullptr) return;
  if (inHugePages(bytes)) {
    munmap(block, bytes);
  } else {
    std::free(block);
  }
}

}  // namespace kestrix
