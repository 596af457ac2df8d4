// Kestrix: elapsed real time in milliseconds since the process started.
//
// Monotonic, so a changed wall clock never stretches or shortens a move.
#pragma once

#include <cstdint>

namespace kestrix {

int64_t clockMs();

}  // namespace kestrix
