#include "platform/event.h"

#include <chrono>

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

bool Event::waitFor(int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return set_; })) {
    return false;
  }
  if (autoReset_) set_ = false;
  return true;
}

bool Event::isSet() {
  std::lock_guard<std::mutex> lock(mutex_);
  return set_;
}

}  // namespace kestrix
