// The operating-system services the engine stands on, on whichever system
// the tests were built for (Linux natively, Windows under Wine).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/clock.h"
#include "platform/memory.h"
#include "platform/thread.h"

namespace kestrix {
namespace {

TEST(PlatformClock, CountsRealMilliseconds) {
  // Sleeping uses no processor time: a clock of processor time, or one in
  // other units, would miss the 200 ms.
  const int64_t before = clockMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const int64_t slept = clockMs() - before;
  EXPECT_GE(slept, 190);
  EXPECT_LT(slept, 5000);
}

TEST(PlatformMemory, ResidentSizeFollowsTouchedMemory) {
  // The table sizing leaves room for what the process holds; a figure that
  // ignored the memory in use would let the table push past the limit.
  const uint64_t before = residentMemoryBytes();
  EXPECT_GT(before, 0u);
  constexpr size_t BLOCK = size_t{64} << 20;
  auto block = std::make_unique<char[]>(BLOCK);
  std::memset(block.get(), 1, BLOCK);
  const uint64_t after = residentMemoryBytes();
  EXPECT_GE(after, before + (BLOCK * 3) / 4);
  EXPECT_EQ(block[BLOCK - 1], 1);
}

// Uses about `frames` x 64 KiB of stack, one byte written on every page so
// the pages are really committed. Each frame is read again after the call
// below it returns, so no frame can be folded into the next.
int64_t useStack(int frames) {
  volatile char frame[64 << 10];
  const char mark = static_cast<char>(frames & 0x7f);
  for (size_t i = 0; i < sizeof(frame); i += 4096) frame[i] = mark;
  frame[sizeof(frame) - 1] = mark;
  const int64_t below = frames > 1 ? useStack(frames - 1) : 0;
  return below + frame[0] + frame[sizeof(frame) - 1] - mark;
}

struct StackRun {
  int frames;
  int64_t sum = -1;
};
TEST(PlatformThread, WorkerStackHoldsDeepRecursion) {
  // 12 MiB: more than the default stack of a thread on Windows (1 MiB) or
  // of the main thread there (2 MiB), less than the worker's 16 MiB.
  StackRun run{192};
  ThreadHandle handle;
  ASSERT_TRUE(startThread(
      handle,
      [](void* raw) {
        auto& job = *static_cast<StackRun*>(raw);
        job.sum = useStack(job.frames);
      },
      &run, WORKER_STACK_BYTES));
  EXPECT_TRUE(handle.running);
  joinThread(handle);
  EXPECT_FALSE(handle.running);
  int64_t expected = 0;
  for (int frames = 1; frames <= run.frames; ++frames) expected += frames & 0x7f;
  EXPECT_EQ(run.sum, expected);
}

}  // namespace
}  // namespace kestrix
