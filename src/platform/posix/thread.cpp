#include "platform/thread.h"

#include <pthread.h>

#include <cstring>

namespace kestrix {

namespace {

struct Start {
  ThreadBody body;
  void* argument;
};

void* trampoline(void* raw) {
  const Start start = *static_cast<Start*>(raw);
  delete static_cast<Start*>(raw);
  start.body(start.argument);
  return nullptr;
}

}  // namespace

bool startThread(ThreadHandle& handle, ThreadBody body, void* argument, size_t stackBytes) {
  static_assert(sizeof(pthread_t) <= sizeof(uintptr_t), "pthread_t must fit the handle");
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  pthread_attr_setstacksize(&attributes, stackBytes);
  auto* start = new Start{body, argument};
  pthread_t thread;
  const int error = pthread_create(&thread, &attributes, trampoline, start);
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    delete start;
    return false;
  }
  handle.native = 0;
  std::memcpy(&handle.native, &thread, sizeof(thread));
  handle.running = true;
  return true;
}

void joinThread(ThreadHandle& handle) {
  if (!handle.running) return;
  pthread_t thread;
  std::memcpy(&thread, &handle.native, sizeof(thread));
  pthread_join(thread, nullptr);
  handle.running = false;
  handle.native = 0;
}

}  // namespace kestrix
