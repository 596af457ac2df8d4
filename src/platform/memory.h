// Kestrix: the process's resident memory, which the table sizing leaves room
// for when it fits the transposition table under the manager's limit.
#pragma once

#include <cstdint>

namespace kestrix {

// Bytes of the process now resident in memory (the working set on Windows),
// or 0 when the platform cannot tell.
uint64_t residentMemoryBytes();

}  // namespace kestrix
