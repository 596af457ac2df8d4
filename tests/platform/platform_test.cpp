// The system services, on Linux natively and on Windows under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/clock.h"
#include "platform/memory.h"
#include "platform/thread.h"

namespace kestrix {
namespace {

TEST(PlatformClock, CountsRealMilliseconds) {
  // A sleep takes no processor time: a clock of it, or in other units, misses it.
  const int64_t before = clockMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const int64_t slept = clockMs() - before;
  EXPECT_GE(slept, 190);
  EXPECT_LT(slept, 5000);
}

TEST(PlatformMemory, TableBlocksReadZeroAndTakeWrites) {
  // Small, not whole huge pages, in huge pages, and too large for them;
  // each taken twice, so that a block given back and taken again is zeroed.
  for (const size_t bytes :
       {size_t{48} << 10, size_t{3} << 20, size_t{24} << 20, size_t{96} << 20}) {
    for (int round = 0; round < 2; ++round) {
      char* block = static_cast<char*>(allocateTableMemory(bytes));
      ASSERT_NE(block, nullptr);
      for (size_t at = 0; at < bytes; at += 4096) ASSERT_EQ(block[at] | block[bytes - 1], 0);
      std::memset(block, 0x5a, bytes);
      releaseTableMemory(block, bytes);
    }
  }
}

// `frames` x 64 KiB of stack, each page written, each frame read after the call below.
int64_t useStack(int64_t frames) {
  volatile char frame[64 << 10];
  for (size_t i = 0; i < sizeof(frame); i += 4096) frame[i] = 1;
  return (frames > 1 ? useStack(frames - 1) : 0) + frame[0];
}

TEST(PlatformThread, WorkerStackHoldsDeepRecursion) {
  // 12 MiB: more than the default stack of a thread on Windows (1 MiB) or
  // of the main thread there (2 MiB), less than the worker's 16 MiB.
  int64_t sum = 192;
  ThreadHandle handle;
  const auto work = [](void* raw) {
    *static_cast<int64_t*>(raw) = useStack(*static_cast<int64_t*>(raw));
  };
  ASSERT_TRUE(startThread(handle, work, &sum, WORKER_STACK_BYTES));
  EXPECT_TRUE(handle.running);
  joinThread(handle);
  EXPECT_FALSE(handle.running);
  EXPECT_EQ(sum, 192);  // one from each frame
}

}  // namespace
}  // namespace kestrix
