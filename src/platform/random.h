// Kestrix: the random stream behind square orders and Zobrist keys.
//
// A 15-bit linear congruential generator shaped like the classic C runtime
// rand: values 0..32767, seeded with seed(), starting from seed 1. It is our
// own so that keys and orders come out the same on every platform and
// compiler.
#pragma once

#include <cstdint>

namespace kestrix {

struct RandomStream {
  uint32_t state = 1;

  void seed(uint32_t value) { state = value; }
  int32_t next() {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7fff);
  }
};

}  // namespace kestrix
