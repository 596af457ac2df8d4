#include "platform/thread.h"

#include <windows.h>

namespace kestrix {

namespace {

struct Start {
  ThreadBody body;
  void* argument;
};

DWORD WINAPI trampoline(LPVOID raw) {
  const Start start = *static_cast<Start*>(raw);
  delete static_cast<Start*>(raw);
  start.body(start.argument);
  return 0;
}

}  // namespace

bool startThread(ThreadHandle& handle, ThreadBody body, void* argument, size_t stackBytes) {
  auto* start = new Start{body, argument};
  // The size is a reservation: pages are committed only as the stack grows.
  HANDLE thread = CreateThread(nullptr, stackBytes, trampoline, start,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr) {
    delete start;
    return false;
  }
  handle.native = reinterpret_cast<uintptr_t>(thread);
  handle.running = true;
  return true;
}

void joinThread(ThreadHandle& handle) {
  if (!handle.running) return;
  HANDLE thread = reinterpret_cast<HANDLE>(handle.native);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  handle.running = false;
  handle.native = 0;
}

}  // namespace kestrix
