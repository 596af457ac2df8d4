// Kestrix: the process's resident memory, which the table sizing leaves room
// for when it fits the transposition table under the manager's limit, and
// the block that table lives in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrix {

// Bytes of the process now resident in memory (the working set on Windows),
// or 0 when the platform cannot tell.
uint64_t residentMemoryBytes();

// A zeroed block of `bytes` for a large table read at random, or nullptr
// when there is not enough memory. Where the system offers them (Linux), a
// block of a whole number of huge pages (2 MiB), up to 64 MiB, is aligned
// to and backed by huge pages, so that its reads need far fewer address
// translations; its pages are still zeroed and taken on first touch. Give
// it back with releaseTableMemory and the same size.
void* allocateTableMemory(size_t bytes);
void releaseTableMemory(void* block, size_t bytes);

}  // namespace kestrix
