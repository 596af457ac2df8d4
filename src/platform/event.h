// Kestrix: the two events the command thread and the worker meet through.
//
// An event is a flag guarded by a mutex, with a condition variable to wait
// on. An auto-reset event lets exactly one waiter through per set() and
// clears itself; a manual-reset event stays set until reset(). The mutex
// also orders every write made before set() before the reads made after the
// matching wait(), which is what hands the board from one thread to the
// other.
#pragma once

#include <condition_variable>
#include <mutex>

namespace kestrix {

enum class EventReset { Auto, Manual };

class Event {
 public:
  Event(EventReset reset, bool signalled)
      : autoReset_(reset == EventReset::Auto), set_(signalled) {}
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void set();
  void reset();
  void wait();

 private:
  const bool autoReset_;
  bool set_;
  std::mutex mutex_;
  std::condition_variable changed_;
};

}  // namespace kestrix
