#include "platform/event.h"

namespace kestrix {

void Event::set() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
  }
  if (autoReset_) {
    changed_.notify_one();
  } else {
    changed_.notify_all();
  }
}

void Event::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = false;
}

void Event::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return set_; });
  if (autoReset_) set_ = false;
}

}  // namespace kestrix
