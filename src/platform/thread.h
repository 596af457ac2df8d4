// Kestrix: the worker thread, started with a stack of our own choosing.
//
// The Renju forbidden-move test recurses, so the worker does not rely on the
// platform's default stack (8 MiB on Linux, 1 MiB on Windows) but asks for
// WORKER_STACK_BYTES explicitly. The handle is opaque: a pthread_t or a
// Windows HANDLE, stored in pointer-sized space.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrix {

inline constexpr size_t WORKER_STACK_BYTES = size_t{16} << 20;

struct ThreadHandle {
  uintptr_t native = 0;
  bool running = false;
};

using ThreadBody = void (*)(void* argument);

// Starts body(argument) on a new thread with the given stack size. Returns
// false (and leaves the handle not running) when the thread cannot be made.
bool startThread(ThreadHandle& handle, ThreadBody body, void* argument, size_t stackBytes);

// Waits for a started thread to return, then forgets it.
void joinThread(ThreadHandle& handle);

}  // namespace kestrix
