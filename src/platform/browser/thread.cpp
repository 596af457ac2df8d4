#include "platform/thread.h"

namespace kestrix {

// The browser build has one thread: the command loop then plays each move
// to its end when it is asked for, and the engine's clock still bounds it.
bool startThread(ThreadHandle& handle, ThreadBody, void*, size_t) {
  handle = ThreadHandle{};
  return false;
}

void joinThread(ThreadHandle& handle) {
  handle = ThreadHandle{};
}

}  // namespace kestrix
